#include "app/TrayMenu.h"

#include <shellapi.h>

#include <climits>

#include "app/MainWindow.h"
#include "app/WebAddresses.h"
#include "hook/Messages.h"
#include "resources/resource.h"
#include "win/MessageTable.h"
#include "win/WinText.h"

namespace vp {
namespace {

void OpenWithShell(const char* address) {
    ::ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

UINT TrayMenu::TaskbarCreatedMessage() {
    const UINT message = ::RegisterWindowMessageA("TaskbarCreated");
    return message != 0 ? message : UINT_MAX;
}

void TrayMenu::OnNotify(WPARAM anchor, LPARAM event) {
    const TrayRequest request = icon_.OnNotify(anchor, event);
    if (request.action == TrayAction::ShowPopup) {
        popup_.SetText("");
        ::PostMessageA(program_.Handle(), WM_SHOW_POPUP, 0, 0);
    } else if (request.action == TrayAction::MenuAtCursor) {
        Run(icon_.ChooseFromMenu(program_.IsActive()));
    } else if (request.action == TrayAction::MenuAtIcon) {
        Run(icon_.ChooseFromMenu(program_.IsActive(), request.anchor));
    }
}

void TrayMenu::OnTaskbarCreated() {
    icon_.Add(program_.Handle());
    icon_.Update(program_.IsActive());
}

void TrayMenu::Run(UINT command) {
    using Map = win::MessageMap<TrayMenu, LRESULT>;
    static constexpr Map::Entry kCommands[] = {
        Map::Command<&TrayMenu::OpenPopup>(ID_TRAY_OPEN_POPUP),
        Map::Command<&TrayMenu::OpenOnlineHelp>(ID_TRAY_ONLINE_HELP),
        Map::Command<&TrayMenu::OpenHomePage>(ID_TRAY_HOME_PAGE),
        Map::Command<&TrayMenu::OpenSupport>(ID_TRAY_SUPPORT),
        Map::Command<&TrayMenu::ShowOptions>(ID_TRAY_OPTIONS),
        Map::Command<&TrayMenu::Activate>(ID_TRAY_ACTIVATE),
        Map::Command<&TrayMenu::Deactivate>(ID_TRAY_DEACTIVATE),
        Map::Command<&TrayMenu::ShowAbout>(ID_TRAY_ABOUT),
        Map::Command<&TrayMenu::Exit>(ID_TRAY_EXIT),
    };
    LRESULT ignored = 0;
    win::RouteMessage(*this, kCommands, WM_COMMAND, command, 0, ignored);
}

void TrayMenu::OpenPopup() {
    popup_.ShowWithText("");
}

// The guide beside the program, in a folder of any name.
void TrayMenu::OpenOnlineHelp() {
    ::ShellExecuteW(nullptr, L"open", WidePointer(WideProgramFolder() + kUserGuideFileName),
                    nullptr, nullptr, SW_SHOWNORMAL);
}

void TrayMenu::OpenHomePage() {
    OpenWithShell(kHomePageAddress);
}

void TrayMenu::OpenSupport() {
    OpenWithShell(kSupportAddress);
}

void TrayMenu::ShowOptions() {
    program_.ShowOptionsDialog();
}

void TrayMenu::Activate() {
    program_.SetActive(true);
}

void TrayMenu::Deactivate() {
    program_.SetActive(false);
}

void TrayMenu::ShowAbout() {
    program_.ShowAbout();
}

void TrayMenu::Exit() {
    program_.ExitProgram();
}

}  // namespace vp
