// The smallest tray program: one hidden window and a notification-area icon, nothing
// else. The memory benchmark measures Vantapicker against it in the same Wine prefix, so
// that what Wine itself puts into every process is not counted. Ends on WM_CLOSE.
#include <windows.h>

#include <shellapi.h>

namespace {

constexpr wchar_t kClassName[] = L"QH_BareTrayWnd";
constexpr UINT kTrayMessage = WM_APP + 1;

LRESULT CALLBACK BareTrayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = BareTrayProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    if (::RegisterClassW(&windowClass) == 0) {
        return 1;
    }
    HWND window = ::CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = window;
    icon.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    icon.uCallbackMessage = kTrayMessage;
    icon.hIcon = ::LoadIconW(nullptr, reinterpret_cast<PCWSTR>(IDI_APPLICATION));
    ::lstrcpynW(icon.szTip, L"Bare tray", ARRAYSIZE(icon.szTip));
    ::Shell_NotifyIconW(NIM_ADD, &icon);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    ::Shell_NotifyIconW(NIM_DELETE, &icon);
    return 0;
}
