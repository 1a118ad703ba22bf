// Finding and reading windows from a test, in this process or another.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace vp {

// Polls until the condition holds, pumping this thread's messages between looks; false
// when it still does not hold after timeoutMs.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 3000);

// Which top-level windows the finder takes besides class and title.
struct WindowFilter {
    bool visibleOnly = false;
    bool ownProcessOnly = false;
};
inline constexpr WindowFilter kVisibleWindows{true, false};
inline constexpr WindowFilter kOwnVisibleWindows{true, true};

// The top-level windows of the class (and title, unless null) that pass the filter, in
// any process, in z-order.
std::vector<HWND> TopLevelWindows(const char* className, const char* title = nullptr,
                                  WindowFilter filter = {});
// The first of them, or null.
HWND FindTopLevelWindow(const char* className, const char* title = nullptr,
                        WindowFilter filter = {});
// FindTopLevelWindow, polled until timeoutMs has passed or *giveUp becomes true.
HWND WaitForTopLevelWindow(const char* className, const char* title, DWORD timeoutMs,
                           WindowFilter filter = {}, const std::atomic<bool>* giveUp = nullptr);

// Window text through WM_GETTEXT, which works across processes.
std::string WindowText(HWND window);

// The message text of a message box (its static control 0xFFFF).
std::string MessageBoxText(HWND messageBox);

// How many top-level windows of the class carry the title (in any process).
int CountTopLevelWindows(const char* className, const std::string& title);
// The class name of a window.
std::string ClassOf(HWND window);

// The pixels of an area of a window's client area (or of the screen, for a null window),
// row by row; empty for an empty area.
std::vector<COLORREF> CapturePixels(HWND window, const RECT& area);
int CountPixels(const std::vector<COLORREF>& pixels, COLORREF color);

// True while the shell holds the program's notification-area icon, which belongs to
// its main window.
bool TrayIconExists(HWND mainWindow);
// The notification area on the screen: under Wine without a desktop, the client area of
// the X11 driver's own tray window; on Windows, the task bar's notification area.
RECT TrayArea();
// The centre of the first icon there.
POINT FirstTrayIcon();

// Pumps this thread's messages for about `milliseconds`.
void PumpMessagesFor(DWORD milliseconds);

}  // namespace vp
