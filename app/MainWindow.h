// The program's one top-level window: the hidden receiver of the triggers, the owner of
// the notification-area icon and the popup that the user sees. Its message table routes
// each message in one line to the part of its concern (the popup, the capture of the
// triggers, the icon's menu, the gesture hooks) or to its own handler; it holds what the
// parts share: the catalogue, the trigger settings and the activation state, and runs
// the program's start, reloads and end.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "app/GestureHooks.h"
#include "app/ThreadHooks.h"
#include "app/TrayIcon.h"
#include "app/TrayMenu.h"
#include "app/TriggerCapture.h"
#include "app/TriggerDelivery.h"
#include "base/ProgramNames.h"
#include "core/Configuration.h"
#include "core/Settings.h"
#include "popup/PopupView.h"
#include "sites/SiteCatalogue.h"
#include "win/Handle.h"
#include "win/Window.h"

namespace vp {

class OptionsSheet;

inline constexpr char kMainWindowClass[] = "QH_VantapickerHiddenWnd";

class MainWindow : public win::Window {
public:
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
    // The About box; an error shows the error box and ends the program.
    void ShowAbout();
    bool IsActive() const { return active_; }
    // Activates or deactivates the triggers.
    void SetActive(bool active);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The handlers of the window's own messages; the parts handle the others.
    void OnCreate();
    void OnDestroy();
    void OnEraseBackground() {}  // WM_PAINT fills the whole client area
    void OnEndSession(WPARAM ending);
    void OnCommand(WPARAM command);
    void OnDpiChanged(WPARAM dpi);
    void OnSettingChange(WPARAM, LPARAM area);
    void OnSysColorChange();
    void OnPoliciesChanged();
    void OnManagedSiteListRead();

    // Runs `work`; when it fails, the error box says why and the program ends. Returns
    // whether it ran through.
    template <typename Work>
    bool RunOrExit(Work&& work);

    // Takes the configuration read for this load and hands its values in force to the site
    // list, the popup, the triggers and the start at logon; a stored history that may not
    // be kept is removed. readManagedList starts a read of the organisation's list first.
    void LoadConfiguration(Configuration configuration, bool readManagedList);
    // Says once, at the icon, why the organisation's site list could not be read.
    void ShowSiteListProblem();
    void StoreStateForNextRun();

    SiteCatalogue catalogue_;          // without categories
    Configuration configuration_;      // as last read
    ProgramHashes gestureExclusions_;  // programs whose clicks the hook leaves alone
    bool active_ = true;
    // True once the activation state and the history were read: before that, storing
    // them would overwrite the user's with defaults.
    bool stateLoaded_ = false;
    OptionsSheet* shownOptions_ = nullptr;  // while the Options dialog is shown
    TriggerCapture capture_;
    // Why the organisation's site list was not read, and whether that is still to be said.
    std::pair<std::string, bool> siteListProblem_;
    // Windows said that the policies changed, and the program has not read them yet.
    bool policiesChanged_ = false;
    TrayIcon tray_;
    GestureHooks hooks_{tray_};
    SearchBoxGate searchBoxGate_;
    PopupView popup_;
    TriggerDelivery delivery_{capture_, popup_, tray_};
    TrayMenu trayMenu_{*this, tray_, popup_};
};

}  // namespace vp
