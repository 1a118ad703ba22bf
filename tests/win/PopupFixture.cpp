#include "tests/win/PopupFixture.h"

#include "resources/resource.h"

namespace vp {

std::vector<HWND> LinksOf(HWND popup) {
    std::vector<HWND> links;
    while (HWND link = ::GetDlgItem(popup, IDC_FIRST_SITE_LINK + static_cast<int>(links.size()))) {
        links.push_back(link);
    }
    return links;
}

bool HotKeyIsFree(UINT modifiers, UINT key) {
    if (!::RegisterHotKey(nullptr, 0x7F00, modifiers, key)) {
        return false;
    }
    ::UnregisterHotKey(nullptr, 0x7F00);
    return true;
}

int PopupHeight(int links) {
    return ::GetSystemMetrics(SM_CYSMCAPTION) + 2 * ::GetSystemMetrics(SM_CYBORDER) + 18 * links +
           38;
}

RECT WindowRectOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

RECT ClientRectOnScreen(HWND window) {
    RECT rect{};
    ::GetClientRect(window, &rect);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT WorkAreaAt(POINT point) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

}  // namespace vp
