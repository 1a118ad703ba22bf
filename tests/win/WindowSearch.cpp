#include "tests/win/WindowSearch.h"

#include <shellapi.h>

#include <algorithm>

#include "win/Handle.h"

namespace vp {

namespace {

// The title as the system keeps it: unlike WM_GETTEXT, reading it never waits for a
// window of another process that is busy.
std::string TitleOf(HWND window) {
    char title[256] = {};
    const int length = ::GetWindowTextA(window, title, sizeof title);
    return std::string(title, length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        PumpMessagesFor(10);
    }
}

std::vector<HWND> TopLevelWindows(const char* className, const char* title, WindowFilter filter) {
    struct Search {
        const char* className;
        const char* title;
        WindowFilter filter;
        std::vector<HWND> found;
    } search{className, title, filter, {}};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* wanted = reinterpret_cast<Search*>(data);
            DWORD processId = 0;
            ::GetWindowThreadProcessId(window, &processId);
            if (ClassOf(window) == wanted->className &&
                (!wanted->filter.visibleOnly || ::IsWindowVisible(window)) &&
                (!wanted->filter.ownProcessOnly || processId == ::GetCurrentProcessId()) &&
                (wanted->title == nullptr || TitleOf(window) == wanted->title)) {
                wanted->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindTopLevelWindow(const char* className, const char* title, WindowFilter filter) {
    std::vector<HWND> found = TopLevelWindows(className, title, filter);
    return found.empty() ? nullptr : found.front();
}

HWND WaitForTopLevelWindow(const char* className, const char* title, DWORD timeoutMs,
                           WindowFilter filter, const std::atomic<bool>* giveUp) {
    HWND window = nullptr;
    WaitUntil(
        [&] {
            window = FindTopLevelWindow(className, title, filter);
            return window != nullptr || (giveUp != nullptr && *giveUp);
        },
        timeoutMs);
    return window;
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    LRESULT length =
        ::SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return std::string(text, static_cast<std::size_t>(length));
}

std::string MessageBoxText(HWND messageBox) {
    HWND textControl = ::GetDlgItem(messageBox, 0xFFFF);
    return textControl != nullptr ? WindowText(textControl) : std::string();
}

int CountTopLevelWindows(const char* className, const std::string& title) {
    return static_cast<int>(TopLevelWindows(className, title.c_str()).size());
}

std::vector<COLORREF> CapturePixels(HWND window, const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    std::vector<COLORREF> pixels;
    if (width <= 0 || height <= 0) {
        return pixels;
    }
    BITMAPINFO info{};
    // A negative height: rows top-down.
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const win::WindowDc source(window);
    HDC memory = ::CreateCompatibleDC(source.Get());
    void* bits = nullptr;
    win::BitmapHandle bitmap(
        ::CreateDIBSection(source.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap) {
        win::SelectedObject selected(memory, bitmap.Get());
        ::BitBlt(memory, 0, 0, width, height, source.Get(), area.left, area.top, SRCCOPY);
        ::GdiFlush();
        const auto* quads = static_cast<const RGBQUAD*>(bits);
        for (int i = 0; i < width * height; ++i) {
            pixels.push_back(RGB(quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue));
        }
    }
    ::DeleteDC(memory);
    return pixels;
}

int CountPixels(const std::vector<COLORREF>& pixels, COLORREF color) {
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), color));
}

bool TrayIconExists(HWND mainWindow) {
    // A change of nothing succeeds only for an icon that exists.
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = mainWindow;
    data.uID = 1;
    return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

RECT TrayArea() {
    HWND tray = FindTopLevelWindow("__winex11_standalone_tray", nullptr, kVisibleWindows);
    if (tray == nullptr) {
        tray = ::FindWindowExA(::FindWindowA("Shell_TrayWnd", nullptr), nullptr, "TrayNotifyWnd",
                               nullptr);
    }
    RECT area{};
    ::GetClientRect(tray, &area);
    ::MapWindowPoints(tray, nullptr, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

POINT FirstTrayIcon() {
    const RECT area = TrayArea();
    const int icon = ::GetSystemMetrics(SM_CXSMICON);
    return {area.left + icon / 2 + 2, area.top + icon / 2 + 2};
}

void PumpMessagesFor(DWORD milliseconds) {
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    while (::GetTickCount64() < deadline) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        ::Sleep(5);
    }
}

}  // namespace vp
