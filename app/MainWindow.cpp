#include "app/MainWindow.h"

#include "app/ErrorBox.h"
#include "app/WinText.h"
#include "resources/resource.h"

namespace vp {

MainWindow::MainWindow()
    : ActiveIcon(::LoadIconA(ProgramInstance(), MAKEINTRESOURCEA(IDI_ACTIVE))),
      InactiveIcon(::LoadIconA(ProgramInstance(), MAKEINTRESOURCEA(IDI_INACTIVE))),
      // Exists while the program runs; the single-instance test rests on the window class.
      InstanceMutex(::CreateMutexA(nullptr, FALSE, kInstanceMutexName)) {}

bool MainWindow::CreateHidden(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kMainWindowClass;
    ::RegisterClassExA(&windowClass);

    HWND hwnd = Create(WS_EX_TOOLWINDOW, kMainWindowClass, nullptr, WS_CAPTION | WS_SYSMENU, 0, 0,
                       220, 0, nullptr, nullptr, instance);
    if (hwnd == nullptr) {
        return false;
    }
    ::SetWindowTextA(hwnd, VP_TEXT_WINDOW_TITLE);
    return true;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    static constexpr win::MessageEntry<MainWindow, LRESULT> kMessages[] = {
        {WM_DESTROY, &MainWindow::OnDestroy},
        {WM_CLOSE, &MainWindow::OnClose},
    };
    return Dispatch(kMessages, message, wParam, lParam);
}

void MainWindow::InitializeApplication() {
    if (!RunReportingErrors([this] { InitializeSteps(); })) {
        ExitProgram();
    }
}

void MainWindow::InitializeSteps() {}

void MainWindow::ExitProgram() {
    ::DestroyWindow(Handle());
}

LRESULT MainWindow::OnDestroy(WPARAM, LPARAM) {
    ::PostQuitMessage(0);
    return 0;
}

LRESULT MainWindow::OnClose(WPARAM, LPARAM) {
    ::ShowWindow(Handle(), SW_HIDE);  // the popup only hides; the program goes on
    return 0;
}

}  // namespace vp
