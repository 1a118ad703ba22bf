// VPHookHost32.exe: installs the gesture hook in 32-bit applications for the 64-bit
// program, which cannot load a 32-bit library itself. It has no window; it takes the
// program's gestures from its command line and its thread's messages (hook/HookHost.h)
// and ends when told to or when the program's process ends, a crash included.
// It hooks each thread with a top-level window in a 32-bit process rather than the whole
// desktop: a system-wide hook of one bitness can end the hook chain in every application
// of the other bitness (Wine calls the latest system-wide hook first and stops at one
// whose library it cannot load), while a thread's own hooks come before every
// system-wide one. The threads are found at start and, later, when a window appears.
// It goes without the C runtime (its own entry point), to stay a few kilobytes small.
#include <windows.h>

#include "hook/HookHost.h"
#include "hook/VPHook.h"

namespace {

// The library's exports, bound by name: a missing library ends the host quietly, where
// a load-time import would stop it with the loader's message box.
struct HookLibrary {
    decltype(&SetVPThreadHook) setThreadHook = nullptr;
    decltype(&SetPopupWindowButton) setPopup = nullptr;
    decltype(&SetDefaultActionButton) setDefault = nullptr;
    decltype(&SetGestureExclusions) setExclusions = nullptr;  // optional

    bool Load() {
        // The library beside the host's own file.
        char path[MAX_PATH] = {};
        const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        DWORD folder = length;
        while (folder > 0 && path[folder - 1] != '\\') {
            --folder;
        }
        const DWORD nameLength = sizeof vp::hook::kHook32FileName;  // with its zero
        if (length == 0 || length >= MAX_PATH || folder + nameLength > MAX_PATH) {
            return false;
        }
        for (DWORD i = 0; i < nameLength; ++i) {
            path[folder + i] = vp::hook::kHook32FileName[i];
        }
        HMODULE module = ::LoadLibraryA(path);
        if (module == nullptr) {
            return false;
        }
        setThreadHook = reinterpret_cast<decltype(setThreadHook)>(
            reinterpret_cast<void*>(::GetProcAddress(module, "SetVPThreadHook")));
        setPopup = reinterpret_cast<decltype(setPopup)>(
            reinterpret_cast<void*>(::GetProcAddress(module, "SetPopupWindowButton")));
        setDefault = reinterpret_cast<decltype(setDefault)>(
            reinterpret_cast<void*>(::GetProcAddress(module, "SetDefaultActionButton")));
        setExclusions = reinterpret_cast<decltype(setExclusions)>(
            reinterpret_cast<void*>(::GetProcAddress(module, "SetGestureExclusions")));
        return setThreadHook && setPopup && setDefault;
    }

    void Apply(const vp::hook::GestureSetting& popup,
               const vp::hook::GestureSetting& defaultSite) const {
        setPopup(popup.modifierIndex, popup.buttonIndex, popup.enable);
        setDefault(defaultSite.modifierIndex, defaultSite.buttonIndex, defaultSite.enable);
    }
};

// The hooked threads. A handle to each keeps its id from being given to a new thread
// while it is listed. A full list takes no more threads until some of them end.
struct HookedThread {
    DWORD id;
    HANDLE thread;
    HHOOK hook;
};
constexpr DWORD kMaxHookedThreads = 512;
HookedThread Hooked[kMaxHookedThreads];  // static: zeroed without the C runtime
DWORD HookedCount = 0;
const HookLibrary* Library = nullptr;
HWND Target = nullptr;

void DropEndedThreads() {
    DWORD kept = 0;
    for (DWORD i = 0; i < HookedCount; ++i) {
        if (::WaitForSingleObject(Hooked[i].thread, 0) == WAIT_OBJECT_0) {
            ::UnhookWindowsHookEx(Hooked[i].hook);
            ::CloseHandle(Hooked[i].thread);
        } else {
            Hooked[kept++] = Hooked[i];
        }
    }
    HookedCount = kept;
}

void UnhookAllThreads() {
    for (DWORD i = 0; i < HookedCount; ++i) {
        ::UnhookWindowsHookEx(Hooked[i].hook);
        ::CloseHandle(Hooked[i].thread);
    }
    HookedCount = 0;
}

// Of this host's bitness: a 32-bit process on 64-bit Windows, the only Windows that the
// host is started on.
bool SameBitness(DWORD processId) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) {
        return false;  // an elevated or ended process: nothing to hook there
    }
    BOOL wow64 = FALSE;
    const BOOL known = ::IsWow64Process(process, &wow64);
    ::CloseHandle(process);
    return known && wow64;
}

// Hooks the thread of a top-level window once, if its process is a 32-bit one.
void HookThreadOf(HWND window) {
    if (window == nullptr || ::GetAncestor(window, GA_ROOT) != window) {
        return;  // a child window: its thread has a top-level one too
    }
    DWORD processId = 0;
    const DWORD threadId = ::GetWindowThreadProcessId(window, &processId);
    if (threadId == 0 || processId == ::GetCurrentProcessId()) {
        return;
    }
    for (DWORD i = 0; i < HookedCount; ++i) {
        if (Hooked[i].id == threadId) {
            return;
        }
    }
    if (!SameBitness(processId)) {
        return;
    }
    DropEndedThreads();
    if (HookedCount == kMaxHookedThreads) {
        return;
    }
    HANDLE thread = ::OpenThread(SYNCHRONIZE, FALSE, threadId);
    if (thread == nullptr) {
        return;
    }
    HHOOK hook = Library->setThreadHook(Target, threadId);
    if (hook == nullptr) {
        ::CloseHandle(thread);  // tried again when it shows its next window
        return;
    }
    Hooked[HookedCount++] = {threadId, thread, hook};
}

BOOL CALLBACK HookWindowThread(HWND window, LPARAM) {
    HookThreadOf(window);
    return TRUE;
}

// A window of another process was created or shown (called between this thread's
// messages, out of context).
void CALLBACK WindowAppeared(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                             DWORD) {
    if (object == OBJID_WINDOW && child == CHILDID_SELF) {
        HookThreadOf(window);
    }
}

int Run() {
    const auto arguments = vp::hook::ParseHostCommandLine(::GetCommandLineA());
    if (!arguments) {
        return 1;
    }
    HANDLE program = ::OpenProcess(SYNCHRONIZE, FALSE, arguments->programProcessId);
    if (program == nullptr) {
        return 1;  // the program is gone already
    }
    HookLibrary library;
    if (!library.Load()) {
        ::CloseHandle(program);
        return 2;
    }
    Library = &library;
    Target = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(arguments->targetWindow));
    // The gestures are known before the hooks exist, as in the program.
    library.Apply(arguments->popup, arguments->defaultSite);
    // Watching first, then looking: a window that appears in between is seen twice,
    // which hooks its thread once all the same.
    HWINEVENTHOOK watch =
        ::SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr, WindowAppeared, 0, 0,
                          WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    ::EnumWindows(HookWindowThread, 0);
    // The thread's queue exists from here: the gestures can be posted to it. Looking at
    // the empty queue also tells whoever waits for the host's input idle that the hooks
    // are in place.
    MSG message;
    ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    ::PostMessageA(Target, vp::hook::kHostReadyMessage, ::GetCurrentProcessId(),
                   static_cast<LPARAM>(::GetCurrentThreadId()));

    // The window events come between this thread's messages, so it keeps taking them.
    vp::hook::ExclusionAssembly exclusions;
    bool running = true;
    while (running && ::MsgWaitForMultipleObjects(1, &program, FALSE, INFINITE, QS_ALLINPUT) ==
                          WAIT_OBJECT_0 + 1) {
        while (running && ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                running = false;
            } else if (message.message == vp::hook::kHostGesturesMessage &&
                       message.hwnd == nullptr) {
                library.Apply(vp::hook::UnpackGesture(static_cast<std::uint32_t>(message.wParam)),
                              vp::hook::UnpackGesture(static_cast<std::uint32_t>(message.lParam)));
            } else if (message.message == vp::hook::kHostExclusionMessage &&
                       message.hwnd == nullptr) {
                exclusions.TakeHalf(static_cast<std::uint32_t>(message.wParam),
                                    static_cast<std::uint32_t>(message.lParam));
            } else if (message.message == vp::hook::kHostExclusionsEndMessage &&
                       message.hwnd == nullptr) {
                std::uint64_t hashes[vp::kMaxGestureExclusions];
                const int count =
                    exclusions.End(static_cast<std::uint32_t>(message.wParam), hashes);
                if (library.setExclusions != nullptr) {
                    library.setExclusions(reinterpret_cast<const unsigned long long*>(hashes),
                                          count);
                }
            } else {
                ::DispatchMessageA(&message);
            }
        }
    }
    if (watch != nullptr) {
        ::UnhookWinEvent(watch);
    }
    UnhookAllThreads();
    ::CloseHandle(program);
    return 0;
}

}  // namespace

// The entry point, in place of the C runtime's.
extern "C" void WINAPI HookHostEntry() {
    ::ExitProcess(static_cast<UINT>(Run()));
}
