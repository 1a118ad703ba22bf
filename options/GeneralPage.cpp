#include "options/GeneralPage.h"

#include <commdlg.h>

#include "base/HotKeys.h"
#include "base/ProgramNames.h"
#include "core/Autostart.h"
#include "core/Settings.h"
#include "resources/resource.h"
#include "win/WinText.h"

namespace vp {
namespace {

constexpr int kButtonLists[] = {IDC_POPUP_GESTURE_BUTTON, IDC_DEFAULT_GESTURE_BUTTON};
constexpr int kModifierLists[] = {IDC_POPUP_GESTURE_MODIFIER, IDC_DEFAULT_GESTURE_MODIFIER,
                                  IDC_POPUP_HOTKEY_MODIFIER, IDC_DEFAULT_HOTKEY_MODIFIER};
constexpr int kKeyLists[] = {IDC_POPUP_HOTKEY_KEY, IDC_DEFAULT_HOTKEY_KEY};

// Which stored trigger value each list and check box shows.
using Stored = TriggerSettings;
using Update = TriggerSettingsUpdate;
struct TriggerList {
    int list;
    std::uint32_t Stored::*stored;
    std::optional<std::uint32_t> Update::*update;
};
constexpr TriggerList kTriggerLists[] = {
    {IDC_POPUP_GESTURE_BUTTON, &Stored::PopupWindowButton, &Update::PopupWindowButton},
    {IDC_POPUP_GESTURE_MODIFIER, &Stored::PopupWindowKey, &Update::PopupWindowKey},
    {IDC_POPUP_HOTKEY_MODIFIER, &Stored::PopupWindowHotModifier, &Update::PopupWindowHotModifier},
    {IDC_POPUP_HOTKEY_KEY, &Stored::PopupWindowHotKey, &Update::PopupWindowHotKey},
    {IDC_DEFAULT_GESTURE_BUTTON, &Stored::DefaultActionButton, &Update::DefaultActionButton},
    {IDC_DEFAULT_GESTURE_MODIFIER, &Stored::DefaultActionKey, &Update::DefaultActionKey},
    {IDC_DEFAULT_HOTKEY_MODIFIER, &Stored::DefaultActionHotModifier,
     &Update::DefaultActionHotModifier},
    {IDC_DEFAULT_HOTKEY_KEY, &Stored::DefaultActionHotKey, &Update::DefaultActionHotKey},
};
struct TriggerCheck {
    int box;
    bool Stored::*stored;
    bool Update::*update;
};
constexpr TriggerCheck kTriggerChecks[] = {
    {IDC_ENABLE_POPUP_GESTURE, &Stored::EnablePopupWindow, &Update::EnablePopupWindow},
    {IDC_ENABLE_POPUP_HOTKEY, &Stored::EnablePopupWindowHotKey, &Update::EnablePopupWindowHotKey},
    {IDC_ENABLE_DEFAULT_GESTURE, &Stored::EnableDefaultAction, &Update::EnableDefaultAction},
    {IDC_ENABLE_DEFAULT_HOTKEY, &Stored::EnableDefaultActionHotKey,
     &Update::EnableDefaultActionHotKey},
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
    TriggerSettings settings;
    ReadTriggerSettings(settings);
    // A position outside the list selects nothing; OK then leaves its value as stored.
    for (const TriggerList& field : kTriggerLists) {
        const std::uint32_t position = settings.*field.stored;
        const auto count = static_cast<std::uint32_t>(SendItem(field.list, CB_GETCOUNT));
        SendItem(field.list, CB_SETCURSEL, position < count ? position : static_cast<WPARAM>(-1));
    }
    for (const TriggerCheck& field : kTriggerChecks) {
        SetChecked(field.box, settings.*field.stored);
    }
    SetChecked(IDC_RUN_AT_LOGON, IsAutostartSet());
    SetChecked(IDC_KEEP_CLIPBOARD, ReadRestoreClipboard());
    SetChecked(IDC_READ_DIRECTLY, ReadSelectionDirectly());
    const std::u16string programs = ReadGestureExclusions();
    ::SetWindowTextW(Item(IDC_GESTURE_EXCLUSIONS),
                     reinterpret_cast<const wchar_t*>(programs.c_str()));
}

std::u16string GeneralPage::ExclusionText() const {
    HWND edit = Item(IDC_GESTURE_EXCLUSIONS);
    std::u16string text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, u'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(
        edit, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()))));
    return text;
}

bool GeneralPage::CanApply() {
    if (HashProgramList(ExclusionText())) {
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
    dialog.lpstrFilter = L"Programs (*.exe)\0*.exe\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameW(&dialog)) {
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
        TriggerSettingsUpdate settings;
        for (const TriggerList& field : kTriggerLists) {
            settings.*field.update = Selection(field.list);
        }
        for (const TriggerCheck& field : kTriggerChecks) {
            settings.*field.update = IsChecked(field.box);
        }
        WriteTriggerSettings(settings);
        WriteRestoreClipboard(IsChecked(IDC_KEEP_CLIPBOARD));
        WriteGestureExclusions(ExclusionText());
        WriteReadSelectionDirectly(IsChecked(IDC_READ_DIRECTLY));
        SetAutostart(IsChecked(IDC_RUN_AT_LOGON));
    } catch (...) {
        // Storing the page reports nothing: the dialog closes all the same.
    }
}

void GeneralPage::SetAutostart(bool checked) {
    WriteAutostart(checked);
}

}  // namespace vp
