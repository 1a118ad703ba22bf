// Finding and reading windows from a test, in this process or another.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

namespace vp {

// Polls for a top-level window of the class (and title, unless null) until timeoutMs has
// passed or *giveUp becomes true. Null when none appeared.
HWND WaitForTopLevelWindow(const char* className, const char* title, DWORD timeoutMs,
                           const std::atomic<bool>* giveUp = nullptr);

// Window text through WM_GETTEXT, which works across processes.
std::string WindowText(HWND window);

// The message text of a message box (its static control 0xFFFF).
std::string MessageBoxText(HWND messageBox);

// How many top-level windows of the class carry the title (in any process).
int CountTopLevelWindows(const char* className, const std::string& title);

// The pixels of an area of a device context (a window's or the screen's), row by row;
// empty for an empty area.
std::vector<COLORREF> CapturePixels(HDC source, const RECT& area);
int CountPixels(const std::vector<COLORREF>& pixels, COLORREF color);

// True while the shell holds the program's notification-area icon, which belongs to
// its main window.
bool TrayIconExists(HWND mainWindow);

// Pumps this thread's messages for about `milliseconds`.
void PumpMessagesFor(DWORD milliseconds);

}  // namespace vp
