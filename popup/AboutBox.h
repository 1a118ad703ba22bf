// The About box: the program's icon, name and version and an OK button.
#pragma once

#include <windows.h>

#include "win/Dialog.h"

namespace vp {

class AboutDialog : public win::Dialog {
protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    INT_PTR OnInitDialog(WPARAM, LPARAM);
};

// Runs the About box modally, or brings the open one to the front: there is at most one.
// Errors go to the caller.
void ShowAboutBox();

}  // namespace vp
