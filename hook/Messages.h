// Window messages of the main window. The hook library posts the two trigger messages
// from other processes, so their values never change.
#pragma once

#define VP_WM_TRAY_NOTIFY (0x0400 + 10)      // 1034: notification-area icon callback
#define VP_WM_POPUP_TRIGGER (0x0400 + 11)    // 1035: popup gesture or hot key
#define VP_WM_DEFAULT_TRIGGER (0x0400 + 12)  // 1036: default-site gesture or hot key
#define VP_WM_SHOW_POPUP (0x0400 + 13)       // 1037: show the popup at the cursor

#ifdef __cplusplus
namespace vp {
constexpr unsigned WM_TRAY_NOTIFY = VP_WM_TRAY_NOTIFY;
constexpr unsigned WM_POPUP_TRIGGER = VP_WM_POPUP_TRIGGER;
constexpr unsigned WM_DEFAULT_TRIGGER = VP_WM_DEFAULT_TRIGGER;
constexpr unsigned WM_SHOW_POPUP = VP_WM_SHOW_POPUP;
}  // namespace vp
#endif
