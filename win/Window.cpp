#include "win/Window.h"

namespace vp::win {

namespace {
// A window property rather than GWLP_USERDATA, which superclassed system controls
// may use for themselves.
constexpr char kObjectProperty[] = "vp.WindowObject";
}  // namespace

Window::~Window() {
    if (hwnd_ != nullptr) {
        ::RemovePropA(hwnd_, kObjectProperty);
    }
}

HWND Window::Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance) {
    return ::CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent,
                             menuOrId, instance, this);
}

Window* Window::FromHandle(HWND hwnd) {
    return static_cast<Window*>(::GetPropA(hwnd, kObjectProperty));
}

LRESULT CALLBACK Window::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = FromHandle(hwnd);
    if (window == nullptr && message == WM_NCCREATE) {
        window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (window != nullptr) {
            window->hwnd_ = hwnd;
            ::SetPropA(hwnd, kObjectProperty, window);
        }
    }
    if (window == nullptr) {
        // Messages before WM_NCCREATE (WM_GETMINMAXINFO) and after WM_NCDESTROY.
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        result = window->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // No exception may cross into the system; handlers catch what they can report.
        result = 0;
    }
    if (message == WM_NCDESTROY) {
        ::RemovePropA(hwnd, kObjectProperty);
        window->hwnd_ = nullptr;
    }
    return result;
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProcedure(message, wParam, lParam);
}

LRESULT Window::DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcA(baseProcedure_, hwnd_, message, wParam, lParam);
}

}  // namespace vp::win
