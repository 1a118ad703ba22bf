// The About box: the program's icon, name and version and an OK button.
#pragma once

#include <windows.h>

#include "win/Dialog.h"

namespace vp {

// Its OK button ends it, and the dialog manager focuses that button.
class AboutDialog : public win::Dialog {};

// Runs the About box modally, or brings the open one to the front: there is at most one.
// Errors go to the caller.
void ShowAboutBox();

}  // namespace vp
