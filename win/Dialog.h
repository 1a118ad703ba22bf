// Base of every dialog object: bound to its window at WM_INITDIALOG, unbound at
// WM_NCDESTROY; messages go through the derived class's message table.
#pragma once

#include <windows.h>

#include "win/MessageTable.h"

namespace vp::win {

class Dialog {
public:
    Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    // Unbinds a window that outlives its object, so it no longer reaches it.
    virtual ~Dialog();

    HWND Handle() const { return hwnd_; }

    // Runs the dialog modally from a template of `instance`; returns its EndDialog result.
    INT_PTR RunModal(HINSTANCE instance, int templateId, HWND owner);
    // Creates the dialog as a modeless window (for example a child page).
    HWND CreateModeless(HINSTANCE instance, int templateId, HWND parent);

    static INT_PTR CALLBACK DialogProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Returns what a dialog procedure returns: TRUE when handled (or the value a
    // WM_CTLCOLOR* message asks for), FALSE to let the dialog manager handle it.
    virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    template <typename Owner, std::size_t N>
    INT_PTR Dispatch(const MessageEntry<Owner, INT_PTR> (&table)[N], UINT message, WPARAM wParam,
                     LPARAM lParam) {
        INT_PTR result = FALSE;
        RouteMessage(static_cast<Owner*>(this), table, message, wParam, lParam, result);
        return result;
    }

private:
    HWND hwnd_ = nullptr;
};

}  // namespace vp::win
