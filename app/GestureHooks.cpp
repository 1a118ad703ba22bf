#include "app/GestureHooks.h"

#include <utility>

#include "hook/VPHook.h"
#include "resources/resource.h"
#include "win/WinText.h"

namespace vp {

void GestureHooks::Install(HWND window) {
    window_ = window;
    installed_ = SetVPHook(window) != nullptr;
    if (!installed_ && !std::exchange(failureSaid_, true)) {
        notices_.ShowNotice(LoadResourceString(::GetLastError() == ERROR_INVALID_OWNER
                                                   ? IDS_GESTURE_STATE_NOT_OWN
                                                   : IDS_GESTURE_HOOK_FAILED));
    }
}

void GestureHooks::Apply(HWND window, const ProgramHashes& exclusions, bool active) {
    // While inactive, 32-bit applications are left without a hook at all.
    host32_.Apply(window, exclusions, active && installed_);
}

void GestureHooks::PutFirstAgain(WPARAM processId, LPARAM threadId) {
    if (installed_ && host32_.IsOwnHost(processId, threadId)) {
        UnhookVPHook();
        Install(window_);
    }
}

void GestureHooks::Remove() {
    UnhookVPHook();
    installed_ = false;
    host32_.Stop();
}

}  // namespace vp
