// What window and dialog objects share: the object is bound to its window handle from
// its first message (WM_NCCREATE, WM_INITDIALOG) to WM_NCDESTROY, through a window
// property (GWLP_USERDATA belongs to superclassed system controls and DWLP_USER to
// dialogs' own use). No exception crosses into the system: whatever a handler throws
// goes to the program's error reporter.
#pragma once

#include <windows.h>

#include "win/ErrorBox.h"

namespace vp::win {

class WindowObject {
public:
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;

    HWND Handle() const { return hwnd_; }

protected:
    WindowObject() = default;
    // Unbinds a window that outlives its object, so it no longer reaches it.
    virtual ~WindowObject();

    // The object bound to hwnd, or null (before binding, after WM_NCDESTROY).
    static WindowObject* BoundTo(HWND hwnd);
    void Bind(HWND hwnd);

    // Runs a bound object's handling of one message: an exception goes to the reporter
    // and `failed` is returned; at WM_NCDESTROY the object is unbound.
    template <typename Result, typename Handle>
    Result Deliver(UINT message, Result failed, Handle&& handle) {
        Result result = failed;
        try {
            result = handle();
        } catch (...) {
            ReportException(std::current_exception());
        }
        if (message == WM_NCDESTROY) {
            Unbind();
        }
        return result;
    }

private:
    void Unbind();

    HWND hwnd_ = nullptr;
};

}  // namespace vp::win
