// Base of every dialog object: bound to its window at WM_INITDIALOG, unbound at
// WM_NCDESTROY; messages, commands and notifications go through the derived class's
// message table. OK and Cancel go to OnOk/OnCancel, which end the dialog unless a class
// says otherwise. Item helpers spare the handlers the raw dialog calls.
#pragma once

#include <windows.h>

#include <string>

#include "win/MessageTable.h"
#include "win/WindowObject.h"

namespace vp::win {

class Dialog : public WindowObject {
public:
    Dialog() = default;

    // Runs the dialog modally from a template of `instance`; returns its EndDialog result.
    INT_PTR RunModal(HINSTANCE instance, int templateId, HWND owner);
    // Creates the dialog as a modeless window (for example a child page).
    HWND CreateModeless(HINSTANCE instance, int templateId, HWND parent);

    // Brings the dialog, when it is shown, to the front and returns true: a second request
    // for a dialog of which there is at most one. Asking for the foreground brings it in
    // front of another program too (as after a tray menu click), where SetActiveWindow
    // alone does nothing.
    static bool BringToFront(const Dialog* shown);

    static INT_PTR CALLBACK DialogProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The dialog object bound to hwnd, or null.
    static Dialog* FromHandle(HWND hwnd);

    HWND Item(int id) const { return ::GetDlgItem(Handle(), id); }
    LRESULT SendItem(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendDlgItemMessageA(Handle(), id, message, wParam, lParam);
    }
    std::string ItemText(int id) const;
    void SetItemText(int id, const std::string& text) const;
    bool IsChecked(int id) const { return ::IsDlgButtonChecked(Handle(), id) == BST_CHECKED; }
    void SetChecked(int id, bool checked) const {
        ::CheckDlgButton(Handle(), id, checked ? BST_CHECKED : BST_UNCHECKED);
    }
    void EnableItem(int id, bool enable) const { ::EnableWindow(Item(id), enable ? TRUE : FALSE); }

protected:
    // Returns what a dialog procedure returns: TRUE when handled (or the value a
    // WM_CTLCOLOR* message asks for), FALSE to let the dialog manager handle it. A
    // dialog without a table of its own answers only what every dialog answers.
    virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // WM_INITDIALOG, with the object bound: TRUE lets the dialog manager focus the
    // first control.
    virtual INT_PTR OnInit() { return TRUE; }

    // A button's click that the table does not list; true when handled. IDOK and
    // IDCANCEL (the buttons, Enter, Esc, the close box) go to OnOk and OnCancel.
    virtual bool OnButtonClicked(int id);
    // End the dialog with that result.
    virtual void OnOk() { ::EndDialog(Handle(), IDOK); }
    virtual void OnCancel() { ::EndDialog(Handle(), IDCANCEL); }

    // What every dialog of a kind answers when its table does not: WM_INITDIALOG and
    // button clicks here.
    // True when answered, with the dialog procedure's result.
    virtual bool HandleUnlisted(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

    // The result of a message whose answer goes through DWLP_MSGRESULT (notifications
    // among them); the handler then returns TRUE.
    void SetMsgResult(LRESULT result) const {
        ::SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, result);
    }

    // Routes a message through a derived class's table. Commands and notifications that
    // the table lists count as handled; their answers go through SetMsgResult.
    template <typename Owner, std::size_t N>
    INT_PTR Dispatch(const MessageEntry<Owner, INT_PTR> (&table)[N], UINT message, WPARAM wParam,
                     LPARAM lParam) {
        INT_PTR result = FALSE;
        if (!RouteMessage(static_cast<Owner&>(*this), table, message, wParam, lParam, result)) {
            return Dialog::HandleMessage(message, wParam, lParam);
        }
        return message == WM_COMMAND || message == WM_NOTIFY ? TRUE : result;
    }
};

// A page of a tabbed dialog: a modeless child dialog created hidden inside its parent,
// shown and hidden as its tab is chosen, storing its settings when the parent's OK asks.
// Its background and its labels' are the menu colour.
class Page : public Dialog {
public:
    // Creates the page hidden over `area` of the parent's client area.
    bool Create(HINSTANCE instance, int templateId, HWND parent, const RECT& area);
    void Show(bool visible) const;
    // Whether what the page shows can be stored; a page that refuses has told the user
    // why, and the parent's OK then stores nothing and stays open.
    virtual bool CanApply() { return true; }
    // Stores what the page shows.
    virtual void Apply() = 0;

protected:
    // OK and Cancel belong to the parent: a page never ends itself.
    void OnOk() override {}
    void OnCancel() override {}
    bool HandleUnlisted(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
};

}  // namespace vp::win
