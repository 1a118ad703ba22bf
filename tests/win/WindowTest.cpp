// Message-level tests of the window and dialog base classes.
#include "win/Dialog.h"
#include "win/Window.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "app/WinText.h"
#include "resources/resource.h"

namespace vp {
namespace {

constexpr char kTestClass[] = "VP_TestWindow";

class RecordingWindow : public win::Window {
public:
    std::vector<UINT> seen;
    int paintsHandled = 0;
    bool destroyedWhileBound = false;

    static void RegisterClassOnce() {
        static bool registered = false;
        if (!registered) {
            WNDCLASSEXA windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = WindowProcedure;
            windowClass.hInstance = ::GetModuleHandleA(nullptr);
            windowClass.lpszClassName = kTestClass;
            registered = ::RegisterClassExA(&windowClass) != 0;
        }
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        static constexpr win::MessageEntry<RecordingWindow, LRESULT> kMessages[] = {
            {WM_USER + 1, &RecordingWindow::OnAnswer},
            {WM_USER + 2, &RecordingWindow::OnThrow},
            {WM_DESTROY, &RecordingWindow::OnDestroy},
        };
        seen.push_back(message);
        return Dispatch(kMessages, message, wParam, lParam);
    }

private:
    LRESULT OnAnswer(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam + lParam); }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
    LRESULT OnDestroy(WPARAM, LPARAM) {
        destroyedWhileBound = FromHandle(Handle()) == this;
        return 0;
    }
};

TEST(WindowObject, BindsAtNcCreateRoutesItsTableAndUnbindsAtNcDestroy) {
    RecordingWindow::RegisterClassOnce();
    RecordingWindow window;
    HWND hwnd = window.Create(0, kTestClass, "title", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                              nullptr, ::GetModuleHandleA(nullptr));
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(window.Handle(), hwnd);
    EXPECT_EQ(win::Window::FromHandle(hwnd), &window);
    // WM_GETMINMAXINFO arrives before WM_NCCREATE and goes to the default procedure.
    ASSERT_FALSE(window.seen.empty());
    EXPECT_EQ(window.seen.front(), static_cast<UINT>(WM_NCCREATE));

    EXPECT_EQ(::SendMessageA(hwnd, WM_USER + 1, 40, 2), 42);
    // An unlisted message reaches DefWindowProc: the title set at creation comes back.
    char title[16] = {};
    EXPECT_EQ(::SendMessageA(hwnd, WM_GETTEXT, sizeof title, reinterpret_cast<LPARAM>(title)), 5);
    EXPECT_STREQ(title, "title");

    ::DestroyWindow(hwnd);
    EXPECT_TRUE(window.destroyedWhileBound);
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_EQ(window.seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

TEST(WindowObject, ExceptionInAHandlerDoesNotCrossTheWindowProcedure) {
    RecordingWindow::RegisterClassOnce();
    RecordingWindow window;
    HWND hwnd = window.Create(0, kTestClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              ::GetModuleHandleA(nullptr));
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(::SendMessageA(hwnd, WM_USER + 2, 0, 0), 0);
    EXPECT_EQ(::SendMessageA(hwnd, WM_USER + 1, 1, 1), 2);  // still bound and working
    ::DestroyWindow(hwnd);
}

TEST(WindowObject, WindowThatOutlivesItsObjectNoLongerReachesIt) {
    RecordingWindow::RegisterClassOnce();
    HWND hwnd = nullptr;
    {
        RecordingWindow window;
        hwnd = window.Create(0, kTestClass, "left", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             ::GetModuleHandleA(nullptr));
        ASSERT_NE(hwnd, nullptr);
    }
    EXPECT_EQ(win::Window::FromHandle(hwnd), nullptr);
    // The object's own message gets the default answer; the window still works.
    EXPECT_EQ(::SendMessageA(hwnd, WM_USER + 1, 40, 2), 0);
    char title[16] = {};
    ::SendMessageA(hwnd, WM_GETTEXT, sizeof title, reinterpret_cast<LPARAM>(title));
    EXPECT_STREQ(title, "left");
    ::DestroyWindow(hwnd);
}

class EndingDialog : public win::Dialog {
public:
    bool initialised = false;
    std::string okText;

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        static constexpr win::MessageEntry<EndingDialog, INT_PTR> kMessages[] = {
            {WM_INITDIALOG, &EndingDialog::OnInitDialog},
            {WM_USER + 5, &EndingDialog::OnEnd},
        };
        return Dispatch(kMessages, message, wParam, lParam);
    }

private:
    INT_PTR OnInitDialog(WPARAM, LPARAM) {
        initialised = true;
        char text[32] = {};
        ::GetDlgItemTextA(Handle(), IDOK, text, sizeof text);
        okText = text;
        ::PostMessageA(Handle(), WM_USER + 5, 0, 0);
        return TRUE;
    }
    INT_PTR OnEnd(WPARAM, LPARAM) {
        ::EndDialog(Handle(), 77);
        return TRUE;
    }
};

TEST(WindowObject, DialogBindsAtInitDialogAndEnds) {
    EndingDialog dialog;
    INT_PTR result = dialog.RunModal(ProgramInstance(), IDD_ABOUT, nullptr);
    EXPECT_EQ(result, 77);
    EXPECT_TRUE(dialog.initialised);
    EXPECT_EQ(dialog.okText, "&OK");
    EXPECT_EQ(dialog.Handle(), nullptr);
}

}  // namespace
}  // namespace vp
