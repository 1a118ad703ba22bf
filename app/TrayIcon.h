// The notification-area icon, its tip that shows the activation state, and its menu.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "base/TrayEvents.h"
#include "win/Handle.h"

namespace vp {

// What an event of the icon asks for; a menu opened from the keyboard opens at `anchor`.
struct TrayRequest {
    TrayAction action = TrayAction::None;
    POINT anchor{};
};

class TrayIcon {
public:
    TrayIcon();

    // The icon belongs to `window`, which receives WM_TRAY_NOTIFY. It is of version 4,
    // which adds the keyboard's events to the mouse's.
    void Add(HWND window);
    void Update(bool active);
    void Remove();
    // A balloon at the icon with `text`, titled with the product name.
    void ShowNotice(const std::string& text);

    // WM_TRAY_NOTIFY: the event (the low word of lParam, also before version 4) in the
    // light of the one before it.
    TrayRequest OnNotify(WPARAM wParam, LPARAM lParam);

    // Shows the menu at the cursor, or at `anchor` for the keyboard, and returns the
    // chosen command (an ID_TRAY_ id; 0 when dismissed). The menu item that activates or
    // deactivates follows `active`.
    UINT ChooseFromMenu(bool active, std::optional<POINT> anchor = std::nullopt);

private:
    HWND window_ = nullptr;
    unsigned previousEvent_ = 0;
    // At the small icon size of the screen's DPI, which the notification area shows.
    win::IconHandle activeIcon_;
    win::IconHandle inactiveIcon_;
};

}  // namespace vp
