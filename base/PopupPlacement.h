// Where the popup opens: one pixel up and left of the cursor, kept inside the work area
// of the monitor under the cursor; and how its inside is laid out at a DPI.
#pragma once

#include "base/DpiScale.h"

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

// The popup's inside at one DPI, in client pixels. At 96 DPI these are the numbers the
// popup always had: search box (5, 6, 210, 146) with its list, links (5, 32 + 18 i, 210,
// 48 + 18 i), 219 pixels wide, 18 n + 38 high.
struct PopupLayout {
    int left;   // of the search box and the links
    int right;  // of the search box and the links
    int searchTop;
    int searchHeight;  // with the dropped-down list
    int firstLinkTop;
    int linkHeight;
    int linkPitch;
    int bottomMargin;  // below the last link's pitch
    int clientWidth;

    constexpr int LinkTop(int index) const { return firstLinkTop + linkPitch * index; }
    // Height of the client area (the popup's content) for a number of links.
    constexpr int ContentHeight(int linkCount) const {
        return firstLinkTop + linkPitch * linkCount + bottomMargin;
    }
};

// The layout for `dpi` when the links' text is `textHeight` pixels high: a link is at
// least 2 pixels higher than its text (drawn 1 pixel down), and the pitch keeps 2 pixels
// between links, so no text is ever cut at a scale that rounds unkindly.
constexpr PopupLayout PopupLayoutForDpi(int dpi, int textHeight) {
    PopupLayout layout{};
    layout.left = ScaleForDpi(5, dpi);
    layout.right = ScaleForDpi(210, dpi);
    layout.searchTop = ScaleForDpi(6, dpi);
    layout.searchHeight = ScaleForDpi(140, dpi);
    layout.firstLinkTop = ScaleForDpi(32, dpi);
    layout.linkHeight = ScaleForDpi(16, dpi);
    if (layout.linkHeight < textHeight + 2) {
        layout.linkHeight = textHeight + 2;
    }
    layout.linkPitch = ScaleForDpi(18, dpi);
    if (layout.linkPitch < layout.linkHeight + 2) {
        layout.linkPitch = layout.linkHeight + 2;
    }
    layout.bottomMargin = ScaleForDpi(6, dpi);
    layout.clientWidth = ScaleForDpi(219, dpi);
    return layout;
}

// Outer height of the popup's content for a number of site links at 96 DPI.
constexpr int PopupContentHeight(int linkCount) {
    return PopupLayoutForDpi(96, 0).ContentHeight(linkCount);
}

}  // namespace vp
