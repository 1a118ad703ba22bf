// The gesture hook in every application: the program's own hook (VPHook.dll, of the
// program's bitness) and the host of the 32-bit one (HookHost32). Their order:
//   1. Install: the program's hook, once the hook library holds the gestures and the
//      programs without gestures (TriggerCapture::Apply).
//   2. Apply: the host runs, with the list of programs without gestures, while the
//      program's hook is installed and the program is active; otherwise it ends.
//   3. Put first again: when the host that this program started says it is ready, the
//      program's hook is removed and installed again. Wine ends a hook chain at a hook
//      whose library a process cannot load (one of the other bitness), so the program's
//      own hook goes first, whatever the order the hooks were installed in.
//   4. Remove: the program's hook, then the host.
#pragma once

#include <windows.h>

#include "app/HookHost32.h"
#include "app/TrayIcon.h"
#include "base/ProgramNames.h"

namespace vp {

class GestureHooks {
public:
    // Why the program's hook could not be installed is said at `notices`.
    explicit GestureHooks(TrayIcon& notices) : notices_(notices) {}

    // Installs the program's hook; the triggers go to `window`. When it cannot be, says
    // why once per run: the hot keys go on without it.
    void Install(HWND window);
    // Starts, tells or ends the host for `window` as the order above says.
    void Apply(HWND window, const ProgramHashes& exclusions, bool active);
    // kHostReadyMessage (the host's process and thread ids): acts only for the host that
    // this program started.
    void PutFirstAgain(WPARAM processId, LPARAM threadId);
    // kHostStartedMessage and kHostEndedMessage, for the host.
    void OnHostStarted(WPARAM startNumber) { host32_.OnStarted(startNumber); }
    void OnHostEnded(WPARAM processId) { host32_.OnEnded(processId); }
    void Remove();

private:
    TrayIcon& notices_;
    HWND window_ = nullptr;
    bool installed_ = false;    // the program's own hook
    bool failureSaid_ = false;  // why it is not, once per run
    HookHost32 host32_;
};

}  // namespace vp
