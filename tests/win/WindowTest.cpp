// Message-level tests of the window and dialog base classes.
#include "win/Dialog.h"
#include "win/Window.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "base/ErrorCode.h"
#include "win/ErrorBox.h"
#include "win/QhError.h"
#include "win/WinText.h"
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
        using Map = win::MessageMap<RecordingWindow, LRESULT>;
        static constexpr Map::Entry kMessages[] = {
            Map::Message<&RecordingWindow::OnAnswer>(WM_USER + 1),
            Map::Message<&RecordingWindow::OnThrow>(WM_USER + 2),
            Map::Message<&RecordingWindow::OnDestroy>(WM_DESTROY),
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

// A window of the test class at the screen's corner.
win::WindowSpec TestWindow(const char* title, DWORD style, int size) {
    return {kTestClass,         title,   style,   0,
            {0, 0, size, size}, nullptr, nullptr, ::GetModuleHandleA(nullptr)};
}

TEST(WindowObject, BindsAtNcCreateRoutesItsTableAndUnbindsAtNcDestroy) {
    RecordingWindow::RegisterClassOnce();
    RecordingWindow window;
    HWND hwnd = window.Create(TestWindow("title", WS_OVERLAPPEDWINDOW, 100));
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

// Installs a reporter that keeps what reaches it, for one test.
class RecordedReports {
public:
    RecordedReports() : previous_(SetExceptionReporter(&Record)) { reports().clear(); }
    ~RecordedReports() { SetExceptionReporter(previous_); }
    static std::vector<std::exception_ptr>& reports() {
        static std::vector<std::exception_ptr> kept;
        return kept;
    }

private:
    static void Record(std::exception_ptr error) { reports().push_back(error); }
    ExceptionReporter previous_;
};

TEST(WindowObject, ExceptionInAHandlerDoesNotCrossTheWindowProcedure) {
    RecordedReports recorded;
    RecordingWindow::RegisterClassOnce();
    RecordingWindow window;
    HWND hwnd = window.Create(TestWindow("", WS_POPUP, 10));
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(::SendMessageA(hwnd, WM_USER + 2, 0, 0), 0);
    ASSERT_EQ(RecordedReports::reports().size(), 1u);
    EXPECT_THROW(std::rethrow_exception(RecordedReports::reports()[0]), std::runtime_error);
    EXPECT_EQ(::SendMessageA(hwnd, WM_USER + 1, 1, 1), 2);  // still bound and working
    ::DestroyWindow(hwnd);
}

TEST(WindowObject, WindowThatOutlivesItsObjectNoLongerReachesIt) {
    RecordingWindow::RegisterClassOnce();
    HWND hwnd = nullptr;
    {
        RecordingWindow window;
        hwnd = window.Create(TestWindow("left", WS_POPUP, 10));
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
        using Map = win::MessageMap<EndingDialog, INT_PTR>;
        static constexpr Map::Entry kMessages[] = {
            Map::Message<&EndingDialog::OnEnd>(WM_USER + 5),
        };
        return Dispatch(kMessages, message, wParam, lParam);
    }

private:
    INT_PTR OnInit() override {  // reached through the base, not the table
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

// A dialog whose table routes commands by control id and code and notifications by
// control id and code.
class RoutingDialog : public win::Dialog {
public:
    static constexpr UINT kProbe = 0x7001;
    int nameChanges = 0;
    int urlClicks = 0;

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        using Map = win::MessageMap<RoutingDialog, INT_PTR>;
        static constexpr Map::Entry kMessages[] = {
            Map::Command<&RoutingDialog::OnOk>(IDOK),
            Map::Command<&RoutingDialog::OnNameChange>(IDC_SITE_NAME, EN_CHANGE),
            Map::Notify<&RoutingDialog::OnProbe>(IDC_SITE_URL, kProbe),
        };
        return Dispatch(kMessages, message, wParam, lParam);
    }

private:
    void OnOk() { throw _qh_error(kResultFail, IDS_WRONG_SITE_LIST); }
    void OnNameChange() { ++nameChanges; }
    bool OnButtonClicked(int id) override {  // a button that the table does not list
        urlClicks += id == IDC_SITE_URL;
        return id == IDC_SITE_URL || Dialog::OnButtonClicked(id);
    }
    INT_PTR OnProbe(const NMHDR&) {
        SetMsgResult(1234);
        return TRUE;
    }
};

TEST(WindowObject, DialogTableRoutesCommandsAndNotificationsAndReportsExceptions) {
    RecordedReports recorded;
    RoutingDialog dialog;
    HWND hwnd = dialog.CreateModeless(ProgramInstance(), IDD_SITE_PROPERTIES, nullptr);
    ASSERT_NE(hwnd, nullptr);

    // A command handler's exception goes to the installed reporter, whole.
    ::SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_EQ(RecordedReports::reports().size(), 1u);
    try {
        std::rethrow_exception(RecordedReports::reports()[0]);
    } catch (const _qh_error& error) {
        EXPECT_EQ(error.Code(), kResultFail);
        EXPECT_EQ(error.Text(), "Wrong site list file");
    } catch (...) {
        ADD_FAILURE() << "another exception reached the reporter";
    }
    EXPECT_EQ(dialog.Handle(), hwnd);  // still bound

    // A command is routed by its control id and notification code.
    ::SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_SITE_NAME, EN_SETFOCUS), 0);
    ::SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_SITE_URL, EN_CHANGE), 0);
    EXPECT_EQ(dialog.nameChanges, 0);
    ::SendDlgItemMessageA(hwnd, IDC_SITE_NAME, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed"));
    EXPECT_EQ(dialog.nameChanges, 1);
    // A command the table does not list is a button's only when it is a click.
    ::SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_SITE_URL, BN_CLICKED), 0);
    EXPECT_EQ(dialog.urlClicks, 1);  // the EN_CHANGE above was not a click

    // SetMsgResult in a notification handler is what the sender gets back; the same code
    // from another control is not routed.
    NMHDR probe{::GetDlgItem(hwnd, IDC_SITE_URL), IDC_SITE_URL, RoutingDialog::kProbe};
    EXPECT_EQ(::SendMessageA(hwnd, WM_NOTIFY, IDC_SITE_URL, reinterpret_cast<LPARAM>(&probe)),
              1234);
    NMHDR other{::GetDlgItem(hwnd, IDC_SITE_NAME), IDC_SITE_NAME, RoutingDialog::kProbe};
    EXPECT_EQ(::SendMessageA(hwnd, WM_NOTIFY, IDC_SITE_NAME, reinterpret_cast<LPARAM>(&other)), 0);
    EXPECT_EQ(RecordedReports::reports().size(), 1u);
    ::DestroyWindow(hwnd);
}

}  // namespace
}  // namespace vp
