// Base of every window object: the object owns its window handle and routes the
// window's messages to its own message table.
#pragma once

#include <windows.h>

#include "win/MessageTable.h"
#include "win/WindowObject.h"

namespace vp::win {

// What CreateWindowEx is given, named; what is left out is zero.
struct WindowSpec {
    const char* className = nullptr;
    const char* title = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{};  // in the parent's client coordinates, or the screen's
    HWND parent = nullptr;
    HMENU menuOrId = nullptr;
    HINSTANCE instance = nullptr;
};

class Window : public WindowObject {
public:
    Window() = default;

    // Creates the window of a class registered with WindowProcedure (or a superclass of
    // a system class whose procedure is given by SetBaseProcedure) and binds it to this.
    HWND Create(const WindowSpec& window);

    // The procedure that every class of a window object registers.
    static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The window object bound to hwnd, or null (before WM_NCCREATE, after WM_NCDESTROY).
    static Window* FromHandle(HWND hwnd);

protected:
    // Handles one message; the default passes it to the default procedure.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The procedure of the class this window extends (DefWindowProc unless superclassed).
    LRESULT DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam);
    void SetBaseProcedure(WNDPROC procedure) { baseProcedure_ = procedure; }

    // Routes a message through a derived class's table; unlisted messages go to the
    // default procedure.
    template <typename Owner, std::size_t N>
    LRESULT Dispatch(const MessageEntry<Owner, LRESULT> (&table)[N], UINT message, WPARAM wParam,
                     LPARAM lParam) {
        LRESULT result = 0;
        if (RouteMessage(static_cast<Owner&>(*this), table, message, wParam, lParam, result)) {
            return result;
        }
        return DefaultProcedure(message, wParam, lParam);
    }

private:
    WNDPROC baseProcedure_ = ::DefWindowProcA;
};

}  // namespace vp::win
