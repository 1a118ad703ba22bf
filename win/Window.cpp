#include "win/Window.h"

namespace vp::win {

HWND Window::Create(const WindowSpec& spec) {
    const RECT& r = spec.rect;
    return ::CreateWindowExA(spec.exStyle, spec.className, spec.title, spec.style, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, spec.parent, spec.menuOrId,
                             spec.instance, this);
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
