// The popup's colours for the system's settings of the moment: high contrast, the apps'
// dark mode, or the light look.
#pragma once

#include <windows.h>

#include "base/PopupPalette.h"

namespace vp {

PopupPalette CurrentPopupPalette();

constexpr COLORREF ColorOf(Rgb color) {
    return RGB(color.red, color.green, color.blue);
}

}  // namespace vp
