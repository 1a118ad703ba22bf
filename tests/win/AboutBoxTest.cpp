// Message-level tests of the About box: a real modal dialog on a thread of its own.
#include "popup/AboutBox.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "resources/resource.h"
#include "tests/win/Protocol.h"
#include "tests/win/WindowSearch.h"
#include "win/WinText.h"

namespace vp {
namespace {

using test::kAboutTitle;

// Runs something that shows the About box on its own thread; whatever the test does,
// the box is closed and the thread joined at the end.
class AboutOnThread {
public:
    template <typename Body>
    explicit AboutOnThread(Body body)
        : thread_([this, body] {
              body(result_);
              ended_ = true;
          }) {}
    ~AboutOnThread() {
        for (int attempt = 0; attempt < 100 && !ended_; ++attempt) {
            if (HWND box = FindTopLevelWindow("#32770", kAboutTitle)) {
                ::PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            }
            ::Sleep(20);
        }
        thread_.join();
    }
    // The box once it is shown (the dialog manager shows it when its loop first idles).
    HWND WaitForBox() {
        HWND box = WaitForTopLevelWindow("#32770", kAboutTitle, 5000, {}, &ended_);
        WaitUntil([box] { return box == nullptr || ::IsWindowVisible(box); }, 5000);
        return box;
    }
    // True when the thread ended within the time.
    bool WaitForEnd(DWORD timeoutMs) {
        return WaitUntil([this] { return ended_.load(); }, timeoutMs);
    }
    INT_PTR Result() const { return result_; }

private:
    std::atomic<bool> ended_{false};
    INT_PTR result_ = 0;
    std::thread thread_;
};

std::unique_ptr<AboutOnThread> RunAboutDialog() {
    return std::make_unique<AboutOnThread>([](INT_PTR& result) {
        AboutDialog dialog;
        result = dialog.RunModal(ProgramInstance(), IDD_ABOUT, nullptr);
    });
}

TEST(AboutBox, ShowsTheProgramsBoxWithTheFocusOnOk) {
    AboutOnThread shower([](INT_PTR&) { ShowAboutBox(); });
    HWND box = shower.WaitForBox();
    ASSERT_NE(box, nullptr);
    HWND ok = ::GetDlgItem(box, IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(WindowText(ok), "&OK");
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(::GetGUIThreadInfo(::GetWindowThreadProcessId(box, nullptr), &info));
    EXPECT_EQ(info.hwndFocus, ok);
    EXPECT_TRUE(::IsWindowVisible(box));
    EXPECT_FALSE(shower.WaitForEnd(100));  // modal: the call waits for the box

    ::PostMessageA(ok, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(shower.WaitForEnd(3000));
    EXPECT_EQ(CountTopLevelWindows("#32770", kAboutTitle), 0);
}

// A modal box disables its owner; after the tray menu the active window is the popup,
// which must keep working while the box is open.
TEST(AboutBox, IsOwnedByNoWindowEvenWhenAWindowIsActive) {
    std::atomic<HWND> owner{nullptr};
    AboutOnThread shower([&owner](INT_PTR&) {
        HWND window = ::CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50,
                                        50, 200, 100, nullptr, nullptr, nullptr, nullptr);
        ::SetForegroundWindow(window);
        ::SetActiveWindow(window);
        owner = window;
        ShowAboutBox();
        ::DestroyWindow(window);
    });
    HWND box = shower.WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(::GetWindow(box, GW_OWNER), nullptr);
    EXPECT_TRUE(::IsWindowEnabled(owner.load()));
}

TEST(AboutBox, SecondCallBringsTheOpenBoxForwardInsteadOfOpeningAnother) {
    AboutOnThread first([](INT_PTR&) { ShowAboutBox(); });
    HWND box = first.WaitForBox();
    ASSERT_NE(box, nullptr);

    // Something else comes in front.
    HWND other = ::CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300,
                                   200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    ::SetForegroundWindow(other);
    PumpMessagesFor(100);
    ASSERT_EQ(::GetForegroundWindow(), other);

    {
        AboutOnThread second([](INT_PTR&) { ShowAboutBox(); });
        EXPECT_TRUE(second.WaitForEnd(2000));  // returns at once
    }
    PumpMessagesFor(100);
    EXPECT_EQ(CountTopLevelWindows("#32770", kAboutTitle), 1);
    EXPECT_EQ(::GetForegroundWindow(), box);
    EXPECT_FALSE(first.WaitForEnd(50));
    ::DestroyWindow(other);
}

TEST(AboutBox, EscEndsWithCancel) {
    std::unique_ptr<AboutOnThread> shower = RunAboutDialog();
    HWND box = shower->WaitForBox();
    ASSERT_NE(box, nullptr);
    ::PostMessageA(::GetDlgItem(box, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(shower->WaitForEnd(3000));
    EXPECT_EQ(shower->Result(), IDCANCEL);
}

TEST(AboutBox, OkOrCancelWithAnyNotificationEndsItOtherCommandsDoNot) {
    std::unique_ptr<AboutOnThread> shower = RunAboutDialog();
    HWND box = shower->WaitForBox();
    ASSERT_NE(box, nullptr);
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDABORT, BN_CLICKED), 0);
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDC_FIRST_SITE_LINK, 0), 0);
    EXPECT_FALSE(shower->WaitForEnd(200));
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_DOUBLECLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
    ASSERT_TRUE(shower->WaitForEnd(3000));
    EXPECT_EQ(shower->Result(), IDOK);
}

}  // namespace
}  // namespace vp
