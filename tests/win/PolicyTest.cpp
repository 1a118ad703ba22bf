// Policies written with reg.exe, as an administrator's tools write them, against the
// running program: at start-up, and while it runs once Windows says that they changed.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/RegistryKeys.h"
#include "sites/SiteListFormat.h"
#include "tests/win/PopupFixture.h"
#include "win/Registry.h"

namespace vp {
namespace {

using Policies = Popup;

// Policies of both hives over the user's own settings: the popup gesture off, another
// default site, and no search history.
TEST_F(Policies, GestureOffForcedDefaultSiteAndNoHistoryOverTheUsersSettings) {
    WriteTestDword(kSettingsKey, "EnablePopupWindow", 1);
    WriteTestDword(kSettingsKey, "DefaultSite", 0);
    WriteTestValue(kHistoryKey, "0", REG_SZ, "stored before", 14);
    ASSERT_TRUE(AddPolicy("HKLM", "EnablePopupWindow", "REG_DWORD", "0"));
    ASSERT_TRUE(AddPolicy("HKCU", "DefaultSite", "REG_DWORD", "3"));
    ASSERT_TRUE(AddPolicy("HKLM", "KeepSearchHistory", "REG_DWORD", "0"));
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    EXPECT_TRUE(StoredHistory().empty());
    SelectionFixture fixture("managed");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    fixture.ResetCounts();
    ClickAt(CenterOf(fixture.Edit()), 1, {VK_CONTROL});
    PumpMessagesFor(1500);
    EXPECT_EQ(fixture.ClickCount(WM_RBUTTONDOWN), 1);
    EXPECT_FALSE(::IsWindowVisible(app.MainWindow()));
    ASSERT_TRUE(BringForward(fixture));
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], UrlOf(3) + "managed");
    EXPECT_TRUE(ExitsWithZero(app));
    EXPECT_FALSE(win::OpenKey(HKEY_CURRENT_USER, kHistoryKey, KEY_READ));
}

TEST_F(Policies, SiteListPathGivesThePopupThatListsSites) {
    const std::string share = TempFolder() + "organisation share";
    ::CreateDirectoryA(share.c_str(), nullptr);
    const std::string path = share + "\\sites.qhsl";
    SiteCatalogue sites;
    sites.Insert(0, {"Org Wiki", "https://wiki.org.example/?q=", 0, false, false});
    sites.Insert(1, {"Org Tickets", "https://tickets.org.example/?q=", 0, false, false});
    ASSERT_TRUE(WriteFileBytes(path, Encrypted(FormatSiteList(sites, {{"Org"}}))));
    ASSERT_TRUE(AddPolicy("HKLM", "SiteListPath", "REG_SZ", path));

    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("org");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    ASSERT_TRUE(ShowByHotKey(app, fixture, {300, 250}, "org"));
    const std::vector<HWND> links = LinksOf(app.MainWindow());
    EXPECT_EQ(links.size(), 2u);
    ASSERT_TRUE(WaitForFocus(app, EditOf(app)));
    PressKeys({}, VK_DOWN);
    PressKeys({}, VK_DOWN);
    PressKeys({}, VK_RETURN);
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], "https://tickets.org.example/?q=org");
    EXPECT_TRUE(ExitsWithZero(app));
    ::DeleteFileA(path.c_str());
    ::RemoveDirectoryA(share.c_str());
}

// Group Policy broadcasts this after it has written the policies.
void BroadcastPolicyChange() {
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Policy"),
                          SMTO_ABORTIFHUNG, 5000, &answer);
}

TEST_F(Policies, PolicyWrittenWhileRunningTakesEffectAtTheBroadcast) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    ASSERT_TRUE(WaitUntil([] { return !HotKeyIsFree(MOD_CONTROL, VK_F1); }));
    ASSERT_TRUE(AddPolicy("HKCU", "EnablePopupWindowHotKey", "REG_DWORD", "0"));
    BroadcastPolicyChange();
    EXPECT_TRUE(WaitUntil([] { return HotKeyIsFree(MOD_CONTROL, VK_F1); }));
    ASSERT_TRUE(DeletePolicy("HKCU", "EnablePopupWindowHotKey"));
    BroadcastPolicyChange();
    EXPECT_TRUE(WaitUntil([] { return !HotKeyIsFree(MOD_CONTROL, VK_F1); }));
    EXPECT_TRUE(ExitsWithZero(app));
}

}  // namespace
}  // namespace vp
