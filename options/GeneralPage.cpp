#include "options/GeneralPage.h"

#include <commdlg.h>

#include "base/HotKeys.h"
#include "base/ProgramNames.h"
#include "core/Autostart.h"
#include "core/Policies.h"
#include "core/Settings.h"
#include "resources/resource.h"
#include "win/Language.h"
#include "win/SystemFunction.h"
#include "win/WinText.h"

namespace vp {
namespace {

constexpr int kButtonLists[] = {IDC_POPUP_GESTURE_BUTTON, IDC_DEFAULT_GESTURE_BUTTON};
constexpr int kModifierLists[] = {IDC_POPUP_GESTURE_MODIFIER, IDC_DEFAULT_GESTURE_MODIFIER,
                                  IDC_POPUP_HOTKEY_MODIFIER, IDC_DEFAULT_HOTKEY_MODIFIER};
constexpr int kKeyLists[] = {IDC_POPUP_HOTKEY_KEY, IDC_DEFAULT_HOTKEY_KEY};

// Which stored trigger value each list and check box shows, and the policy that can fix
// it.
using Stored = TriggerSettings;
using Update = TriggerSettingsUpdate;
template <typename Value>
struct TriggerField {
    int control;
    PolicyId policy;
    Value Stored::*stored;
    std::optional<Value> Update::*update;
};
constexpr TriggerField<std::uint32_t> kTriggerLists[] = {
    {IDC_POPUP_GESTURE_BUTTON, PolicyId::PopupWindowButton, &Stored::PopupWindowButton,
     &Update::PopupWindowButton},
    {IDC_POPUP_GESTURE_MODIFIER, PolicyId::PopupWindowKey, &Stored::PopupWindowKey,
     &Update::PopupWindowKey},
    {IDC_POPUP_HOTKEY_MODIFIER, PolicyId::PopupWindowHotModifier, &Stored::PopupWindowHotModifier,
     &Update::PopupWindowHotModifier},
    {IDC_POPUP_HOTKEY_KEY, PolicyId::PopupWindowHotKey, &Stored::PopupWindowHotKey,
     &Update::PopupWindowHotKey},
    {IDC_DEFAULT_GESTURE_BUTTON, PolicyId::DefaultActionButton, &Stored::DefaultActionButton,
     &Update::DefaultActionButton},
    {IDC_DEFAULT_GESTURE_MODIFIER, PolicyId::DefaultActionKey, &Stored::DefaultActionKey,
     &Update::DefaultActionKey},
    {IDC_DEFAULT_HOTKEY_MODIFIER, PolicyId::DefaultActionHotModifier,
     &Stored::DefaultActionHotModifier, &Update::DefaultActionHotModifier},
    {IDC_DEFAULT_HOTKEY_KEY, PolicyId::DefaultActionHotKey, &Stored::DefaultActionHotKey,
     &Update::DefaultActionHotKey},
};
constexpr TriggerField<bool> kTriggerChecks[] = {
    {IDC_ENABLE_POPUP_GESTURE, PolicyId::EnablePopupWindow, &Stored::EnablePopupWindow,
     &Update::EnablePopupWindow},
    {IDC_ENABLE_POPUP_HOTKEY, PolicyId::EnablePopupWindowHotKey, &Stored::EnablePopupWindowHotKey,
     &Update::EnablePopupWindowHotKey},
    {IDC_ENABLE_DEFAULT_GESTURE, PolicyId::EnableDefaultAction, &Stored::EnableDefaultAction,
     &Update::EnableDefaultAction},
    {IDC_ENABLE_DEFAULT_HOTKEY, PolicyId::EnableDefaultActionHotKey,
     &Stored::EnableDefaultActionHotKey, &Update::EnableDefaultActionHotKey},
};
// The page's other controls that a policy can fix.
constexpr std::pair<int, PolicyId> kManagedBoxes[] = {
    {IDC_RUN_AT_LOGON, PolicyId::RunAtLogon},
    {IDC_KEEP_CLIPBOARD, PolicyId::RestoreClipboard},
    {IDC_READ_DIRECTLY, PolicyId::ReadSelectionDirectly},
};

}  // namespace

bool GeneralPage::OnButtonClicked(int id) {
    if (id != IDC_BROWSE_EXCLUDED_PROGRAM) {
        return Page::OnButtonClicked(id);
    }
    OnBrowseProgram();
    return true;
}

INT_PTR GeneralPage::OnInit() {
    FillTriggerLists();
    LoadGeneralSettings();
    return TRUE;
}

void GeneralPage::FillTriggerLists() {
    auto append = [this](int list, const char* text) {
        SendItem(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    };
    for (UINT id = IDS_BUTTON_LEFT; id <= IDS_BUTTON_X; ++id) {
        const std::string text = LoadResourceString(id);
        for (int list : kButtonLists) {
            append(list, text.c_str());
        }
    }
    for (UINT id = IDS_MODIFIER_CTRL; id <= IDS_MODIFIER_CTRL_SHIFT; ++id) {
        const std::string text = LoadResourceString(id);
        for (int list : kModifierLists) {
            append(list, text.c_str());
        }
    }
    for (const char* name : HotKeyNames) {
        for (int list : kKeyLists) {
            append(list, name);
        }
    }
}

void GeneralPage::LoadGeneralSettings() {
    policies_ = ReadPolicies();
    TriggerSettings settings;
    ReadTriggerSettings(settings);
    ApplyTriggerPolicies(policies_, settings);
    // A position outside the list selects nothing; OK then leaves its value as stored.
    for (const auto& field : kTriggerLists) {
        const std::uint32_t position = settings.*field.stored;
        const auto count = static_cast<std::uint32_t>(SendItem(field.control, CB_GETCOUNT));
        SendItem(field.control, CB_SETCURSEL,
                 position < count ? position : static_cast<WPARAM>(-1));
    }
    for (const auto& field : kTriggerChecks) {
        SetChecked(field.control, settings.*field.stored);
    }
    SetChecked(IDC_RUN_AT_LOGON, IsAutostartSet());
    SetChecked(IDC_KEEP_CLIPBOARD, ReadRestoreClipboard());
    SetChecked(IDC_READ_DIRECTLY, ReadSelectionDirectly());
    const std::u16string programs =
        ExclusionsFixed() ? EffectiveGestureExclusions(policies_, u"") : ReadGestureExclusions();
    ::SetWindowTextW(Item(IDC_GESTURE_EXCLUSIONS),
                     reinterpret_cast<const wchar_t*>(programs.c_str()));
    ShowManagedControls();
}

bool GeneralPage::Free(PolicyId policy) const {
    return !policies_.Configured(policy);
}

bool GeneralPage::ExclusionsFixed() const {
    return !Free(PolicyId::GestureExclusions) &&
           !policies_.Flag(PolicyId::AddToUserGestureExclusions, false);
}

void GeneralPage::ShowManagedControls() {
    bool managed = !Free(PolicyId::GestureExclusions);
    auto fix = [&](int control, PolicyId policy) {
        if (!Free(policy)) {
            EnableItem(control, false);
            managed = true;
        }
    };
    for (const auto& field : kTriggerLists) {
        fix(field.control, field.policy);
    }
    for (const auto& field : kTriggerChecks) {
        fix(field.control, field.policy);
    }
    for (const auto& [box, policy] : kManagedBoxes) {
        fix(box, policy);
        SetChecked(box, policies_.Flag(policy, IsChecked(box)));
    }
    EnableItem(IDC_GESTURE_EXCLUSIONS, !ExclusionsFixed());
    EnableItem(IDC_BROWSE_EXCLUDED_PROGRAM, !ExclusionsFixed());
    if (managed) {
        SetItemText(IDC_MANAGED_NOTE, LoadResourceString(IDS_MANAGED_SETTINGS));
    }
}

std::u16string GeneralPage::ExclusionText() const {
    HWND edit = Item(IDC_GESTURE_EXCLUSIONS);
    std::u16string text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, u'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(
        edit, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()))));
    return text;
}

bool GeneralPage::CanApply() {
    // The policy's names count with the user's: the hook holds 32 in all.
    if (ExclusionsFixed() ||
        HashProgramList(EffectiveGestureExclusions(policies_, ExclusionText()))) {
        return true;
    }
    static_assert(kMaxGestureExclusions == 32, "the message names the number");
    ::MessageBoxA(::GetParent(Handle()), LoadResourceString(IDS_TOO_MANY_EXCLUSIONS).c_str(),
                  LoadResourceString(IDS_PRODUCT_NAME).c_str(), MB_OK | MB_ICONWARNING);
    return false;
}

void GeneralPage::FocusRefusedField() const {
    ::SetFocus(Item(IDC_GESTURE_EXCLUSIONS));
    SendItem(IDC_GESTURE_EXCLUSIONS, EM_SETSEL, 0, -1);
}

void GeneralPage::OnBrowseProgram() {
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = ::GetParent(Handle());
    // The string table's text separates names and patterns with '|', the dialog wants zeros.
    std::u16string filter = LoadResourceText(IDS_PROGRAM_FILTER);
    for (char16_t& c : filter) {
        c = c == u'|' ? u'\0' : c;
    }
    dialog.lpstrFilter = reinterpret_cast<const wchar_t*>(filter.c_str());
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    // comdlg32 is loaded when a program is first asked for, not at every start.
    using OpenDialogFunction = BOOL(WINAPI*)(OPENFILENAMEW*);
    const auto open = win::SystemFunction<OpenDialogFunction>("comdlg32.dll", "GetOpenFileNameW");
    if (open == nullptr || !open(&dialog)) {
        return;
    }
    const std::u16string_view chosen(reinterpret_cast<const char16_t*>(path));
    const std::u16string_view name =
        chosen.substr(ProgramFileNameStart(chosen.data(), chosen.size()));
    std::u16string text = ExclusionText();
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) {
        text.pop_back();
    }
    if (!text.empty() && text.back() != u';') {
        text += u';';
    }
    text += name;
    ::SetWindowTextW(Item(IDC_GESTURE_EXCLUSIONS), reinterpret_cast<const wchar_t*>(text.c_str()));
}

std::optional<std::uint32_t> GeneralPage::Selection(int list) const {
    const LRESULT position = SendItem(list, CB_GETCURSEL);
    if (position == CB_ERR) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(position);
}

void GeneralPage::SaveGeneralSettings() {
    try {
        // What a policy fixes stays as the user stored it.
        TriggerSettingsUpdate settings;
        for (const auto& field : kTriggerLists) {
            if (Free(field.policy)) {
                settings.*field.update = Selection(field.control);
            }
        }
        for (const auto& field : kTriggerChecks) {
            if (Free(field.policy)) {
                settings.*field.update = IsChecked(field.control);
            }
        }
        WriteTriggerSettings(settings);
        if (Free(PolicyId::RestoreClipboard)) {
            WriteRestoreClipboard(IsChecked(IDC_KEEP_CLIPBOARD));
        }
        if (!ExclusionsFixed()) {
            WriteGestureExclusions(ExclusionText());
        }
        if (Free(PolicyId::ReadSelectionDirectly)) {
            WriteReadSelectionDirectly(IsChecked(IDC_READ_DIRECTLY));
        }
        if (Free(PolicyId::RunAtLogon)) {
            SetAutostart(IsChecked(IDC_RUN_AT_LOGON));
        }
    } catch (...) {
        // Storing the page reports nothing: the dialog closes all the same.
    }
}

void GeneralPage::SetAutostart(bool checked) {
    WriteAutostart(checked);
}

}  // namespace vp
