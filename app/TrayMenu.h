// What the notification-area icon's events and its menu's commands do. The commands come
// from the menu alone, never from a message: another program's WM_COMMAND reaches only the
// popup's commands.
#pragma once

#include <windows.h>

#include "app/TrayIcon.h"
#include "popup/PopupView.h"

namespace vp {

class MainWindow;

class TrayMenu {
public:
    TrayMenu(MainWindow& program, TrayIcon& icon, PopupView& popup)
        : program_(program), icon_(icon), popup_(popup) {}

    // The task bar's restart message, whose number is known only at run time; a number
    // that no message has when it cannot be registered.
    static UINT TaskbarCreatedMessage();

    // WM_TRAY_NOTIFY.
    void OnNotify(WPARAM anchor, LPARAM event);
    // The task bar restarted and forgot the icon: without it the program could no longer
    // be reached.
    void OnTaskbarCreated();

private:
    // The menu's chosen command (0: dismissed) and the commands of its table.
    void Run(UINT command);
    void OpenPopup();
    void OpenOnlineHelp();
    void OpenHomePage();
    void OpenSupport();
    void ShowOptions();
    void Activate();
    void Deactivate();
    void ShowAbout();
    void Exit();

    MainWindow& program_;
    TrayIcon& icon_;
    PopupView& popup_;
};

}  // namespace vp
