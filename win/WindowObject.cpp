#include "win/WindowObject.h"

namespace vp::win {
namespace {
constexpr char kObjectProperty[] = "vp.WindowObject";
}

WindowObject::~WindowObject() {
    Unbind();
}

WindowObject* WindowObject::BoundTo(HWND hwnd) {
    return static_cast<WindowObject*>(::GetPropA(hwnd, kObjectProperty));
}

void WindowObject::Bind(HWND hwnd) {
    hwnd_ = hwnd;
    ::SetPropA(hwnd, kObjectProperty, this);
}

void WindowObject::Unbind() {
    if (hwnd_ != nullptr) {
        ::RemovePropA(hwnd_, kObjectProperty);
        hwnd_ = nullptr;
    }
}

}  // namespace vp::win
