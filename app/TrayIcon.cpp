#include "app/TrayIcon.h"

#include <shellapi.h>
#include <windowsx.h>

#include <cstring>

#include "hook/Messages.h"
#include "resources/resource.h"
#include "win/Handle.h"
#include "win/WinText.h"

namespace vp {
namespace {

constexpr UINT kTrayIconId = 1;

static_assert(kTrayContextMenu == WM_CONTEXTMENU && kTrayLeftButtonUp == WM_LBUTTONUP &&
              kTrayLeftDoubleClick == WM_LBUTTONDBLCLK && kTrayRightButtonUp == WM_RBUTTONUP &&
              kTraySelect == NIN_SELECT && kTrayKeySelect == NIN_KEYSELECT);

// The first version of the structure: every version of the shell takes it.
NOTIFYICONDATAA TrayIconData(HWND window, UINT size = NOTIFYICONDATAA_V1_SIZE) {
    NOTIFYICONDATAA data{};
    data.cbSize = size;
    data.hWnd = window;
    data.uID = kTrayIconId;
    return data;
}

HICON LoadSmallIcon(int id) {
    return static_cast<HICON>(::LoadImageA(ProgramInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                           ::GetSystemMetrics(SM_CXSMICON),
                                           ::GetSystemMetrics(SM_CYSMICON), 0));
}

}  // namespace

TrayIcon::TrayIcon()
    : activeIcon_(LoadSmallIcon(IDI_ACTIVE)), inactiveIcon_(LoadSmallIcon(IDI_INACTIVE)) {}

void TrayIcon::Add(HWND window) {
    window_ = window;
    NOTIFYICONDATAA data = TrayIconData(window_);
    data.uFlags = NIF_MESSAGE | NIF_ICON;
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = activeIcon_.Get();
    ::Shell_NotifyIconA(NIM_ADD, &data);
    // The version lives in a later part of the structure. A shell without it keeps
    // sending the mouse's events alone.
    NOTIFYICONDATAA version = TrayIconData(window_, NOTIFYICONDATAA_V3_SIZE);
    version.uVersion = NOTIFYICON_VERSION_4;
    ::Shell_NotifyIconA(NIM_SETVERSION, &version);
    previousEvent_ = 0;
}

void TrayIcon::Update(bool active) {
    NOTIFYICONDATAA data = TrayIconData(window_);
    data.uFlags = NIF_ICON | NIF_TIP | NIF_SHOWTIP;  // version 4 shows no tip without it
    data.hIcon = active ? activeIcon_.Get() : inactiveIcon_.Get();
    const std::string tip = LoadResourceString(active ? IDS_TIP_ACTIVE : IDS_TIP_INACTIVE);
    std::strncpy(data.szTip, tip.c_str(), 63);  // the first version holds 64 bytes
    ::Shell_NotifyIconA(NIM_MODIFY, &data);
}

void TrayIcon::Remove() {
    NOTIFYICONDATAA data = TrayIconData(window_);
    ::Shell_NotifyIconA(NIM_DELETE, &data);
}

void TrayIcon::ShowNotice(const std::string& text) {
    // Balloons came with the second version of the structure.
    NOTIFYICONDATAA data = TrayIconData(window_, NOTIFYICONDATAA_V2_SIZE);
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_WARNING;
    std::strncpy(data.szInfo, text.c_str(), sizeof data.szInfo - 1);
    std::strncpy(data.szInfoTitle, LoadResourceString(IDS_PRODUCT_NAME).c_str(),
                 sizeof data.szInfoTitle - 1);
    ::Shell_NotifyIconA(NIM_MODIFY, &data);
}

TrayRequest TrayIcon::OnNotify(WPARAM wParam, LPARAM lParam) {
    const unsigned event = LOWORD(lParam);
    const TrayAction action = TrayActionFor(event, previousEvent_);
    // Before acting: a menu's own message loop takes the next event of the icon.
    previousEvent_ = event;
    return {action, POINT{GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)}};
}

UINT TrayIcon::ChooseFromMenu(bool active, std::optional<POINT> anchor) {
    win::MenuHandle menu(::CreatePopupMenu());
    auto append = [&](UINT command, UINT text) {
        ::AppendMenuA(menu.Get(), MF_STRING, command, LoadResourceString(text).c_str());
    };
    auto separate = [&] { ::AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr); };
    append(ID_TRAY_OPEN_POPUP, IDS_OPEN_POPUP);
    ::SetMenuDefaultItem(menu.Get(), ID_TRAY_OPEN_POPUP, FALSE);  // shown bold
    separate();
    append(ID_TRAY_ONLINE_HELP, IDS_ONLINE_HELP);
    append(ID_TRAY_HOME_PAGE, IDS_HOME_PAGE);
    append(ID_TRAY_SUPPORT, IDS_SUPPORT);
    separate();
    append(ID_TRAY_OPTIONS, IDS_OPTIONS);
    if (active) {
        append(ID_TRAY_DEACTIVATE, IDS_DEACTIVATE);
    } else {
        append(ID_TRAY_ACTIVATE, IDS_ACTIVATE);
    }
    separate();
    append(ID_TRAY_ABOUT, IDS_ABOUT);
    separate();
    append(ID_TRAY_EXIT, IDS_EXIT);

    POINT at{};
    if (anchor) {
        at = *anchor;
    } else {
        ::GetCursorPos(&at);
    }
    ::SetForegroundWindow(window_);
    const UINT command = static_cast<UINT>(::TrackPopupMenu(
        menu.Get(),
        TPM_RETURNCMD | TPM_NONOTIFY | TPM_BOTTOMALIGN | TPM_RIGHTALIGN | TPM_RIGHTBUTTON, at.x,
        at.y, 0, window_, nullptr));
    ::PostMessageA(window_, WM_NULL, 0, 0);
    if (anchor && command == 0) {
        // Dismissed from the keyboard: the keyboard goes back to the notification area.
        NOTIFYICONDATAA data = TrayIconData(window_);
        ::Shell_NotifyIconA(NIM_SETFOCUS, &data);
    }
    return command;  // the menu is gone before the command runs, on every path
}

}  // namespace vp
