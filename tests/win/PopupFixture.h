// The fixture of the tests that drive the real Vantapicker.exe's popup, tray menu and
// dialogs from outside, and the helpers they share.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sites/SiteCatalogue.h"
#include "tests/fixtures/FixtureMessages.h"
#include "tests/win/Fixtures.h"
#include "tests/win/Protocol.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"
#include "tests/win/WindowSearch.h"

namespace vp {

// The popup's links, in the order of their ids 100, 101, ...
std::vector<HWND> LinksOf(HWND popup);
// True when nobody holds the hot key (it is registered and released again at once).
bool HotKeyIsFree(UINT modifiers, UINT key);
// The popup's height with this many links (at 96 DPI).
int PopupHeight(int links);
RECT WindowRectOf(HWND window);
// The client area in screen coordinates.
RECT ClientRectOnScreen(HWND window);
RECT WorkAreaAt(POINT point);

class Popup : public ::testing::Test {
protected:
    void SetUp() override {
        // The program of an earlier test is gone with its window and hot keys; a window
        // left over would pass for the new program's.
        ASSERT_TRUE(WaitUntil(
            [] {
                return FindTopLevelWindow(test::kMainWindowClassName) == nullptr &&
                       HotKeyIsFree(MOD_CONTROL, VK_F1) && HotKeyIsFree(MOD_CONTROL, VK_F2);
            },
            10000));
        ResetProgramState();
        ASSERT_TRUE(recorder_.Ready());
        catalogue_ = InstalledCatalogue();
        ASSERT_GE(catalogue_.Size(), 7u);
    }
    void TearDown() override { ResetProgramState(); }

    std::string UrlOf(SiteId id) const { return catalogue_.Find(id)->url; }

    // Ctrl+F1 over the fixture's selection with the cursor at a point, until the popup
    // is shown with the text and in front. A popup still shown is hidden with Esc first.
    // Fails at once when the program or the fixture did not start.
    static ::testing::AssertionResult ShowByHotKey(const RunningApp& app,
                                                   const SelectionFixture& fixture, POINT cursor,
                                                   const std::string& text) {
        if (!app.Ready() || !fixture.Ready()) {
            return ::testing::AssertionFailure()
                   << "not started: program " << app.Ready() << ", " << fixture.Problem();
        }
        if (::IsWindowVisible(app.MainWindow())) {
            PressKeys({}, VK_ESCAPE);
            if (!WaitForHidden(app) || !BringForward(fixture)) {
                return ::testing::AssertionFailure() << "not hidden: " << State(app);
            }
        }
        ::SetCursorPos(cursor.x, cursor.y);
        // The trigger empties the box first: a failure shows whether it arrived.
        app.SetSearchText("(before)");
        PressKeys({VK_CONTROL}, VK_F1);
        if (WaitUntil([&] { return app.SearchText() == text && InFront(app, fixture); })) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "not shown: " << State(app);
    }

    // The popup is shown in the foreground on an input of its own: while it takes the
    // foreground it shares the fixture's input for a moment, and keys sent then could be
    // lost.
    static bool InFront(const RunningApp& app, const SelectionFixture& fixture) {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return ::IsWindowVisible(app.MainWindow()) && ::GetForegroundWindow() == app.MainWindow() &&
               ::GetGUIThreadInfo(::GetWindowThreadProcessId(fixture.Window(), nullptr), &info) &&
               info.hwndActive != app.MainWindow();
    }

    static std::string State(const RunningApp& app) {
        HWND foreground = ::GetForegroundWindow();
        return "visible " + std::to_string(::IsWindowVisible(app.MainWindow())) + ", text [" +
               app.SearchText() + "], foreground " +
               (foreground != nullptr ? ClassOf(foreground) : "none") + ", focus " +
               ClassOf(FocusOfThreadOf(app.MainWindow())) + ", window " +
               std::to_string(::IsWindow(app.MainWindow())) + ", Ctrl+F1 free " +
               std::to_string(HotKeyIsFree(MOD_CONTROL, VK_F1));
    }

    static HWND EditOf(const RunningApp& app) {
        return reinterpret_cast<HWND>(::SendMessageA(app.SearchBox(), CBEM_GETEDITCONTROL, 0, 0));
    }

    static bool WaitForFocus(const RunningApp& app, HWND expected) {
        return WaitUntil([&] { return FocusOfThreadOf(app.MainWindow()) == expected; });
    }

    static ::testing::AssertionResult WaitForHidden(const RunningApp& app) {
        if (WaitUntil([&] { return !::IsWindowVisible(app.MainWindow()); })) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "still shown: " << State(app);
    }

    // The fixture takes the foreground back, with the focus on its selection.
    static bool BringForward(const SelectionFixture& fixture) {
        ::PostMessageA(fixture.Window(), test::selection_fixture::kComeForward, 0, 0);
        return WaitUntil([&] { return ::GetForegroundWindow() == fixture.Window(); });
    }

    // Chooses a tray menu item and waits until the program has carried it out.
    static void Choose(RunningApp& app, char mnemonic) {
        // Shown, so the menu is being tracked; closed, so the command is running.
        ASSERT_TRUE(app.ChooseTrayMenuItem(mnemonic));
        ASSERT_TRUE(WaitForNoMenu()) << mnemonic;
        // A sent message is answered once the thread looks for messages again, after the
        // command.
        DWORD_PTR answer = 0;
        ASSERT_TRUE(
            ::SendMessageTimeoutA(app.MainWindow(), WM_NULL, 0, 0, SMTO_BLOCK, 5000, &answer));
    }

    // Ends the program through the tray menu's Exit, which must end it with 0.
    static ::testing::AssertionResult ExitsWithZero(RunningApp& app) {
        const long code = app.ExitThroughTrayMenu();
        if (code == 0) {
            return ::testing::AssertionSuccess();
        }
        HWND foreground = ::GetForegroundWindow();
        return ::testing::AssertionFailure()
               << "exit code " << code << ", menu shown "
               << (FindTopLevelWindow("#32768", nullptr, kVisibleWindows) != nullptr)
               << ", running " << app.Process().IsRunning() << ", foreground "
               << (foreground != nullptr ? ClassOf(foreground) : "none");
    }

    UrlRecorder recorder_;
    SiteCatalogue catalogue_;
};

}  // namespace vp
