// Where the popup opens: one pixel up and left of the cursor, kept inside the work area
// of the monitor under the cursor.
#pragma once

namespace vp {

struct ScreenRect {
    int left;
    int top;
    int right;   // exclusive
    int bottom;  // exclusive
};

struct ScreenPoint {
    int x;
    int y;
};

// Top-left corner of a popup of the given outer size for a cursor position. Pushed left
// and up from the right and bottom edges, then kept off the left and top edges, so that
// a popup taller than the work area keeps its top (with the search box) inside.
constexpr ScreenPoint PlacePopup(ScreenPoint cursor, int width, int height,
                                 const ScreenRect& workArea) {
    int x = cursor.x;
    int y = cursor.y;
    if (x + width - 1 > workArea.right) {
        x = workArea.right - width + 1;
    }
    if (y + height - 1 > workArea.bottom) {
        y = workArea.bottom - height + 1;
    }
    ScreenPoint corner{x - 1, y - 1};
    if (corner.x < workArea.left) {
        corner.x = workArea.left;
    }
    if (corner.y < workArea.top) {
        corner.y = workArea.top;
    }
    return corner;
}

// Outer height of the popup's content for a number of site links.
constexpr int PopupContentHeight(int linkCount) {
    return 18 * linkCount + 38;
}

}  // namespace vp
