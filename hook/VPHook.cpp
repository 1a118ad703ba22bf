// VPHook.dll: recognises the two mouse gestures in every process of the desktop.
// Its state is shared by every process that maps the library; the hook procedure reads
// and writes single aligned words without locks and talks to the main program only by
// posting messages.
#include "hook/VPHook.h"

#include "base/ProgramNames.h"
#include "hook/GestureMatch.h"
#include "hook/Messages.h"

#if defined(_MSC_VER)
#pragma data_seg(".SHARSEG")
#define VP_SHARED
#else
#define VP_SHARED __attribute__((section(".SHARSEG"), shared))
#endif

// Initialised, so that every compiler places them in the shared section, in this order.
HWND TargetWindow VP_SHARED = nullptr;
HHOOK HookHandle VP_SHARED = nullptr;
bool PopupPending VP_SHARED = false;
bool DefaultPending VP_SHARED = false;
bool PopupEnabled VP_SHARED = false;
bool DefaultEnabled VP_SHARED = false;
UINT PopupModifiers VP_SHARED = vp::hook::kControlKey;
UINT DefaultModifiers VP_SHARED = vp::hook::kControlKey;
UINT PopupButtonMessage VP_SHARED = 1;  // no mouse message: nothing matches until set
UINT DefaultButtonMessage VP_SHARED = 0;
// The programs that keep their clicks: hashes of their lower-case file names. The
// counter moves after each new list is in place, so each process works out again
// whether it is one of them.
unsigned long long ExclusionHashes[vp::kMaxGestureExclusions] VP_SHARED = {0};
LONG ExclusionCount VP_SHARED = 0;
LONG ExclusionChange VP_SHARED = 0;

#if defined(_MSC_VER)
#pragma data_seg()
#pragma comment(linker, "/SECTION:.SHARSEG,RWS")
#endif

namespace {
HINSTANCE ModuleInstance = nullptr;  // per process
// Whether this process is named in the list as it stood at ExclusionChange == SeenChange.
bool Excluded = false;
bool ExclusionKnown = false;
LONG SeenChange = 0;

// Bounded work (a path of at most MAX_PATH) on the first message after a change; plain
// loops, no allocation and no C runtime.
bool ProcessIsExcluded() {
    // Volatile reads, in this order: the counter before the list it stands for. A list
    // read while it is being replaced is read again at the next message.
    const LONG change = *static_cast<volatile LONG*>(&ExclusionChange);
    if (ExclusionKnown && change == SeenChange) {
        return Excluded;
    }
    const LONG count = *static_cast<volatile LONG*>(&ExclusionCount);
    bool excluded = false;
    if (count > 0) {
        WCHAR path[MAX_PATH];
        const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            const unsigned long long own = vp::HashProgramPath(path, length);
            for (LONG i = 0; i < count && i < vp::kMaxGestureExclusions; ++i) {
                excluded = excluded ||
                           *static_cast<volatile unsigned long long*>(&ExclusionHashes[i]) == own;
            }
        }
    }
    Excluded = excluded;
    SeenChange = change;
    ExclusionKnown = true;
    return excluded;
}
}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ModuleInstance = instance;
    }
    return TRUE;
}

extern "C" {

HHOOK WINAPI SetVPHook(HWND target) {
    TargetWindow = target;
    // The shared section outlives a program that was ended while a gesture's button was
    // held; that press must not fire in this program.
    PopupPending = false;
    DefaultPending = false;
    HookHandle = ::SetWindowsHookExA(WH_GETMESSAGE, VPHookProc, ModuleInstance, 0);
    return HookHandle;
}

HHOOK WINAPI SetVPThreadHook(HWND target, DWORD threadId) {
    if (TargetWindow != target) {
        TargetWindow = target;
        PopupPending = false;
        DefaultPending = false;
    }
    return ::SetWindowsHookExA(WH_GETMESSAGE, VPHookProc, ModuleInstance, threadId);
}

void WINAPI UnhookVPHook() {
    if (!::UnhookWindowsHookEx(HookHandle)) {
        ::Sleep(100);
        ::UnhookWindowsHookEx(HookHandle);
    }
}

void WINAPI SetPopupWindowButton(UINT modifierIndex, UINT buttonIndex, bool enable) {
    PopupButtonMessage = vp::hook::ButtonMessage(buttonIndex, PopupButtonMessage);
    PopupModifiers = vp::hook::ModifierMask(modifierIndex, PopupModifiers);
    PopupEnabled = enable;
}

void WINAPI SetDefaultActionButton(UINT modifierIndex, UINT buttonIndex, bool enable) {
    DefaultButtonMessage = vp::hook::ButtonMessage(buttonIndex, DefaultButtonMessage);
    DefaultModifiers = vp::hook::ModifierMask(modifierIndex, DefaultModifiers);
    DefaultEnabled = enable;
}

void WINAPI SetGestureExclusions(const unsigned long long* hashes, int count) {
    if (hashes == nullptr || count < 0) {
        count = 0;
    }
    if (count > vp::kMaxGestureExclusions) {
        count = vp::kMaxGestureExclusions;
    }
    for (int i = 0; i < count; ++i) {
        ExclusionHashes[i] = hashes[i];
    }
    ExclusionCount = count;
    // After the list: a process that sees the new counter finds the new list.
    ::InterlockedIncrement(&ExclusionChange);
}

LRESULT CALLBACK VPHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && !ProcessIsExcluded()) {
        auto* message = reinterpret_cast<MSG*>(lParam);
        const vp::hook::Gesture popup{PopupButtonMessage, PopupModifiers, PopupEnabled};
        const vp::hook::Gesture defaultSite{DefaultButtonMessage, DefaultModifiers, DefaultEnabled};
        bool popupPending = PopupPending;
        bool defaultPending = DefaultPending;
        const vp::hook::GestureOutcome outcome =
            vp::hook::MatchGesture(message->message, message->wParam, popup, defaultSite,
                                   popupPending, defaultPending, (wParam & PM_REMOVE) != 0);
        // Windows calls a hook of the other bitness out of context, on the thread that
        // installed it, with another process's message that it cannot change: that
        // application has the library of its own bitness, so this one leaves the message
        // and its gesture alone. Asked only when a gesture would act.
        bool inContext = true;
        if (outcome.swallow) {  // so does every trigger
            DWORD owner = 0;
            ::GetWindowThreadProcessId(message->hwnd, &owner);
            inContext = owner == 0 || owner == ::GetCurrentProcessId();
        }
        if (inContext) {
            PopupPending = popupPending;
            DefaultPending = defaultPending;
            if (outcome.swallow) {
                message->message = WM_NULL;
            }
            if (outcome.firePopup) {
                ::PostMessageA(TargetWindow, VP_WM_POPUP_TRIGGER, 0, 0);
            }
            if (outcome.fireDefault) {
                ::PostMessageA(TargetWindow, VP_WM_DEFAULT_TRIGGER, 0, 0);
            }
        }
    }
    return ::CallNextHookEx(HookHandle, code, wParam, lParam);
}

}  // extern "C"
