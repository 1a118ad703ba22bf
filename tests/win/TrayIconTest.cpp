// The notification-area icon of the real Vantapicker.exe and its menu, driven from
// outside: what its events and items do, its look and tip, and the end of the session.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/RegistryKeys.h"
#include "resources/resource.h"
#include "tests/win/Fixtures.h"
#include "tests/win/PopupFixture.h"
#include "tests/win/Protocol.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"
#include "tests/win/WindowSearch.h"

namespace vp {
namespace {

using test::kAboutTitle;
using test::kTrayNotify;

class TrayIcon : public Popup {};

// Takes the mouse off the notification area and waits until no tip covers it.
void LeaveTrayArea(const RECT& area) {
    MoveMouseTo({area.right + 200, area.bottom + 200});
    WaitUntil(
        [] { return FindTopLevelWindow(TOOLTIPS_CLASSA, nullptr, kVisibleWindows) == nullptr; });
}

std::vector<COLORREF> TrayPixels() {
    const RECT area = TrayArea();
    LeaveTrayArea(area);
    return CapturePixels(nullptr, area);
}

// The tip the shell shows while the mouse rests on the program's icon, the first in the
// notification area; empty when none appeared. The mouse comes to the icon again when a
// busy shell let the first visit pass without a tip.
std::string TrayTip() {
    const RECT area = TrayArea();
    std::string tip;
    for (int visit = 0; visit < 3 && tip.empty(); ++visit) {
        LeaveTrayArea(area);  // the tip appears when the mouse comes to the icon
        MoveMouseTo(FirstTrayIcon());
        WaitUntil(
            [&tip] {
                HWND window = FindTopLevelWindow(TOOLTIPS_CLASSA, nullptr, kVisibleWindows);
                tip = window != nullptr ? WindowText(window) : "";
                return !tip.empty();
            },
            4000);
    }
    return tip;
}

TEST_F(TrayIcon, TrayDoubleClickAndKeyboardSelectShowItAtTheCursorWithAnEmptySearchBox) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("not taken");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    app.SetSearchText("stale");

    ::SetCursorPos(450, 350);
    ::PostMessageA(app.MainWindow(), kTrayNotify, 1, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return InFront(app, fixture); })) << State(app);
    EXPECT_EQ(app.SearchText(), "");
    RECT rect = WindowRectOf(app.MainWindow());
    EXPECT_EQ(rect.left, 449);
    EXPECT_EQ(rect.top, 349);
    EXPECT_TRUE(WaitForFocus(app, EditOf(app)));

    // Enter with the empty text opens the default site's URL alone.
    PressKeys({}, VK_RETURN);
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], UrlOf(0));
    EXPECT_EQ(app.SearchText(), "");

    // Enter or Space on the icon does what the double click does; its event is of version
    // 4, carrying the place and id. (Which event does what is the tray events' table.)
    PressKeys({}, VK_ESCAPE);
    ASSERT_TRUE(WaitForHidden(app));
    app.SetSearchText("stale");
    ASSERT_TRUE(BringForward(fixture));
    ::PostMessageA(app.MainWindow(), kTrayNotify, MAKEWPARAM(12, 31), MAKELPARAM(NIN_KEYSELECT, 1));
    ASSERT_TRUE(WaitUntil([&] { return InFront(app, fixture); })) << State(app);
    EXPECT_EQ(app.SearchText(), "");
    EXPECT_EQ(WindowRectOf(app.MainWindow()).left, 449);
}

TEST_F(TrayIcon, OpenPopupWindowItemShowsItWithAnEmptySearchBoxDespiteASelection) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("selected elsewhere");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    app.SetSearchText("stale");

    ::SetCursorPos(500, 400);
    ASSERT_NE(app.OpenTrayMenu(), nullptr);
    PressKeys({}, VK_DOWN);  // the first item
    PressKeys({}, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(app.MainWindow()) != FALSE; }));
    EXPECT_EQ(app.SearchText(), "");
    RECT rect = WindowRectOf(app.MainWindow());
    EXPECT_EQ(rect.left, 499);
    EXPECT_EQ(rect.top, 399);
    EXPECT_EQ(rect.bottom - rect.top, PopupHeight(7));
    PumpMessagesFor(500);  // nothing is captured later either
    EXPECT_EQ(app.SearchText(), "");
    EXPECT_EQ(fixture.Text(), "selected elsewhere");
    EXPECT_TRUE(recorder_.Urls().empty());
}

TEST_F(TrayIcon, DismissedTrayMenuDoesNothing) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    app.SetSearchText("kept");
    ASSERT_NE(app.OpenTrayMenu(), nullptr);
    PressKeys({}, VK_ESCAPE);
    ASSERT_TRUE(WaitForNoMenu());
    PumpMessagesFor(300);
    EXPECT_EQ(FindTopLevelWindow("#32770", nullptr, kVisibleWindows), nullptr);
    EXPECT_TRUE(app.Process().IsRunning());
    EXPECT_FALSE(::IsWindowVisible(app.MainWindow()));
    EXPECT_EQ(CountTopLevelWindows("#32770", kAboutTitle), 0);
    EXPECT_EQ(app.SearchText(), "kept");
    EXPECT_FALSE(HotKeyIsFree(MOD_CONTROL, VK_F1));  // still active
    EXPECT_TRUE(recorder_.Urls().empty());
}

TEST_F(TrayIcon, DeactivateStopsEveryTriggerActivateRestoresThemAndExitStoresTheState) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    ASSERT_TRUE(TrayIconExists(app.MainWindow()));
    SelectionFixture fixture("trigger text");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    const POINT center = CenterOf(fixture.Edit());
    const std::vector<COLORREF> activeIcon = TrayPixels();
    EXPECT_EQ(TrayTip(), VP_TEXT_TIP_ACTIVE);

    Choose(app, 'd');
    EXPECT_TRUE(WaitUntil([] { return HotKeyIsFree(MOD_CONTROL, VK_F1); }));
    EXPECT_TRUE(WaitUntil([&] { return app.HookHost32() == 0; })) << "the 32-bit hook stayed";
    EXPECT_TRUE(TrayPixels() != activeIcon) << "the icon did not change";
    EXPECT_EQ(TrayTip(), VP_TEXT_TIP_INACTIVE);
    EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL, VK_F2));
    ASSERT_TRUE(BringForward(fixture));
    app.SetSearchText("unchanged");
    fixture.ResetCounts();
    const ULONGLONG triggered = ::GetTickCount64();
    PressKeys({VK_CONTROL}, VK_F1);
    PressKeys({VK_CONTROL}, VK_F2);
    ClickAt(center, 1, {VK_CONTROL});
    ClickAt(center, 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(app.WaitPastCaptureWindow(triggered));
    EXPECT_TRUE(recorder_.Urls().empty());
    EXPECT_EQ(app.SearchText(), "unchanged");
    EXPECT_FALSE(::IsWindowVisible(app.MainWindow()));
    EXPECT_EQ(fixture.ClickCount(WM_RBUTTONDOWN), 1);  // the gestures' clicks went through
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 1);
    EXPECT_TRUE(TrayIconExists(app.MainWindow()));

    Choose(app, 'a');
    EXPECT_FALSE(HotKeyIsFree(MOD_CONTROL, VK_F1));
    if (FixtureBitness() == 32) {  // the 32-bit hook is back with its host
        ASSERT_NE(app.WaitForHookHost32(), 0u);
    }
    EXPECT_TRUE(TrayPixels() == activeIcon) << "the first icon did not come back";
    EXPECT_EQ(TrayTip(), VP_TEXT_TIP_ACTIVE);
    ASSERT_TRUE(BringForward(fixture));
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], UrlOf(0) + "trigger text");
    fixture.ResetCounts();
    ClickAt(center, 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(recorder_.WaitForUrls(2));
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 0);

    // Exit keeps the state it ends in and the history, and ends with 0.
    Choose(app, 'd');
    ASSERT_TRUE(WaitUntil([] { return HotKeyIsFree(MOD_CONTROL, VK_F1); }));
    ASSERT_TRUE(ExitsWithZero(app));
    EXPECT_EQ(ReadTestDword(kSettingsKey, "ActiveState"), std::optional<std::uint32_t>(0));
    EXPECT_EQ(StoredHistory(), std::vector<std::string>{"trigger text"});
}

TEST_F(TrayIcon, TaskbarRestartPutsTheIconBack) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    ASSERT_TRUE(WaitUntil([&] { return TrayIconExists(app.MainWindow()); }));

    // The task bar forgot the icon, then announces its restart.
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = app.MainWindow();
    data.uID = 1;
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &data));
    ASSERT_FALSE(TrayIconExists(app.MainWindow()));
    const UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    ASSERT_NE(taskbarCreated, 0u);
    ::PostMessageA(app.MainWindow(), taskbarCreated, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(app.MainWindow()); }));

    // Announced while the icon is there: still one icon, and the program goes on.
    DWORD_PTR answer = 0;
    EXPECT_TRUE(
        ::SendMessageTimeoutA(app.MainWindow(), taskbarCreated, 0, 0, SMTO_BLOCK, 5000, &answer));
    EXPECT_TRUE(app.Process().IsRunning());
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &data));
    EXPECT_FALSE(TrayIconExists(app.MainWindow()));
}

TEST_F(TrayIcon, EndOfSessionStoresHistoryAndStateWhileTheProgramGoesOn) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("session words");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    Choose(app, 'd');
    ASSERT_TRUE(WaitUntil([] { return HotKeyIsFree(MOD_CONTROL, VK_F1); }));

    DWORD_PTR answer = 0;
    // The session goes on after all: nothing stored.
    ASSERT_TRUE(::SendMessageTimeoutA(app.MainWindow(), WM_ENDSESSION, FALSE, 0, SMTO_BLOCK, 5000,
                                      &answer));
    EXPECT_EQ(ReadTestDword(kSettingsKey, "ActiveState"), std::nullopt);
    EXPECT_TRUE(StoredHistory().empty());

    ASSERT_TRUE(
        ::SendMessageTimeoutA(app.MainWindow(), WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 5000, &answer));
    EXPECT_EQ(ReadTestDword(kSettingsKey, "ActiveState"), std::optional<std::uint32_t>(0));
    EXPECT_EQ(StoredHistory(), std::vector<std::string>{"session words"});

    PumpMessagesFor(300);
    EXPECT_TRUE(app.Process().IsRunning());
    ASSERT_TRUE(BringForward(fixture));
    ::PostMessageA(app.MainWindow(), kTrayNotify, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitUntil([&] { return InFront(app, fixture); })) << State(app);
}

TEST_F(TrayIcon, AboutItemOpensOneBoxThatEscOkAndTheCloseButtonEachClose) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    auto openAbout = [&app]() -> HWND {
        if (!app.ChooseTrayMenuItem('b')) {
            return nullptr;
        }
        HWND box = nullptr;
        WaitUntil([&] {
            return (box = FindTopLevelWindow("#32770", kAboutTitle, kVisibleWindows)) != nullptr;
        });
        return box;
    };

    HWND box = openAbout();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(CountTopLevelWindows("#32770", kAboutTitle), 1);
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == box; }));
    // Chosen again while it is open: the same box, no second one.
    ASSERT_TRUE(app.ChooseTrayMenuItem('b'));
    ASSERT_TRUE(WaitForNoMenu());
    PumpMessagesFor(500);
    EXPECT_EQ(CountTopLevelWindows("#32770", kAboutTitle), 1);
    EXPECT_EQ(FindTopLevelWindow("#32770", kAboutTitle, kVisibleWindows), box);
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == box; }));

    PressKeys({}, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return CountTopLevelWindows("#32770", kAboutTitle) == 0; }));
    EXPECT_TRUE(app.Process().IsRunning());

    box = openAbout();
    ASSERT_NE(box, nullptr);
    HWND ok = ::GetDlgItem(box, IDOK);
    ASSERT_NE(ok, nullptr);
    ClickAt(CenterOf(ok), 0);
    EXPECT_TRUE(WaitUntil([&] { return CountTopLevelWindows("#32770", kAboutTitle) == 0; }));
    EXPECT_TRUE(app.Process().IsRunning());

    box = openAbout();
    ASSERT_NE(box, nullptr);
    // What the close button sends (under Wine a synthetic click on a drawn close button
    // closes no window, not even a plain one).
    ::PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return CountTopLevelWindows("#32770", kAboutTitle) == 0; }));
    EXPECT_TRUE(app.Process().IsRunning());
    EXPECT_TRUE(ExitsWithZero(app));
}

}  // namespace
}  // namespace vp
