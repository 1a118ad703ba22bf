// The Options dialog of the running program, reached through the tray menu: one dialog
// at a time, the popup working while it is open, and OK followed at once.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/RegistryKeys.h"
#include "resources/resource.h"
#include "sites/SiteListFile.h"
#include "sites/SiteListFormat.h"
#include "tests/win/DialogDriver.h"
#include "tests/win/PopupFixture.h"
#include "tests/win/Protocol.h"
#include "win/Registry.h"
#include "win/WinText.h"

namespace vp {
namespace {

using test::kAboutTitle;
using test::kOptionsTitle;

class OptionsDialog : public Popup {
protected:
    // Chooses "&Options" and waits for the dialog in front; null when it did not come.
    static HWND OpenOptions(RunningApp& app) {
        Choose(app, 'o');
        HWND dialog = nullptr;
        WaitUntil([&] {
            return (dialog = FindTopLevelWindow("#32770", kOptionsTitle, kVisibleWindows)) !=
                   nullptr;
        });
        if (dialog != nullptr && !WaitUntil([&] { return ::GetForegroundWindow() == dialog; })) {
            return nullptr;
        }
        return dialog;
    }

    // Writes the programs without gestures on the General page and presses OK.
    static void StoreGestureExclusions(RunningApp& app, const char* programs) {
        HWND dialog = OpenOptions(app);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(::SetDlgItemTextA(PageOf(dialog, "General"), IDC_GESTURE_EXCLUSIONS, programs));
        ClickAt(CenterOf(::GetDlgItem(dialog, IDOK)), 0);
        ASSERT_TRUE(WaitUntil([] { return CountTopLevelWindows("#32770", kOptionsTitle) == 0; }));
    }

    // The popup over the fixture's selection takes its keys: Down reaches the first link
    // and Enter opens it.
    void ExpectWorkingPopup(RunningApp& app, const SelectionFixture& fixture, size_t urls) {
        ASSERT_TRUE(BringForward(fixture));
        ASSERT_TRUE(ShowByHotKey(app, fixture, {300, 250}, "while open"));
        EXPECT_TRUE(::IsWindowEnabled(app.MainWindow()));
        const std::vector<HWND> links = LinksOf(app.MainWindow());
        ASSERT_FALSE(links.empty());
        ASSERT_TRUE(WaitForFocus(app, EditOf(app)));
        PressKeys({}, VK_DOWN);
        ASSERT_TRUE(WaitForFocus(app, links[0]));
        PressKeys({}, VK_RETURN);
        ASSERT_TRUE(recorder_.WaitForUrls(urls));
        EXPECT_EQ(recorder_.Urls()[urls - 1], UrlOf(0) + "while open");
    }
};

TEST_F(OptionsDialog, OneDialogWithGeneralShownWhileThePopupKeepsWorkingAsWithTheAboutBox) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("while open");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    // Hidden dialogs of another program with the same titles stand in for neither.
    const auto impostor = [](const char* title) {
        return ::CreateWindowExA(0, "#32770", title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    };
    const HWND impostors[] = {impostor(kOptionsTitle), impostor(kAboutTitle)};

    HWND dialog = OpenOptions(app);
    ASSERT_NE(dialog, nullptr);
    HWND general = PageOf(dialog, "General");
    ASSERT_NE(general, nullptr);
    EXPECT_TRUE(::IsWindowVisible(general));
    EXPECT_FALSE(::IsWindowVisible(PageOf(dialog, "Sites")));
    EXPECT_EQ(::SendDlgItemMessageA(dialog, 100, TCM_GETCURSEL, 0, 0), 0);

    // Chosen again from behind another window: the same dialog comes forward.
    ASSERT_TRUE(BringForward(fixture));
    EXPECT_EQ(OpenOptions(app), dialog);
    EXPECT_EQ(TopLevelWindows("#32770", kOptionsTitle, kVisibleWindows).size(), 1u);

    ExpectWorkingPopup(app, fixture, 1);
    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil(
        [] { return TopLevelWindows("#32770", kOptionsTitle, kVisibleWindows).empty(); }));

    ASSERT_TRUE(app.ChooseTrayMenuItem('b'));
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        return (about = FindTopLevelWindow("#32770", kAboutTitle, kVisibleWindows)) != nullptr;
    }));
    ExpectWorkingPopup(app, fixture, 2);
    ::PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(
        WaitUntil([] { return TopLevelWindows("#32770", kAboutTitle, kVisibleWindows).empty(); }));
    EXPECT_TRUE(ExitsWithZero(app));
    for (HWND window : impostors) {
        ::DestroyWindow(window);
    }
}

TEST_F(OptionsDialog, OkStoresTheNewTriggersAndTheProgramFollowsAtOnce) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("new triggers");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    const POINT center = CenterOf(fixture.Edit());

    HWND dialog = OpenOptions(app);
    ASSERT_NE(dialog, nullptr);
    HWND page = PageOf(dialog, "General");
    ASSERT_NE(page, nullptr);
    ::SendDlgItemMessageA(page, IDC_POPUP_GESTURE_MODIFIER, CB_SETCURSEL, 1, 0);  // Shift
    ::SendDlgItemMessageA(page, IDC_POPUP_GESTURE_BUTTON, CB_SETCURSEL, 2, 0);    // Middle
    ::SendDlgItemMessageA(page, IDC_ENABLE_DEFAULT_GESTURE, BM_SETCHECK, BST_UNCHECKED, 0);
    ::SendDlgItemMessageA(page, IDC_POPUP_HOTKEY_MODIFIER, CB_SETCURSEL, 2, 0);    // Ctrl+Shift
    ::SendDlgItemMessageA(page, IDC_POPUP_HOTKEY_KEY, CB_SETCURSEL, 36, 0);        // "Q"
    ::SendDlgItemMessageA(page, IDC_DEFAULT_HOTKEY_MODIFIER, CB_SETCURSEL, 1, 0);  // Shift
    ::SendDlgItemMessageA(page, IDC_DEFAULT_HOTKEY_KEY, CB_SETCURSEL, 45, 0);      // "Z"
    ::SendDlgItemMessageA(page, IDC_ENABLE_DEFAULT_HOTKEY, BM_SETCHECK, BST_UNCHECKED, 0);
    ClickAt(CenterOf(::GetDlgItem(dialog, IDOK)), 0);
    ASSERT_TRUE(WaitUntil([] { return CountTopLevelWindows("#32770", kOptionsTitle) == 0; }));

    const std::pair<const char*, std::uint32_t> stored[] = {
        {"PopupWindowButton", 2},       {"PopupWindowKey", 1},
        {"EnablePopupWindow", 1},       {"DefaultActionButton", 0},
        {"DefaultActionKey", 2},        {"EnableDefaultAction", 0},
        {"PopupWindowHotModifier", 2},  {"PopupWindowHotKey", 36},
        {"EnablePopupWindowHotKey", 1}, {"DefaultActionHotModifier", 1},
        {"DefaultActionHotKey", 45},    {"EnableDefaultActionHotKey", 0}};
    for (auto [name, value] : stored) {
        EXPECT_EQ(ReadTestDword(kSettingsKey, name), std::optional<std::uint32_t>(value)) << name;
    }

    // The new hot key and gesture open the popup over the selection; the disabled hot
    // key is not held.
    ASSERT_TRUE(WaitUntil([] { return HotKeyIsFree(MOD_CONTROL, VK_F1); }));
    EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL, VK_F2) && HotKeyIsFree(MOD_SHIFT, 'Z'));
    EXPECT_FALSE(HotKeyIsFree(MOD_CONTROL | MOD_SHIFT, 'Q'));
    ASSERT_TRUE(BringForward(fixture));
    PressKeys({VK_CONTROL, VK_SHIFT}, 'Q');
    EXPECT_TRUE(WaitUntil([&] {
        return app.SearchText() == "new triggers" && InFront(app, fixture);
    })) << State(app);
    PressKeys({}, VK_ESCAPE);
    ASSERT_TRUE(WaitForHidden(app));
    ASSERT_TRUE(BringForward(fixture));
    app.SetSearchText("(before)");
    fixture.ResetCounts();
    ClickAt(center, 2, {VK_SHIFT});
    EXPECT_TRUE(WaitUntil([&] {
        return app.SearchText() == "new triggers" && InFront(app, fixture);
    })) << State(app);
    EXPECT_EQ(fixture.ClickCount(WM_MBUTTONDOWN), 0);
    PressKeys({}, VK_ESCAPE);
    ASSERT_TRUE(WaitForHidden(app));

    // The old popup gesture and the disabled default-site gesture reach the application.
    ASSERT_TRUE(BringForward(fixture));
    fixture.ResetCounts();
    ClickAt(center, 1, {VK_CONTROL});
    ClickAt(center, 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(app.WaitPastCaptureWindow());
    EXPECT_EQ(fixture.ClickCount(WM_RBUTTONDOWN), 1);
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 1);
    EXPECT_FALSE(::IsWindowVisible(app.MainWindow()));
    EXPECT_TRUE(recorder_.Urls().empty());
    EXPECT_TRUE(ExitsWithZero(app));
}

// A program named in "Don't take gestures in these programs:" gets the gesture's clicks
// and nothing opens, while another one named leaves the fixture's gesture working; the
// hot keys stay global, and clearing the list gives the gesture back at once.
TEST_F(OptionsDialog, NamedProgramKeepsItsGestureClicksUntilTheListIsCleared) {
    WriteTestWideString(kSettingsKey, "GestureExclusions", u"notepad.exe");
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("leave me be");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    const POINT center = CenterOf(fixture.Edit());
    auto selectAll = [&] {
        ASSERT_TRUE(BringForward(fixture));
        ::SendMessageA(fixture.Edit(), EM_SETSEL, 0, -1);
        fixture.ResetCounts();
    };
    auto storeList = [&](const char* programs) { StoreGestureExclusions(app, programs); };

    ClickAt(center, 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_NE(recorder_.Urls()[0].find("leave me be"), std::string::npos);
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 0);

    const std::string own =
        FixtureBitness() == 32 ? "SELECTIONFIXTURE32.EXE" : "SelectionFixture.EXE";
    storeList(("notepad.exe; C:\\Elsewhere\\" + own + ";").c_str());
    selectAll();
    ClickAt(center, 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(app.WaitPastCaptureWindow());
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 1);
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONUP), 1);
    EXPECT_EQ(recorder_.Urls().size(), 1u);
    EXPECT_FALSE(::IsWindowVisible(app.MainWindow()));
    selectAll();
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(2));
    EXPECT_EQ(recorder_.Urls()[1], recorder_.Urls()[0]);

    storeList("");
    selectAll();
    ClickAt(center, 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(recorder_.WaitForUrls(3));
    EXPECT_EQ(recorder_.Urls()[2], recorder_.Urls()[0]);
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 0);
    EXPECT_TRUE(ExitsWithZero(app));
}

// A gesture made right after OK searches, in a 32-bit application too: a new list that
// names other programs leaves the application's hook in place, and so does clearing it.
TEST_F(OptionsDialog, GestureRightAfterOkSearchesWhateverTheNewList) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("right after ok");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    size_t urls = 0;
    for (const char* programs : {"notepad.exe;", ""}) {
        StoreGestureExclusions(app, programs);
        ASSERT_TRUE(BringForward(fixture));
        ::SendMessageA(fixture.Edit(), EM_SETSEL, 0, -1);
        fixture.ResetCounts();
        ClickAt(CenterOf(fixture.Edit()), 0, {VK_CONTROL, VK_SHIFT});
        ASSERT_TRUE(recorder_.WaitForUrls(++urls)) << "after OK with \"" << programs << "\"";
        EXPECT_NE(recorder_.Urls()[urls - 1].find("right after ok"), std::string::npos);
        EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 0);
    }
    EXPECT_TRUE(ExitsWithZero(app));
}

// The Sites page of the running program: hiding the first site and adding one under its
// category, then OK, gives the popup exactly the new visible sites in id order, and the
// new site is searched.
TEST_F(OptionsDialog, OkOnTheSitesPageGivesThePopupTheNewSites) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("new site");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    const SiteId newId = NextSiteId(catalogue_);

    HWND dialog = OpenOptions(app);
    ASSERT_NE(dialog, nullptr);
    HWND tabs = ::GetDlgItem(dialog, 100);
    ::PostMessageA(tabs, WM_KEYDOWN, VK_RIGHT, 0);  // the tab control goes to "Sites"
    HWND page = PageOf(dialog, "Sites");
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(page) != FALSE; }));
    // The first category's first site is site 0: selected, its button hides it.
    HWND tree = ::GetDlgItem(page, IDC_SITE_TREE);
    const LPARAM firstRoot = ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    const LPARAM firstSite = ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, firstRoot);
    ASSERT_NE(firstSite, 0);
    ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, firstSite);
    HWND toggle = ::GetDlgItem(page, IDC_TOGGLE_SITE);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(toggle) == "Hide &Site"; }));
    ::PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_TOGGLE_SITE, BN_CLICKED),
                   reinterpret_cast<LPARAM>(toggle));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(toggle) == "Show &Site"; }));
    // New Site under the same category, named and addressed in the properties dialog.
    ::PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_NEW_SITE, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(page, IDC_NEW_SITE)));
    HWND properties =
        WaitForTopLevelWindow("#32770", test::kSitePropertiesTitle, 5000, kVisibleWindows);
    ASSERT_NE(properties, nullptr);
    const std::string newUrl = "https://new.example/find?q=";
    FillSiteProperties("New Site", newUrl)(properties);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(properties); }));
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([] { return CountTopLevelWindows("#32770", kOptionsTitle) == 0; }));

    // Sites 1 to 6, then the new one: the first and the last link open theirs.
    ASSERT_TRUE(BringForward(fixture));
    ASSERT_TRUE(ShowByHotKey(app, fixture, {300, 250}, "new site"));
    const std::vector<HWND> links = LinksOf(app.MainWindow());
    ASSERT_EQ(links.size(), 7u);
    ASSERT_TRUE(WaitForFocus(app, EditOf(app)));
    PressKeys({}, VK_DOWN);
    ASSERT_TRUE(WaitForFocus(app, links[0]));
    PressKeys({}, VK_RETURN);
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], UrlOf(1) + "new site");
    ASSERT_TRUE(BringForward(fixture));
    ASSERT_TRUE(ShowByHotKey(app, fixture, {300, 250}, "new site"));
    ASSERT_TRUE(WaitForFocus(app, EditOf(app)));
    for (std::size_t i = 0; i < links.size(); ++i) {
        PressKeys({}, VK_DOWN);
        ASSERT_TRUE(WaitForFocus(app, links[i]));
    }
    PressKeys({}, VK_RETURN);
    ASSERT_TRUE(recorder_.WaitForUrls(2));
    EXPECT_EQ(recorder_.Urls()[1], newUrl + "new site");
    EXPECT_EQ(ReadTestDword(kSelectedKey, "6"), std::optional<std::uint32_t>(newId));
    EXPECT_TRUE(ExitsWithZero(app));
}

// The organisation's list behind a share that answers after six seconds: the program
// answers at once with the list's last good copy, which Options shows and stores nothing
// over, and the list comes in when the share answers.
TEST_F(OptionsDialog, AnOrganisationsListThatAnswersLateHoldsUpNothing) {
    SiteCatalogue kept;
    kept.Insert(0, {"Kept Wiki", "https://kept.org.example/?q=", 0, false, false});
    const std::u16string copy = ManagedSiteListCopyPath();
    ASSERT_EQ(SaveSiteList(kept, {{"Org"}}), 0u);  // makes the folder
    ASSERT_TRUE(::MoveFileExW(WidePointer(UserSiteListPath()), WidePointer(copy),
                              MOVEFILE_REPLACE_EXISTING));
    SiteCatalogue fresh = kept;
    fresh.Insert(1, {"Org Tickets", "https://tickets.org.example/?q=", 0, false, false});
    const std::string list = NewTempFile();
    ASSERT_TRUE(WriteFileBytes(list, Encrypted(FormatSiteList(fresh, {{"Org"}}))));
    const std::string pipe = "\\\\.\\pipe\\vp-late-organisation-list";
    const win::KernelHandle share = StartHelperProgram(
        "\"" + TestProgramFolder() + "SlowPipe.exe\" " + pipe + " \"" + list + "\" 6000");
    ASSERT_TRUE(share);
    ASSERT_TRUE(AddPolicy("HKLM", "SiteListPath", "REG_SZ", pipe));
    SelectionFixture fixture("late");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();

    const ULONGLONG start = ::GetTickCount64();
    RunningApp app;
    ASSERT_TRUE(ShowByHotKey(app, fixture, {300, 250}, "late"));
    EXPECT_LT(::GetTickCount64() - start, 4000u) << "the start waited on the share";
    EXPECT_EQ(LinksOf(app.MainWindow()).size(), 1u);
    PressKeys({}, VK_ESCAPE);
    ASSERT_TRUE(WaitForHidden(app));

    // Still unread as the page opens: it did not wait for the share.
    HWND dialog = OpenOptions(app);
    ASSERT_NE(dialog, nullptr);
    ::PostMessageA(::GetDlgItem(dialog, 100), WM_KEYDOWN, VK_RIGHT, 0);
    HWND page = PageOf(dialog, "Sites");
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(page) != FALSE; }));
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([] { return CountTopLevelWindows("#32770", kOptionsTitle) == 0; }));
    EXPECT_EQ(::GetFileAttributesW(WidePointer(UserSiteListPath())), INVALID_FILE_ATTRIBUTES);

    // The share answers: the list comes in, and is the copy from then on.
    EXPECT_TRUE(WaitUntil([&] { return LinksOf(app.MainWindow()).size() == 2u; }, 12000));
    EXPECT_EQ(test::ReadFileBytes(copy), Encrypted(FormatSiteList(fresh, {{"Org"}})));
    EXPECT_TRUE(ExitsWithZero(app));
    EndHelperProgram(share);
    ::DeleteFileW(WidePointer(copy));
}

}  // namespace
}  // namespace vp
