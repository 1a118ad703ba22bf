#include "tests/win/WindowSearch.h"

namespace vp {

HWND WaitForTopLevelWindow(const char* className, const char* title, DWORD timeoutMs,
                           const std::atomic<bool>* giveUp) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        if (HWND window = ::FindWindowA(className, title)) {
            return window;
        }
        if (giveUp != nullptr && *giveUp) {
            return nullptr;
        }
        ::Sleep(20);
    } while (::GetTickCount64() < deadline);
    return nullptr;
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
    struct Search {
        std::string className;
        std::string title;
        int count = 0;
    } search{className, title};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* wanted = reinterpret_cast<Search*>(data);
            char name[64] = {};
            ::GetClassNameA(window, name, sizeof name);
            if (wanted->className == name && WindowText(window) == wanted->title) {
                ++wanted->count;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
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
