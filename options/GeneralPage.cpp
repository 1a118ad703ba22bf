#include "options/GeneralPage.h"

#include <commdlg.h>

#include <utility>
#include <vector>

#include "base/HotKeys.h"
#include "base/ProgramNames.h"
#include "core/Autostart.h"
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

// The policy of each list and check box: its value (base/Configuration.h) is the one shown.
constexpr std::pair<int, PolicyId> kTriggerLists[] = {
    {IDC_POPUP_GESTURE_BUTTON, PolicyId::PopupWindowButton},
    {IDC_POPUP_GESTURE_MODIFIER, PolicyId::PopupWindowKey},
    {IDC_POPUP_HOTKEY_MODIFIER, PolicyId::PopupWindowHotModifier},
    {IDC_POPUP_HOTKEY_KEY, PolicyId::PopupWindowHotKey},
    {IDC_DEFAULT_GESTURE_BUTTON, PolicyId::DefaultActionButton},
    {IDC_DEFAULT_GESTURE_MODIFIER, PolicyId::DefaultActionKey},
    {IDC_DEFAULT_HOTKEY_MODIFIER, PolicyId::DefaultActionHotModifier},
    {IDC_DEFAULT_HOTKEY_KEY, PolicyId::DefaultActionHotKey},
};
constexpr std::pair<int, PolicyId> kTriggerChecks[] = {
    {IDC_ENABLE_POPUP_GESTURE, PolicyId::EnablePopupWindow},
    {IDC_ENABLE_POPUP_HOTKEY, PolicyId::EnablePopupWindowHotKey},
    {IDC_ENABLE_DEFAULT_GESTURE, PolicyId::EnableDefaultAction},
    {IDC_ENABLE_DEFAULT_HOTKEY, PolicyId::EnableDefaultActionHotKey},
};
constexpr std::pair<int, PolicyId> kOtherChecks[] = {
    {IDC_RUN_AT_LOGON, PolicyId::RunAtLogon},
    {IDC_KEEP_CLIPBOARD, PolicyId::RestoreClipboard},
    {IDC_READ_DIRECTLY, PolicyId::ReadSelectionDirectly},
};

// Calls visit with each check box and its policy.
template <typename Visit>
void ForEachCheck(Visit visit) {
    for (const auto& [box, policy] : kTriggerChecks) {
        visit(box, policy);
    }
    for (const auto& [box, policy] : kOtherChecks) {
        visit(box, policy);
    }
}

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
    const UserSettings& shown = configuration_.InForce();
    // A position outside the list selects nothing; OK then leaves its value as stored.
    for (const auto& [list, policy] : kTriggerLists) {
        const std::uint32_t position = shown.*SettingOf(policy)->number;
        const auto count = static_cast<std::uint32_t>(SendItem(list, CB_GETCOUNT));
        SendItem(list, CB_SETCURSEL, position < count ? position : static_cast<WPARAM>(-1));
    }
    ForEachCheck(
        [&](int box, PolicyId policy) { SetChecked(box, shown.*SettingOf(policy)->flag); });
    // Programs that a policy adds to the user's are not shown: the user's own list is.
    const std::u16string& programs = Fixed(PolicyId::GestureExclusions)
                                         ? shown.GestureExclusions
                                         : configuration_.User().GestureExclusions;
    ::SetWindowTextW(Item(IDC_GESTURE_EXCLUSIONS),
                     reinterpret_cast<const wchar_t*>(programs.c_str()));
    DisableFixedControls();
}

void GeneralPage::DisableFixedControls() {
    bool fixed = Fixed(PolicyId::GestureExclusions) || Fixed(PolicyId::AddToUserGestureExclusions);
    auto disable = [&](int control, PolicyId policy) {
        if (Fixed(policy)) {
            EnableItem(control, false);
            fixed = true;
        }
    };
    for (const auto& [list, policy] : kTriggerLists) {
        disable(list, policy);
    }
    ForEachCheck(disable);
    EnableItem(IDC_GESTURE_EXCLUSIONS, !Fixed(PolicyId::GestureExclusions));
    EnableItem(IDC_BROWSE_EXCLUDED_PROGRAM, !Fixed(PolicyId::GestureExclusions));
    if (fixed) {
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
    if (Fixed(PolicyId::GestureExclusions) ||
        HashProgramList(configuration_.GestureExclusionsWith(ExclusionText()))) {
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
        std::vector<std::pair<PolicyId, std::uint32_t>> triggers;
        for (const auto& [list, policy] : kTriggerLists) {
            if (const std::optional<std::uint32_t> position = Selection(list);
                position && !Fixed(policy)) {
                triggers.emplace_back(policy, *position);
            }
        }
        for (const auto& [box, policy] : kTriggerChecks) {
            if (!Fixed(policy)) {
                triggers.emplace_back(policy, IsChecked(box) ? 1 : 0);
            }
        }
        WriteTriggerSettings(triggers);
        if (!Fixed(PolicyId::RestoreClipboard)) {
            WriteRestoreClipboard(IsChecked(IDC_KEEP_CLIPBOARD));
        }
        if (!Fixed(PolicyId::GestureExclusions)) {
            WriteGestureExclusions(ExclusionText());
        }
        if (!Fixed(PolicyId::ReadSelectionDirectly)) {
            WriteReadSelectionDirectly(IsChecked(IDC_READ_DIRECTLY));
        }
        if (!Fixed(PolicyId::RunAtLogon)) {
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
