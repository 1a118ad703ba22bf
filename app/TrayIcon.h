// The notification-area icon, its tip that shows the activation state, and its menu.
#pragma once

#include <windows.h>

#include <string>

#include "win/Handle.h"

namespace vp {

class TrayIcon {
public:
    TrayIcon();

    // The icon belongs to `window`, which receives WM_TRAY_NOTIFY.
    void Add(HWND window);
    void Update(bool active);
    void Remove();
    // A balloon at the icon with `text`, titled with the product name.
    void ShowNotice(const std::string& text);

    // Shows the menu at the cursor and returns the chosen command (0 when dismissed).
    // The menu item that activates or deactivates follows `active`.
    UINT ChooseFromMenu(bool active);

private:
    HWND window_ = nullptr;
    // At the small icon size of the screen's DPI, which the notification area shows.
    win::IconHandle activeIcon_;
    win::IconHandle inactiveIcon_;
};

}  // namespace vp
