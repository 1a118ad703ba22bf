#include "popup/AboutBox.h"

#include "win/WinText.h"
#include "resources/resource.h"

namespace vp {

namespace {

// The box while it is shown (by the program's one thread), never another program's
// window of the same title.
AboutDialog* shownBox = nullptr;

}  // namespace

void ShowAboutBox() {
    if (win::Dialog::BringToFront(shownBox)) {
        return;
    }
    AboutDialog dialog;
    shownBox = &dialog;
    const struct Forget {
        ~Forget() { shownBox = nullptr; }
    } forget;
    // Owned by no window: a modal dialog disables its owner, and after the tray menu the
    // active window is the program's main window, which is the popup.
    dialog.RunModal(ProgramInstance(), IDD_ABOUT, nullptr);
}

}  // namespace vp
