#include "win/Dialog.h"

#include "win/Language.h"

namespace vp::win {

INT_PTR Dialog::RunModal(HINSTANCE instance, int templateId, HWND owner) {
    const DLGTEMPLATE* dialog = LocalDialogTemplate(instance, templateId);
    if (dialog == nullptr) {
        return -1;  // as DialogBoxParam says a missing template
    }
    // Created as Unicode windows: the texts of every language whatever the code page.
    return ::DialogBoxIndirectParamW(instance, dialog, owner, DialogProcedure,
                                     reinterpret_cast<LPARAM>(this));
}

bool Dialog::BringToFront(const Dialog* shown) {
    if (shown == nullptr || shown->Handle() == nullptr) {
        return false;
    }
    ::SetForegroundWindow(shown->Handle());
    ::SetActiveWindow(shown->Handle());
    return true;
}

HWND Dialog::CreateModeless(HINSTANCE instance, int templateId, HWND parent) {
    const DLGTEMPLATE* dialog = LocalDialogTemplate(instance, templateId);
    if (dialog == nullptr) {
        return nullptr;
    }
    return ::CreateDialogIndirectParamW(instance, dialog, parent, DialogProcedure,
                                        reinterpret_cast<LPARAM>(this));
}

Dialog* Dialog::FromHandle(HWND hwnd) {
    return dynamic_cast<Dialog*>(BoundTo(hwnd));
}

INT_PTR CALLBACK Dialog::DialogProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFYFORMAT && lParam == NF_QUERY) {
        // The dialog is a Unicode window, so that its template's texts reach the controls
        // whatever the code page; the program's handlers take the controls' notifications
        // in their ANSI form.
        ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, NFR_ANSI);
        return TRUE;
    }
    Dialog* dialog = FromHandle(hwnd);
    if (dialog == nullptr && message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        dialog->Bind(hwnd);
    }
    if (dialog == nullptr) {
        return FALSE;  // before WM_INITDIALOG (WM_SETFONT) and after WM_NCDESTROY
    }
    return dialog->Deliver(message, INT_PTR{FALSE},
                           [&] { return dialog->HandleMessage(message, wParam, lParam); });
}

std::string Dialog::ItemText(int id) const {
    char text[256] = {};
    const UINT length = ::GetDlgItemTextA(Handle(), id, text, sizeof text);
    return std::string(text, length);
}

void Dialog::SetItemText(int id, const std::string& text) const {
    ::SetDlgItemTextA(Handle(), id, text.c_str());
}

INT_PTR Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = FALSE;
    return HandleUnlisted(message, wParam, lParam, result) ? result : FALSE;
}

bool Dialog::HandleUnlisted(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
    if (message == WM_INITDIALOG) {
        result = OnInit();
        return true;
    }
    if (message != WM_COMMAND) {
        return false;
    }
    // OK and Cancel end the dialog whatever their notification code; other buttons
    // count when clicked.
    const int id = LOWORD(wParam);
    if ((id != IDOK && id != IDCANCEL && HIWORD(wParam) != BN_CLICKED) || !OnButtonClicked(id)) {
        return false;
    }
    result = TRUE;
    return true;
}

bool Dialog::OnButtonClicked(int id) {
    if (id == IDOK) {
        OnOk();
    } else if (id == IDCANCEL) {
        OnCancel();
    } else {
        return false;
    }
    return true;
}

bool Page::HandleUnlisted(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
        case WM_CTLCOLORSTATIC:
            ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_MENU));
            [[fallthrough]];
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORBTN:
            result = reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_MENU));
            return true;
        default:
            return Dialog::HandleUnlisted(message, wParam, lParam, result);
    }
}

bool Page::Create(HINSTANCE instance, int templateId, HWND parent, const RECT& area) {
    HWND page = CreateModeless(instance, templateId, parent);
    if (page == nullptr) {
        return false;
    }
    ::SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left,
                   area.bottom - area.top, SWP_HIDEWINDOW);
    return true;
}

void Page::Show(bool visible) const {
    // On top of its siblings either way, so the page shown last is the one in front.
    ::SetWindowPos(
        Handle(), HWND_TOP, 0, 0, 0, 0,
        SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

}  // namespace vp::win
