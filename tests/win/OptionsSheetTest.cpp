// Message-level tests of the Options dialog and its General page: the real dialog runs
// modally on the test's thread against the real registry, and a timer inside its message
// loop drives it as the user would.
#include "options/OptionsSheet.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/Autostart.h"
#include "core/Configuration.h"
#include "core/RegistryKeys.h"
#include "resources/resource.h"
#include "tests/win/AppProcess.h"
#include "tests/win/DialogDriver.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/WindowSearch.h"
#include "win/Registry.h"
#include "win/WinText.h"

namespace vp {
namespace {

std::function<void(HWND)> g_drive;

void CALLBACK DriveOpenDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    // An error box's modal loop runs this timer too: the box fails the test and is closed,
    // instead of waiting for an answer that never comes.
    if (HWND box = ::FindWindowA("#32770", "Vantapicker")) {
        ADD_FAILURE() << "error box: " << MessageBoxText(box);
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
    }
    HWND dialog = ::FindWindowA("#32770", VP_TEXT_OPTIONS_TITLE);
    if (dialog == nullptr || !::IsWindowVisible(dialog) || !g_drive) {
        return;
    }
    ::KillTimer(nullptr, timer);
    auto drive = std::move(g_drive);
    g_drive = nullptr;
    drive(dialog);
    if (::IsWindow(dialog)) {  // a failed check left it open
        ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

// Runs the Options dialog; `drive` gets it once it is open and ends it with OK or Cancel.
INT_PTR RunSheet(std::function<void(HWND dialog)> drive) {
    g_drive = std::move(drive);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, DriveOpenDialog);
    OptionsSheet sheet(ReadConfiguration(), [] { ADD_FAILURE() << "the program was ended"; });
    const INT_PTR result = sheet.Run(ProgramInstance(), nullptr);
    ::KillTimer(nullptr, timer);
    EXPECT_FALSE(sheet.ProgramEnded());
    return result;
}

std::u16string WideText(HWND window) {
    wchar_t text[2048] = {};
    ::GetWindowTextW(window, text, 2048);
    return reinterpret_cast<const char16_t*>(text);
}

void SetWideText(HWND window, const std::u16string& text) {
    ::SetWindowTextW(window, reinterpret_cast<const wchar_t*>(text.c_str()));
}

std::optional<std::u16string> StoredWide(const char* name) {
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_READ);
    return win::ReadWideString(key.Get(), name);
}

int Selection(HWND page, int list) {
    return static_cast<int>(::SendDlgItemMessageA(page, list, CB_GETCURSEL, 0, 0));
}

std::string ItemText(HWND page, int list, int position) {
    char text[64] = {};
    ::SendDlgItemMessageA(page, list, CB_GETLBTEXT, static_cast<WPARAM>(position),
                          reinterpret_cast<LPARAM>(text));
    return text;
}

void Select(HWND page, int list, int position) {
    ::SendDlgItemMessageA(page, list, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

bool Checked(HWND page, int box) {
    return ::IsDlgButtonChecked(page, box) == BST_CHECKED;
}

RECT RectIn(HWND window, HWND parent) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::optional<std::string> RunValue() {
    return ReadTestString(HKEY_CURRENT_USER, kRunKey, kAutostartValue);
}

// The dialog's Sites page reads the catalogue: each test installs the one setup puts
// into the Windows directory.
class OptionsSheetTest : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        InstallDefaultCatalogue();
    }
    void TearDown() override {
        RemoveSiteLists();
        RegistryTest::TearDown();
    }
};
using OptionsSheetDialog = OptionsSheetTest;
using GeneralPageSettings = OptionsSheetTest;

TEST_F(OptionsSheetDialog, TabsSwitchThePagesOverTheDisplayAreaAndOkStoresWhatEitherShowed) {
    const INT_PTR result = RunSheet([](HWND dialog) {
        HWND tabs = ::GetDlgItem(dialog, IDC_OPTIONS_TABS);
        ASSERT_NE(tabs, nullptr);
        char className[64] = {};
        ::GetClassNameA(tabs, className, sizeof className);
        EXPECT_STREQ(className, WC_TABCONTROLA);
        const auto style = static_cast<DWORD>(::GetWindowLongPtrA(tabs, GWL_STYLE));
        const DWORD wanted = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | TCS_MULTILINE |
                             TCS_FORCELABELLEFT;
        EXPECT_EQ(style & wanted, wanted);
        EXPECT_TRUE(::GetWindowLongPtrA(tabs, GWL_EXSTYLE) & WS_EX_NOPARENTNOTIFY);
        EXPECT_EQ(::SendMessageA(tabs, WM_GETFONT, 0, 0), ::SendMessageA(dialog, WM_GETFONT, 0, 0));
        RECT client{};
        ::GetClientRect(dialog, &client);
        RECT area{5, 5, client.right - 5, client.bottom - 35};
        EXPECT_TRUE(SameRect(RectIn(tabs, dialog), area));
        ASSERT_EQ(TabCtrl_GetItemCount(tabs), 2);
        for (int index = 0; index < 2; ++index) {
            char text[32] = {};
            TCITEMA item{};
            item.mask = TCIF_TEXT | TCIF_IMAGE;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            ASSERT_TRUE(::SendMessageA(tabs, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item)));
            EXPECT_STREQ(text, index == 0 ? "General" : "Sites");
            EXPECT_EQ(item.iImage, -1);
        }
        EXPECT_EQ(TabCtrl_GetCurSel(tabs), 0);

        HWND general = PageOf(dialog, "General");
        HWND sites = PageOf(dialog, "Sites");
        ASSERT_NE(general, nullptr);
        ASSERT_NE(sites, nullptr);
        EXPECT_TRUE(::IsWindowVisible(general));
        EXPECT_FALSE(::IsWindowVisible(sites));
        ::SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
        area.left -= 2;
        EXPECT_TRUE(SameRect(RectIn(general, dialog), area));
        EXPECT_TRUE(SameRect(RectIn(sites, dialog), area));

        // An edit on General survives a visit to Sites, which is then on top.
        Select(general, IDC_POPUP_HOTKEY_KEY, 36);  // "Q"
        auto choose = [&](int index) {
            TabCtrl_SetCurSel(tabs, index);
            NMHDR header{tabs, IDC_OPTIONS_TABS, TCN_SELCHANGE};
            ::SendMessageA(dialog, WM_NOTIFY, IDC_OPTIONS_TABS, reinterpret_cast<LPARAM>(&header));
        };
        choose(1);
        EXPECT_FALSE(::IsWindowVisible(general));
        EXPECT_TRUE(::IsWindowVisible(sites));
        EXPECT_EQ(::GetWindow(tabs, GW_HWNDFIRST), sites);
        choose(0);
        EXPECT_TRUE(::IsWindowVisible(general));
        EXPECT_FALSE(::IsWindowVisible(sites));
        EXPECT_EQ(::GetWindow(tabs, GW_HWNDFIRST), general);
        EXPECT_EQ(Selection(general, IDC_POPUP_HOTKEY_KEY), 36);
        Press(dialog, IDOK);
        EXPECT_FALSE(::IsWindow(general));
        EXPECT_FALSE(::IsWindow(sites));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(ReadTestDword(kSettingsKey, "PopupWindowHotKey"), std::optional<std::uint32_t>(36));
}

// What OK stores is checked end to end, with the running program following it.
// Policies of both hives reach the page (which value wins is checked natively): what they
// fix is shown disabled with the managed line, and OK stores only what the user may change.
TEST_F(GeneralPageSettings, PoliciesShowTheirValuesDisabledAndOkKeepsTheUsersOwn) {
    WriteTestDword(kSettingsKey, "EnablePopupWindow", 1);
    WriteTestDword(kSettingsKey, "PopupWindowButton", 2);
    WriteTestDword(kSettingsKey, "RestoreClipboard", 1);
    WriteTestWideString(kSettingsKey, "GestureExclusions", u"mine.exe");
    RunKeyGuard runKey;
    ::RegDeleteValueA(win::CreateKey(HKEY_CURRENT_USER, kRunKey).Get(), kAutostartValue);
    ASSERT_TRUE(AddPolicy("HKLM", "EnablePopupWindow", "REG_DWORD", "0"));
    ASSERT_TRUE(AddPolicy("HKCU", "PopupWindowButton", "REG_DWORD", "3"));
    ASSERT_TRUE(AddPolicy("HKLM", "RestoreClipboard", "REG_DWORD", "0"));
    ASSERT_TRUE(AddPolicy("HKCU", "RunAtLogon", "REG_DWORD", "1"));
    ASSERT_TRUE(AddPolicy("HKLM\\GestureExclusions", "1", "REG_SZ", "lob.exe"));
    ASSERT_TRUE(AddPolicy("HKLM\\GestureExclusions", "2", "REG_SZ", "rdp.exe"));
    RunSheet([](HWND dialog) {
        HWND page = PageOf(dialog, "General");
        ASSERT_NE(page, nullptr);
        auto enabled = [page](int id) { return ::IsWindowEnabled(::GetDlgItem(page, id)) != 0; };
        EXPECT_FALSE(Checked(page, IDC_ENABLE_POPUP_GESTURE));
        EXPECT_EQ(Selection(page, IDC_POPUP_GESTURE_BUTTON), 3);
        EXPECT_EQ(WideText(::GetDlgItem(page, IDC_GESTURE_EXCLUSIONS)), u"lob.exe;rdp.exe;");
        for (int id : {IDC_ENABLE_POPUP_GESTURE, IDC_POPUP_GESTURE_BUTTON, IDC_KEEP_CLIPBOARD,
                       IDC_RUN_AT_LOGON, IDC_GESTURE_EXCLUSIONS, IDC_BROWSE_EXCLUDED_PROGRAM}) {
            EXPECT_FALSE(enabled(id)) << id;
        }
        EXPECT_TRUE(enabled(IDC_POPUP_GESTURE_MODIFIER));
        EXPECT_TRUE(enabled(IDC_READ_DIRECTLY));
        EXPECT_EQ(WindowText(::GetDlgItem(page, IDC_MANAGED_NOTE)),
                  "Some settings are managed by your organization.");
        Select(page, IDC_POPUP_GESTURE_MODIFIER, 1);
        Press(dialog, IDOK);
    });
    for (auto [name, value] : {std::pair{"PopupWindowKey", 1u},
                               {"EnablePopupWindow", 1u},
                               {"PopupWindowButton", 2u},
                               {"RestoreClipboard", 1u}}) {
        EXPECT_EQ(ReadTestDword(kSettingsKey, name), std::optional(value)) << name;
    }
    EXPECT_EQ(StoredWide("GestureExclusions"), std::optional<std::u16string>(u"mine.exe"));
    EXPECT_FALSE(RunValue());  // the running program puts it in place (TriggerTest)
}

TEST_F(GeneralPageSettings, FirstStartShowsTheListsOnTheMenuColour) {
    RunSheet([](HWND dialog) {
        HWND page = PageOf(dialog, "General");
        ASSERT_NE(page, nullptr);
        // The lists, in their order.
        const std::pair<int, int> counts[] = {
            {IDC_POPUP_GESTURE_BUTTON, 4},   {IDC_DEFAULT_GESTURE_BUTTON, 4},
            {IDC_POPUP_GESTURE_MODIFIER, 3}, {IDC_DEFAULT_GESTURE_MODIFIER, 3},
            {IDC_POPUP_HOTKEY_MODIFIER, 3},  {IDC_DEFAULT_HOTKEY_MODIFIER, 3},
            {IDC_POPUP_HOTKEY_KEY, 46},      {IDC_DEFAULT_HOTKEY_KEY, 46}};
        for (auto [list, count] : counts) {
            EXPECT_EQ(::SendDlgItemMessageA(page, list, CB_GETCOUNT, 0, 0), count) << list;
        }
        EXPECT_EQ(ItemText(page, IDC_DEFAULT_GESTURE_BUTTON, 0), "Left");
        EXPECT_EQ(ItemText(page, IDC_POPUP_GESTURE_BUTTON, 3), "X");
        EXPECT_EQ(ItemText(page, IDC_DEFAULT_HOTKEY_MODIFIER, 2), "Ctrl+Shift");
        EXPECT_EQ(ItemText(page, IDC_DEFAULT_HOTKEY_KEY, 9), "F10");
        EXPECT_EQ(ItemText(page, IDC_POPUP_HOTKEY_KEY, 10), "0");
        EXPECT_EQ(ItemText(page, IDC_POPUP_HOTKEY_KEY, 19), "9");
        EXPECT_EQ(ItemText(page, IDC_POPUP_HOTKEY_KEY, 20), "A");
        EXPECT_EQ(ItemText(page, IDC_POPUP_HOTKEY_KEY, 45), "Z");
        // The defaults shown are checked natively.
        EXPECT_EQ(WindowText(::GetDlgItem(page, IDC_MANAGED_NOTE)), "");  // no policies

        // The page paints on the menu colour.
        const auto menuBrush = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_MENU));
        const win::WindowDc dc(page);
        ::SetBkColor(dc.Get(), RGB(1, 2, 3));
        // Static text last: it alone sets the background colour of the text.
        for (UINT message : {WM_CTLCOLORDLG, WM_CTLCOLORBTN, WM_CTLCOLORSTATIC}) {
            EXPECT_EQ(::SendMessageA(page, message, reinterpret_cast<WPARAM>(dc.Get()), 0),
                      menuBrush)
                << message;
        }
        EXPECT_EQ(::GetBkColor(dc.Get()), ::GetSysColor(COLOR_MENU));

        Press(dialog, IDCANCEL);
    });
}

TEST_F(GeneralPageSettings, KeyOutsideTheListShowsNoSelectionAndIsKeptAndCancelStoresNothing) {
    WriteTestDword(kSettingsKey, "PopupWindowHotKey", 46);
    WriteTestDword(kSettingsKey, "DefaultActionHotModifier", 2);
    EXPECT_EQ(RunSheet([](HWND dialog) {
                  HWND page = PageOf(dialog, "General");
                  EXPECT_EQ(Selection(page, IDC_POPUP_HOTKEY_KEY), CB_ERR);
                  EXPECT_EQ(Selection(page, IDC_DEFAULT_HOTKEY_MODIFIER), 2);
                  Select(page, IDC_DEFAULT_HOTKEY_MODIFIER, 0);
                  ::CheckDlgButton(page, IDC_ENABLE_POPUP_GESTURE, BST_UNCHECKED);
                  ::SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
              }),
              IDCANCEL);
    EXPECT_EQ(ReadTestDword(kSettingsKey, "DefaultActionHotModifier"),
              std::optional<std::uint32_t>(2));
    EXPECT_EQ(ReadTestDword(kSettingsKey, "EnablePopupWindow"), std::nullopt);

    RunSheet([](HWND dialog) { Press(dialog, IDOK); });
    EXPECT_EQ(ReadTestDword(kSettingsKey, "PopupWindowHotKey"), std::optional<std::uint32_t>(46));
    EXPECT_EQ(ReadTestDword(kSettingsKey, "DefaultActionHotModifier"),
              std::optional<std::uint32_t>(2));
    EXPECT_EQ(ReadTestDword(kSettingsKey, "EnablePopupWindow"), std::optional<std::uint32_t>(1));
}

TEST_F(GeneralPageSettings, ClipboardBoxesShowAndStoreTheirSettingsWritingDefaultsOnlyOverAValue) {
    // Keep off and direct reading on, never stored: OK leaves no value behind.
    RunSheet([](HWND dialog) {
        HWND page = PageOf(dialog, "General");
        EXPECT_EQ(WindowText(::GetDlgItem(page, IDC_KEEP_CLIPBOARD)),
                  "&Keep my clipboard as it was");
        Press(dialog, IDOK);  // the defaults shown are checked natively
    });
    EXPECT_EQ(ReadTestDword(kSettingsKey, "RestoreClipboard"), std::nullopt);
    EXPECT_EQ(ReadTestDword(kSettingsKey, "ReadSelectionDirectly"), std::nullopt);
    RunSheet([](HWND dialog) {
        ::CheckDlgButton(PageOf(dialog, "General"), IDC_KEEP_CLIPBOARD, BST_CHECKED);
        ::CheckDlgButton(PageOf(dialog, "General"), IDC_READ_DIRECTLY, BST_UNCHECKED);
        Press(dialog, IDOK);
    });
    EXPECT_EQ(ReadTestDword(kSettingsKey, "RestoreClipboard"), std::optional<std::uint32_t>(1));
    EXPECT_EQ(ReadTestDword(kSettingsKey, "ReadSelectionDirectly"),
              std::optional<std::uint32_t>(0));
    RunSheet([](HWND dialog) {
        HWND page = PageOf(dialog, "General");
        EXPECT_TRUE(Checked(page, IDC_KEEP_CLIPBOARD));
        EXPECT_FALSE(Checked(page, IDC_READ_DIRECTLY));
        ::CheckDlgButton(page, IDC_KEEP_CLIPBOARD, BST_UNCHECKED);
        ::CheckDlgButton(page, IDC_READ_DIRECTLY, BST_CHECKED);
        Press(dialog, IDOK);
    });
    EXPECT_EQ(ReadTestDword(kSettingsKey, "RestoreClipboard"), std::optional<std::uint32_t>(0));
    EXPECT_EQ(ReadTestDword(kSettingsKey, "ReadSelectionDirectly"),
              std::optional<std::uint32_t>(1));
}

TEST_F(GeneralPageSettings, ProgramsWithoutGesturesAreShownStoredAndRefusedBeyondThirtyTwo) {
    // Never named: OK leaves no value behind.
    RunSheet([](HWND dialog) {
        EXPECT_EQ(WideText(::GetDlgItem(PageOf(dialog, "General"), IDC_GESTURE_EXCLUSIONS)), u"");
        Press(dialog, IDOK);
    });
    EXPECT_EQ(StoredWide("GestureExclusions"), std::nullopt);

    const std::u16string stored = u"game.exe; C:\\Tools\\Caf\u00e9.exe";
    WriteTestWideString(kSettingsKey, "GestureExclusions", stored);
    RunSheet([&](HWND dialog) {
        HWND page = PageOf(dialog, "General");
        HWND field = ::GetDlgItem(page, IDC_GESTURE_EXCLUSIONS);
        EXPECT_EQ(WideText(field), stored);

        // One name more than the hook holds: a box says so, nothing of the dialog is
        // stored and it stays open on the field.
        std::u16string tooMany;
        for (int i = 0; i <= 32; ++i) {
            tooMany += u"program" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                       (i < 26 ? u"" : u"2") + u".exe;";
        }
        SetWideText(field, tooMany);
        Select(page, IDC_POPUP_HOTKEY_KEY, 36);
        std::string box;
        EXPECT_TRUE(Answered("Vantapicker", Reply(IDOK, &box), [&] { Press(dialog, IDOK); }));
        EXPECT_NE(box.find("at most 32 programs"), std::string::npos) << box;
        ASSERT_TRUE(::IsWindow(dialog));
        EXPECT_TRUE(::IsWindowVisible(page));
        EXPECT_EQ(::GetFocus(), field);
        EXPECT_EQ(StoredWide("GestureExclusions"), stored);
        EXPECT_EQ(ReadTestDword(kSettingsKey, "PopupWindowHotKey"),
                  std::optional<std::uint32_t>(0));

        // Thirty-two names, one of them twice in other case, are taken as written.
        SetWideText(field, tooMany.substr(0, tooMany.rfind(u"program")) + u"PROGRAMA.EXE");
        EXPECT_FALSE(Answered("Vantapicker", Reply(IDOK), [&] { Press(dialog, IDOK); }));
        EXPECT_FALSE(::IsWindow(page));
    });
    EXPECT_EQ(ReadTestDword(kSettingsKey, "PopupWindowHotKey"), std::optional<std::uint32_t>(36));
    const auto taken = StoredWide("GestureExclusions");
    ASSERT_TRUE(taken.has_value());
    EXPECT_EQ(taken->substr(taken->size() - 13), u";PROGRAMA.EXE");

    // Cleared: the value is emptied, so that no program is left out.
    RunSheet([](HWND dialog) {
        SetWideText(::GetDlgItem(PageOf(dialog, "General"), IDC_GESTURE_EXCLUSIONS), u"");
        Press(dialog, IDOK);
    });
    EXPECT_EQ(StoredWide("GestureExclusions"), std::u16string());

    // A policy's names added to the user's count with them: 2 + 31 are refused, 2 + 30 taken.
    ASSERT_TRUE(AddPolicy("HKLM\\GestureExclusions", "1", "REG_SZ", "lob.exe"));
    ASSERT_TRUE(AddPolicy("HKLM\\GestureExclusions", "2", "REG_SZ", "rdp.exe"));
    ASSERT_TRUE(AddPolicy("HKLM", "AddToUserGestureExclusions", "REG_DWORD", "1"));
    std::u16string names;
    for (char16_t i = 0; i < 31; ++i) {
        names += u"p" + std::u16string{char16_t(u'a' + i / 26), char16_t(u'a' + i % 26)} + u".exe;";
    }
    const std::u16string thirty = names.substr(names.find(u';') + 1);
    RunSheet([&](HWND dialog) {
        HWND field = ::GetDlgItem(PageOf(dialog, "General"), IDC_GESTURE_EXCLUSIONS);
        SetWideText(field, names);
        std::string box;
        EXPECT_TRUE(Answered("Vantapicker", Reply(IDOK, &box), [&] { Press(dialog, IDOK); }));
        EXPECT_NE(box.find("at most 32 programs"), std::string::npos) << box;
        SetWideText(field, thirty);
        EXPECT_FALSE(Answered("Vantapicker", Reply(IDOK), [&] { Press(dialog, IDOK); }));
    });
    EXPECT_EQ(StoredWide("GestureExclusions"), thirty);
}

TEST_F(GeneralPageSettings, RunValueHoldsTheQuotedPathAndIsShownQuotedOrNot) {
    RunKeyGuard guard;
    auto showsAutostart = [] {
        bool shown = false;
        RunSheet([&shown](HWND dialog) {
            shown = Checked(PageOf(dialog, "General"), IDC_RUN_AT_LOGON);
            Press(dialog, IDCANCEL);
        });
        return shown;
    };
    auto okWithBox = [](bool checked) {
        RunSheet([checked](HWND dialog) {
            ::CheckDlgButton(PageOf(dialog, "General"), IDC_RUN_AT_LOGON,
                             checked ? BST_CHECKED : BST_UNCHECKED);
            Press(dialog, IDOK);
        });
    };
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);

    // A value as an older version wrote it, without quotes.
    win::RegKey run = win::CreateKey(HKEY_CURRENT_USER, kRunKey);
    ASSERT_TRUE(run);
    win::WriteString(run.Get(), kAutostartValue, "C:\\Program Files\\Vantapicker\\Vantapicker.exe");
    EXPECT_TRUE(showsAutostart());
    okWithBox(true);
    EXPECT_EQ(RunValue(), "\"" + std::string(path) + "\"");
    EXPECT_TRUE(showsAutostart());
    okWithBox(false);
    EXPECT_EQ(RunValue(), std::nullopt);
    EXPECT_FALSE(showsAutostart());

    // Another program's value beside ours is never touched.
    win::WriteString(run.Get(), "VantapickerTestNeighbour", "neighbour.exe");
    okWithBox(true);
    okWithBox(false);
    EXPECT_EQ(RunValue(), std::nullopt);
    EXPECT_EQ(ReadTestString(HKEY_CURRENT_USER, kRunKey, "VantapickerTestNeighbour"),
              "neighbour.exe");
    ::RegDeleteValueA(run.Get(), "VantapickerTestNeighbour");

    // Switched off in Task Manager (an odd first byte of its mark): shown cleared, and OK
    // takes the mark away, the box ticked or cleared.
    const BYTE on[12] = {2};
    const BYTE off[12] = {3, 0, 0, 0, 0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0x01};
    for (const bool checked : {true, false}) {
        okWithBox(true);
        WriteTestValue(kStartupApprovedKey, kAutostartValue, REG_BINARY, on, sizeof on);
        EXPECT_TRUE(showsAutostart());
        WriteTestValue(kStartupApprovedKey, kAutostartValue, REG_BINARY, off, sizeof off);
        EXPECT_FALSE(showsAutostart());
        okWithBox(checked);
        EXPECT_FALSE(ReadTestString(HKEY_CURRENT_USER, kStartupApprovedKey, kAutostartValue));
        EXPECT_EQ(showsAutostart(), checked);
    }

    // Without a Run key nothing is shown and nothing is stored; the key is not made. The
    // key goes only when nothing of other programs is in it.
    run.Reset();
    if (!guard.RemoveKeyIfOnlyOurs()) {
        GTEST_SKIP() << "the Run key holds other programs' entries; it stays";
    }
    EXPECT_FALSE(showsAutostart());
    okWithBox(true);
    EXPECT_FALSE(win::OpenKey(HKEY_CURRENT_USER, kRunKey, KEY_READ));
}

}  // namespace
}  // namespace vp
