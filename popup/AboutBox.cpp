#include "popup/AboutBox.h"

#include "app/WinText.h"
#include "resources/resource.h"

namespace vp {

INT_PTR AboutDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    static constexpr win::MessageEntry<AboutDialog, INT_PTR> kMessages[] = {
        {WM_INITDIALOG, &AboutDialog::OnInitDialog},
        {WM_COMMAND, &AboutDialog::OnCommand},
    };
    return Dispatch(kMessages, message, wParam, lParam);
}

INT_PTR AboutDialog::OnInitDialog(WPARAM, LPARAM) {
    return TRUE;  // the dialog manager focuses the OK button
}

INT_PTR AboutDialog::OnCommand(WPARAM wParam, LPARAM) {
    const int id = LOWORD(wParam);
    if (id == IDOK || id == IDCANCEL) {
        ::EndDialog(Handle(), id);
    }
    return TRUE;
}

void ShowAboutBox() {
    if (HWND open = ::FindWindowA("#32770", VP_TEXT_ABOUT_TITLE)) {
        // SetActiveWindow alone does nothing when the box is not this thread's (or when
        // another program is in front, as it is after a tray menu click); asking for the
        // foreground brings it to the front in those cases.
        ::SetForegroundWindow(open);
        ::SetActiveWindow(open);
        return;
    }
    AboutDialog dialog;
    dialog.RunModal(ProgramInstance(), IDD_ABOUT, ::GetActiveWindow());
}

}  // namespace vp
