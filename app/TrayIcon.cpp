#include "app/TrayIcon.h"

#include <shellapi.h>

#include <cstring>

#include "hook/Messages.h"
#include "resources/resource.h"
#include "win/Handle.h"
#include "win/WinText.h"

namespace vp {
namespace {

constexpr UINT kTrayIconId = 1;

// The first version of the structure: every version of the shell takes it.
NOTIFYICONDATAA TrayIconData(HWND window) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
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
}

void TrayIcon::Update(bool active) {
    NOTIFYICONDATAA data = TrayIconData(window_);
    data.uFlags = NIF_ICON | NIF_TIP;
    data.hIcon = active ? activeIcon_.Get() : inactiveIcon_.Get();
    const char* tip = active ? VP_TEXT_TIP_ACTIVE : VP_TEXT_TIP_INACTIVE;
    std::strncpy(data.szTip, tip, 63);  // the first version holds 64 bytes
    ::Shell_NotifyIconA(NIM_MODIFY, &data);
}

void TrayIcon::Remove() {
    NOTIFYICONDATAA data = TrayIconData(window_);
    ::Shell_NotifyIconA(NIM_DELETE, &data);
}

void TrayIcon::ShowNotice(const std::string& text) {
    // Balloons came with the second version of the structure.
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = window_;
    data.uID = kTrayIconId;
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_WARNING;
    std::strncpy(data.szInfo, text.c_str(), sizeof data.szInfo - 1);
    std::strncpy(data.szInfoTitle, LoadResourceString(IDS_PRODUCT_NAME).c_str(),
                 sizeof data.szInfoTitle - 1);
    ::Shell_NotifyIconA(NIM_MODIFY, &data);
}

UINT TrayIcon::ChooseFromMenu(bool active) {
    win::MenuHandle menu(::CreatePopupMenu());
    auto append = [&](UINT flags, UINT id) {
        if (flags & MF_SEPARATOR) {
            ::AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
        } else {
            ::AppendMenuA(menu.Get(), flags, id, LoadResourceString(id).c_str());
        }
    };
    append(MF_STRING, IDS_OPEN_POPUP);
    ::SetMenuDefaultItem(menu.Get(), IDS_OPEN_POPUP, FALSE);  // shown bold
    append(MF_SEPARATOR, 0);
    append(MF_STRING, IDS_ONLINE_HELP);
    append(MF_STRING, IDS_HOME_PAGE);
    append(MF_STRING, IDS_SUPPORT);
    append(MF_SEPARATOR, 0);
    append(MF_STRING, IDS_OPTIONS);
    append(MF_STRING, active ? IDS_DEACTIVATE : IDS_ACTIVATE);
    append(MF_SEPARATOR, 0);
    append(MF_STRING, IDS_ABOUT);
    append(MF_SEPARATOR, 0);
    append(MF_STRING, IDS_EXIT);

    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::SetForegroundWindow(window_);
    const UINT command = static_cast<UINT>(::TrackPopupMenu(
        menu.Get(),
        TPM_RETURNCMD | TPM_NONOTIFY | TPM_BOTTOMALIGN | TPM_RIGHTALIGN | TPM_RIGHTBUTTON, cursor.x,
        cursor.y, 0, window_, nullptr));
    ::PostMessageA(window_, WM_NULL, 0, 0);
    return command;  // the menu is gone before the command runs, on every path
}

}  // namespace vp
