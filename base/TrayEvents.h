// What the notification-area icon's events ask for. The shell sends the mouse messages
// on the icon and, once the icon is of version 4, also NIN_SELECT after a left click,
// WM_CONTEXTMENU after a right click, and these two or NIN_KEYSELECT alone for the
// keyboard: an event that only follows the mouse's own is not acted on twice.
#pragma once

namespace vp {

// The events' numbers as Windows has them.
inline constexpr unsigned kTrayContextMenu = 0x007B;      // WM_CONTEXTMENU
inline constexpr unsigned kTrayLeftButtonUp = 0x0202;     // WM_LBUTTONUP
inline constexpr unsigned kTrayLeftDoubleClick = 0x0203;  // WM_LBUTTONDBLCLK
inline constexpr unsigned kTrayRightButtonUp = 0x0205;    // WM_RBUTTONUP
inline constexpr unsigned kTraySelect = 0x0400;           // NIN_SELECT
inline constexpr unsigned kTrayKeySelect = 0x0401;        // NIN_KEYSELECT

enum class TrayAction {
    None,
    ShowPopup,     // as the double click has always done
    MenuAtCursor,  // the right click
    MenuAtIcon,    // the keyboard's context menu, at the icon's anchor point
};

// `previous` is the event the icon sent before `event` (0 for none).
constexpr TrayAction TrayActionFor(unsigned event, unsigned previous) {
    switch (event) {
        case kTrayLeftDoubleClick:
        case kTrayKeySelect:
            return TrayAction::ShowPopup;
        case kTraySelect:
            return previous == kTrayLeftButtonUp ? TrayAction::None : TrayAction::ShowPopup;
        case kTrayRightButtonUp:
            return TrayAction::MenuAtCursor;
        case kTrayContextMenu:
            return previous == kTrayRightButtonUp ? TrayAction::None : TrayAction::MenuAtIcon;
        default:
            return TrayAction::None;
    }
}

}  // namespace vp
