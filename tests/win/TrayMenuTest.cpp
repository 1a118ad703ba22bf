// The tray menu as the program builds it. Another process cannot read a menu under Wine,
// so the whole program runs here, on a thread of the test, and its menu is read in place.
#include "app/Program.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/RegistryKeys.h"
#include "tests/win/Fixtures.h"
#include "tests/win/Protocol.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"
#include "tests/win/WindowSearch.h"
#include "win/Handle.h"
#include "win/Registry.h"

namespace vp {
namespace {

using test::kTrayNotify;
constexpr UINT kMenuOfWindow = 0x01E1;  // MN_GETHMENU: the menu that a menu window shows
constexpr POINT kCursor{600, 500};

// The program's main window once it exists in this process, or null.
HWND OwnMainWindow() {
    HWND window = nullptr;
    while ((window = ::FindWindowExA(nullptr, window, test::kMainWindowClassName, nullptr))) {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        if (processId == ::GetCurrentProcessId()) {
            return window;
        }
    }
    return nullptr;
}

// Each item as "id text", separators as "-".
std::vector<std::string> ItemsOf(HMENU menu) {
    std::vector<std::string> items;
    const int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        char text[256] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!::GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) {
            items.push_back("<unreadable>");
        } else if (info.fType & MFT_SEPARATOR) {
            items.push_back("-");
        } else {
            items.push_back(std::to_string(info.wID) + " " + text);
        }
    }
    return items;
}

// The whole program, from its start to its end, on a thread of its own.
class ProgramOnThread {
public:
    ProgramOnThread()
        : thread_([run = run_] {
              run->threadId = ::GetCurrentThreadId();
              run->exitCode = RunProgram(::GetModuleHandleA(nullptr), "Vantapicker.exe");
              run->ended = true;
          }) {}

    ~ProgramOnThread() {
        // Whatever the test left open, the program ends before its thread is joined.
        for (int attempt = 0; attempt < 3 && !run_->ended && mainWindow_ != nullptr; ++attempt) {
            if (HWND menu = FindTopLevelWindow("#32768", nullptr, kOwnVisibleWindows)) {
                ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                WaitUntil(
                    [] {
                        return FindTopLevelWindow("#32768", nullptr, kOwnVisibleWindows) == nullptr;
                    },
                    2000);
            }
            if (ChooseFromMenu('x')) {
                WaitForEnd(3000);
            }
        }
        for (int attempt = 0; attempt < 3 && !run_->ended; ++attempt) {
            if (HWND box = FindTopLevelWindow("#32770", nullptr,
                                              kOwnVisibleWindows)) {  // an error box, for instance
                ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
            ::PostThreadMessageA(run_->threadId, WM_QUIT, 0, 0);
            WaitForEnd(2000);
        }
        if (run_->ended) {
            thread_.join();
        } else {
            thread_.detach();  // better a stray thread than a test run that never ends
        }
    }
    ProgramOnThread(const ProgramOnThread&) = delete;
    ProgramOnThread& operator=(const ProgramOnThread&) = delete;

    // True once start-up has finished: the main window answers and holds its search box.
    bool WaitForStart() {
        const bool started = WaitUntil(
            [this] {
                mainWindow_ = OwnMainWindow();
                return mainWindow_ != nullptr && ::GetDlgItem(mainWindow_, 99) != nullptr;
            },
            5000);
        if (!started) {
            return false;
        }
        DWORD_PTR answer = 0;
        return ::SendMessageTimeoutA(mainWindow_, WM_NULL, 0, 0, SMTO_BLOCK, 10000, &answer) != 0;
    }

    // Right click on the icon with the cursor at kCursor (or other events of the icon);
    // the shown menu's window, or null.
    HWND OpenMenu(std::initializer_list<std::pair<WPARAM, LPARAM>> events = {{1, WM_RBUTTONUP}}) {
        ::SetCursorPos(kCursor.x, kCursor.y);
        for (const auto& [wParam, lParam] : events) {
            ::PostMessageA(mainWindow_, kTrayNotify, wParam, lParam);
        }
        HWND menu = nullptr;
        WaitUntil(
            [&menu] {
                return (menu = FindTopLevelWindow("#32768", nullptr, kOwnVisibleWindows)) !=
                       nullptr;
            },
            5000);
        return menu;
    }

    bool ChooseFromMenu(char mnemonic) {
        if (OpenMenu() == nullptr) {
            return false;
        }
        PressKeys({}, static_cast<WORD>(::VkKeyScanA(mnemonic) & 0xFF));
        return true;
    }

    bool WaitForEnd(DWORD timeoutMs) {
        return WaitUntil([this] { return run_->ended.load(); }, timeoutMs);
    }

    HWND MainWindow() const { return mainWindow_; }
    DWORD ThreadId() const { return run_->threadId; }
    int ExitCode() const { return run_->exitCode; }

private:
    // Shared with the thread, which may outlive this object if the program hangs.
    struct Run {
        std::atomic<bool> ended{false};
        std::atomic<int> exitCode{-1};
        std::atomic<DWORD> threadId{0};
    };
    std::shared_ptr<Run> run_ = std::make_shared<Run>();
    HWND mainWindow_ = nullptr;
    std::thread thread_;
};

// Whether the icon still existed when the main window began to go: the shell forgets
// the icons of destroyed windows by itself, so only this moment shows that the program
// removed its own. -1 until the window went.
std::atomic<int> g_iconWhenDestroyed{-1};

LRESULT CALLBACK WatchMainWindowDestroy(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_DESTROY && message->hwnd == OwnMainWindow()) {
        g_iconWhenDestroyed = TrayIconExists(message->hwnd) ? 1 : 0;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

std::optional<std::uint32_t> StoredActiveState() {
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_READ);
    return key ? win::ReadDword(key.Get(), "ActiveState") : std::nullopt;
}

class TrayMenu : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramState(); }
    void TearDown() override { DeleteProgramKeys(); }

    // Opens the menu, checks its items against `expected`, then dismisses it with Esc
    // and ends the program with Exit.
    static void CheckMenuThenExit(const std::vector<std::string>& expected) {
        ProgramOnThread program;
        ASSERT_TRUE(program.WaitForStart());
        EXPECT_TRUE(TrayIconExists(program.MainWindow()));
        g_iconWhenDestroyed = -1;
        win::HookHandle watch(::SetWindowsHookExA(WH_CALLWNDPROC, WatchMainWindowDestroy, nullptr,
                                                  program.ThreadId()));
        ASSERT_TRUE(watch);
        HWND menuWindow = program.OpenMenu();
        ASSERT_NE(menuWindow, nullptr);
        auto menu = reinterpret_cast<HMENU>(::SendMessageA(menuWindow, kMenuOfWindow, 0, 0));
        ASSERT_TRUE(::IsMenu(menu));

        EXPECT_EQ(ItemsOf(menu), expected);
        EXPECT_EQ(::GetMenuDefaultItem(menu, FALSE, 0), 140u);
        for (int position = 0; position < ::GetMenuItemCount(menu); ++position) {
            SCOPED_TRACE(position);
            const UINT state = ::GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
            if (!(state & MF_SEPARATOR)) {
                EXPECT_EQ(state & (MF_CHECKED | MF_GRAYED | MF_DISABLED), 0u);
            }
        }
        // Its lower right corner is at the cursor.
        RECT rect{};
        ::GetWindowRect(menuWindow, &rect);
        EXPECT_EQ(rect.right, kCursor.x);
        EXPECT_EQ(rect.bottom, kCursor.y);

        // Esc dismisses it and leaves the program as it was.
        PressKeys({}, VK_ESCAPE);
        EXPECT_TRUE(WaitUntil(
            [] { return FindTopLevelWindow("#32768", nullptr, kOwnVisibleWindows) == nullptr; },
            5000));
        EXPECT_FALSE(program.WaitForEnd(300));
        EXPECT_FALSE(::IsWindowVisible(program.MainWindow()));

        ASSERT_TRUE(program.ChooseFromMenu('x'));
        ASSERT_TRUE(program.WaitForEnd(10000));
        EXPECT_EQ(program.ExitCode(), 0);
        EXPECT_EQ(OwnMainWindow(), nullptr);
        EXPECT_EQ(g_iconWhenDestroyed, 0) << "1: the icon was left to the shell; -1: not seen";
    }
};

TEST_F(TrayMenu, ActiveProgramOffersDeactivate) {
    CheckMenuThenExit({"140 Open Popup Window", "-", "116 Online &Help", "115 Home &Page",
                       "131 &Support", "-", "102 &Options", "104 &Deactivate", "-",
                       "101 A&bout Vantapicker", "-", "105 E&xit"});
    EXPECT_EQ(StoredActiveState(), std::optional<std::uint32_t>(1));
}

TEST_F(TrayMenu, InactiveProgramOffersActivate) {
    WriteTestDword(kSettingsKey, "ActiveState", 0);
    CheckMenuThenExit({"140 Open Popup Window", "-", "116 Online &Help", "115 Home &Page",
                       "131 &Support", "-", "102 &Options", "103 &Activate", "-",
                       "101 A&bout Vantapicker", "-", "105 E&xit"});
    EXPECT_EQ(StoredActiveState(), std::optional<std::uint32_t>(0));
}

// The events of version 4 (their lParam carries the icon's id) that the shell sent.
std::atomic<bool> g_selectSent{false};
std::atomic<bool> g_contextMenuSent{false};

LRESULT CALLBACK RecordIconEvent(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == kTrayNotify) {
        g_selectSent = g_selectSent || message->lParam == MAKELPARAM(NIN_SELECT, 1);
        g_contextMenuSent = g_contextMenuSent || message->lParam == MAKELPARAM(WM_CONTEXTMENU, 1);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

HWND ShownMenu() {
    return FindTopLevelWindow("#32768", nullptr, kOwnVisibleWindows);
}

// Esc closes the menu, and no other opens.
void DismissMenu() {
    PressKeys({}, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([] { return ShownMenu() == nullptr; }));
    PumpMessagesFor(500);
    EXPECT_EQ(ShownMenu(), nullptr);
}

TEST_F(TrayMenu, KeyboardOpensTheSameMenuAtTheIconAndClicksOnItDoWhatTheyDid) {
    ProgramOnThread program;
    ASSERT_TRUE(program.WaitForStart());
    // The context-menu key: the shell gives the icon's place; the cursor is elsewhere.
    constexpr POINT kIcon{700, 300};
    const WPARAM icon = MAKEWPARAM(kIcon.x, kIcon.y);
    HWND menuWindow = program.OpenMenu({{icon, MAKELPARAM(WM_CONTEXTMENU, 1)}});
    ASSERT_NE(menuWindow, nullptr);
    auto menu = reinterpret_cast<HMENU>(::SendMessageA(menuWindow, kMenuOfWindow, 0, 0));
    EXPECT_EQ(ItemsOf(menu).size(), 12u);  // the right click's menu (first test)
    EXPECT_EQ(::GetMenuItemID(menu, 0), 140u);
    RECT rect{};
    ::GetWindowRect(menuWindow, &rect);
    EXPECT_EQ(rect.right, kIcon.x);
    EXPECT_EQ(rect.bottom, kIcon.y);
    DismissMenu();

    // Real clicks on the icon, which the shell shows a moment after it was added. The
    // shell adds its events of version 4: the left click still opens nothing, the right
    // click one menu.
    g_selectSent = g_contextMenuSent = false;
    win::HookHandle watch(
        ::SetWindowsHookExA(WH_CALLWNDPROC, RecordIconEvent, nullptr, program.ThreadId()));
    ASSERT_TRUE(watch);
    ASSERT_TRUE(WaitUntil([] {
        const RECT area = TrayArea();
        return !::IsRectEmpty(&area);
    }));
    ClickAt(FirstTrayIcon(), 0);
    EXPECT_TRUE(WaitUntil([] { return g_selectSent.load(); }));
    PumpMessagesFor(300);
    EXPECT_FALSE(::IsWindowVisible(program.MainWindow()));
    EXPECT_EQ(ShownMenu(), nullptr);
    ClickAt(FirstTrayIcon(), 1);
    EXPECT_TRUE(WaitUntil([] { return ShownMenu() != nullptr; }));
    EXPECT_TRUE(WaitUntil([] { return g_contextMenuSent.load(); }));
    DismissMenu();
}

}  // namespace
}  // namespace vp
