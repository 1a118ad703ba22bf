// The program's one top-level window: the hidden receiver of the triggers, the owner of
// the notification-area icon and the popup that the user sees. It routes each message
// to the object of its concern and holds what they share: the catalogue, the trigger
// settings and the activation state.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "app/HookHost32.h"
#include "app/TrayIcon.h"
#include "app/TriggerCapture.h"
#include "base/ProgramNames.h"
#include "core/Configuration.h"
#include "core/Settings.h"
#include "popup/PopupView.h"
#include "sites/SiteCatalogue.h"
#include "win/Handle.h"
#include "win/Window.h"

namespace vp {

inline constexpr char kMainWindowClass[] = "QH_VantapickerHiddenWnd";

class MainWindow : public win::Window {
public:
    MainWindow();

    // Registers the window class and creates the hidden window.
    bool CreateHidden(HINSTANCE instance);
    // The start-up sequence with the configuration read for it; an error shows the error
    // box and ends the program.
    void InitializeApplication(Configuration configuration);
    // Reads the configuration, the site list and the visible sites again, rebuilds the
    // links and applies the triggers (after the Options dialog); after a policy refresh
    // (readManagedList) the organisation's list is read again too. An error shows the
    // error box and ends the program.
    void ReloadConfiguration(bool readManagedList = false);
    // The one orderly end of the program: stores what must survive, then destroys the
    // window, whose WM_DESTROY ends the message loop.
    void ExitProgram();

    void ApplyTriggers();
    void RebuildSiteLinks();

    // Runs the Options dialog, or brings the open one forward; after it closes, by OK or
    // Cancel, the configuration is read again. An error shows the error box and ends the
    // program.
    void ShowOptionsDialog();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Takes the configuration read for this load and hands its values in force to the site
    // list, the popup, the triggers and the start at logon; a stored history that may not
    // be kept is removed. readManagedList starts a read of the organisation's list first.
    void LoadConfiguration(Configuration configuration, bool readManagedList);
    // Says once, at the icon, why the organisation's site list could not be read.
    void ShowSiteListProblem();
    // Installs the gesture hook; when it cannot be, says why at the icon, once per run.
    void InstallHook();
    void StoreStateForNextRun();
    void SetActive(bool active);
    void RunTrayCommand(UINT command);
    // Carries out what a trigger, a clipboard change or a capture timer gave to do.
    void Deliver(const CapturedText& captured);

    SiteCatalogue catalogue_;          // without categories
    Configuration configuration_;      // as last read
    ProgramHashes gestureExclusions_;  // programs whose clicks the hook leaves alone
    bool active_ = true;
    // True once the activation state and the history were read: before that, storing
    // them would overwrite the user's with defaults.
    bool stateLoaded_ = false;
    TriggerCapture capture_;
    bool clipboardNoticeShown_ = false;  // the clipboard-not-kept notice, once per run
    // Why the organisation's site list was not read, and whether that is still to be said.
    std::pair<std::string, bool> siteListProblem_;
    bool hooked_ = false;           // the program's own hook is installed
    bool hookNoticeShown_ = false;  // why it is not, once per run
    // Windows said that the policies changed, and the program has not read them yet.
    bool policiesChanged_ = false;
    HookHost32 hookHost32_;
    win::HookHandle messageGate_;  // drops other programs' messages to the search box
    TrayIcon tray_;
    PopupView popup_;
    UINT taskbarCreatedMessage_;
};

}  // namespace vp
