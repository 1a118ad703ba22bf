#include "win/Dialog.h"

namespace vp::win {

namespace {
constexpr char kObjectProperty[] = "vp.DialogObject";
}

Dialog::~Dialog() {
    if (hwnd_ != nullptr) {
        ::RemovePropA(hwnd_, kObjectProperty);
    }
}

INT_PTR Dialog::RunModal(HINSTANCE instance, int templateId, HWND owner) {
    return ::DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, DialogProcedure,
                             reinterpret_cast<LPARAM>(this));
}

HWND Dialog::CreateModeless(HINSTANCE instance, int templateId, HWND parent) {
    return ::CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), parent, DialogProcedure,
                                reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK Dialog::DialogProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* dialog = static_cast<Dialog*>(::GetPropA(hwnd, kObjectProperty));
    if (dialog == nullptr && message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        dialog->hwnd_ = hwnd;
        ::SetPropA(hwnd, kObjectProperty, dialog);
    }
    if (dialog == nullptr) {
        return FALSE;  // before WM_INITDIALOG (WM_SETFONT) and after WM_NCDESTROY
    }
    INT_PTR result = FALSE;
    try {
        result = dialog->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // No exception may cross into the dialog manager.
        result = FALSE;
    }
    if (message == WM_NCDESTROY) {
        ::RemovePropA(hwnd, kObjectProperty);
        dialog->hwnd_ = nullptr;
    }
    return result;
}

}  // namespace vp::win
