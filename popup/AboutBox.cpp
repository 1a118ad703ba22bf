#include "popup/AboutBox.h"

#include "win/WinText.h"
#include "resources/resource.h"

namespace vp {

void ShowAboutBox() {
    if (HWND open = ::FindWindowA("#32770", LoadResourceString(IDS_ABOUT_TITLE).c_str())) {
        // SetActiveWindow alone does nothing when the box is not this thread's (or when
        // another program is in front, as it is after a tray menu click); asking for the
        // foreground brings it to the front in those cases.
        ::SetForegroundWindow(open);
        ::SetActiveWindow(open);
        return;
    }
    AboutDialog dialog;
    // Owned by no window: a modal dialog disables its owner, and after the tray menu the
    // active window is the program's main window, which is the popup.
    dialog.RunModal(ProgramInstance(), IDD_ABOUT, nullptr);
}

}  // namespace vp
