#include "win/Window.h"

namespace vp::win {

HWND Window::Create(const WindowSpec& window) {
    const RECT& r = window.rect;
    return ::CreateWindowExA(window.exStyle, window.className, window.title, window.style, r.left,
                             r.top, r.right - r.left, r.bottom - r.top, window.parent,
                             window.menuOrId, window.instance, this);
}

Window* Window::FromHandle(HWND hwnd) {
    return dynamic_cast<Window*>(BoundTo(hwnd));
}

LRESULT CALLBACK Window::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = FromHandle(hwnd);
    if (window == nullptr && message == WM_NCCREATE) {
        window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (window != nullptr) {
            window->Bind(hwnd);
        }
    }
    if (window == nullptr) {
        // Messages before WM_NCCREATE (WM_GETMINMAXINFO) and after WM_NCDESTROY.
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return window->Deliver(message, LRESULT{0},
                           [&] { return window->HandleMessage(message, wParam, lParam); });
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProcedure(message, wParam, lParam);
}

LRESULT Window::DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcA(baseProcedure_, Handle(), message, wParam, lParam);
}

}  // namespace vp::win
