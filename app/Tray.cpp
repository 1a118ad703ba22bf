// The notification-area icon, its menu and the activation state.
#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "app/ErrorBox.h"
#include "app/MainWindow.h"
#include "app/Messages.h"
#include "app/WebAddresses.h"
#include "app/WinText.h"
#include "popup/AboutBox.h"
#include "resources/resource.h"

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

void OpenWithShell(const char* address) {
    ::ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

void MainWindow::AddTrayIcon() {
    NOTIFYICONDATAA data = TrayIconData(Handle());
    data.uFlags = NIF_MESSAGE | NIF_ICON;
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = ActiveIcon;
    ::Shell_NotifyIconA(NIM_ADD, &data);
}

void MainWindow::UpdateTrayIcon() {
    NOTIFYICONDATAA data = TrayIconData(Handle());
    data.uFlags = NIF_ICON | NIF_TIP;
    data.hIcon = Active ? ActiveIcon : InactiveIcon;
    const char* tip = Active ? VP_TEXT_TIP_ACTIVE : VP_TEXT_TIP_INACTIVE;
    std::strncpy(data.szTip, tip, 63);  // the first version holds 64 bytes
    ::Shell_NotifyIconA(NIM_MODIFY, &data);
}

void MainWindow::RemoveTrayIcon() {
    NOTIFYICONDATAA data = TrayIconData(Handle());
    ::Shell_NotifyIconA(NIM_DELETE, &data);
}

void MainWindow::OnTaskbarCreated() {
    // The task bar was restarted and forgot the icon: without it the program could no
    // longer be reached.
    AddTrayIcon();
    UpdateTrayIcon();
}

LRESULT MainWindow::OnTrayNotify(WPARAM, LPARAM mouseMessage) {
    if (mouseMessage == WM_LBUTTONDBLCLK) {
        SearchBox.SetText("");
        ::PostMessageA(Handle(), WM_SHOW_POPUP, 0, 0);
    } else if (mouseMessage == WM_RBUTTONUP) {
        ShowTrayMenu();
    }
    return 0;
}

void MainWindow::ShowTrayMenu() {
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
    append(MF_STRING, Active ? IDS_DEACTIVATE : IDS_ACTIVATE);
    append(MF_SEPARATOR, 0);
    append(MF_STRING, IDS_ABOUT);
    append(MF_SEPARATOR, 0);
    append(MF_STRING, IDS_EXIT);

    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::SetForegroundWindow(Handle());
    const UINT command = static_cast<UINT>(::TrackPopupMenu(
        menu.Get(),
        TPM_RETURNCMD | TPM_NONOTIFY | TPM_BOTTOMALIGN | TPM_RIGHTALIGN | TPM_RIGHTBUTTON, cursor.x,
        cursor.y, 0, Handle(), nullptr));
    ::PostMessageA(Handle(), WM_NULL, 0, 0);
    menu.Reset();  // gone before the command runs, on every path

    switch (command) {
        case IDS_OPEN_POPUP:
            ShowWithText("");
            break;
        case IDS_ONLINE_HELP:
            OpenWithShell((ProgramFolder() + kUserGuideFileName).c_str());
            break;
        case IDS_HOME_PAGE:
            OpenWithShell(kHomePageAddress);
            break;
        case IDS_SUPPORT:
            OpenWithShell(kSupportAddress);
            break;
        case IDS_OPTIONS:
            break;  // the Options dialog is not part of this version yet
        case IDS_ACTIVATE:
            SetActive(true);
            break;
        case IDS_DEACTIVATE:
            SetActive(false);
            break;
        case IDS_ABOUT:
            if (!RunReportingErrors([] { ShowAboutBox(); })) {
                ExitProgram();
            }
            break;
        case IDS_EXIT:
            ExitProgram();
            break;
        default:
            break;  // dismissed
    }
}

void MainWindow::SetActive(bool active) {
    Active = active;
    ApplyTriggers();
    UpdateTrayIcon();
}

}  // namespace vp
