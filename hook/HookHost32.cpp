// VPHookHost32.exe: installs the gesture hook in 32-bit applications for the 64-bit
// program, which cannot load a 32-bit library itself. It has no window; it takes the
// program's window and the programs without gestures from its command line
// (hook/HookHost.h), and ends when told to or when the program's process ends, a crash
// included. The library reads the gestures from the program's state itself.
// It hooks each thread that has a window, child windows included, in a 32-bit process
// rather than the whole desktop: a system-wide hook of one bitness can end the hook chain
// in every application of the other bitness (Wine calls the latest system-wide hook
// first and stops at one whose library it cannot load), while a thread's own hooks come
// before every system-wide one. The threads are found at start and, later, when a window
// appears.
// A new list of programs without gestures comes through the hook state (kHostListMessage).
// It goes without the C runtime (its own entry point), to stay a few kilobytes small.
#include <windows.h>

#include "hook/HookHost.h"
#include "hook/ProgramFile.h"
#include "hook/VPHook.h"

namespace {

// Every path: the host's own, its library's and those of the processes it looks at.
wchar_t PathBuffer[vp::hook::kLongPathUnits];  // static: zeroed without the C runtime

decltype(&GetGestureExclusions) ReadExclusions = nullptr;

// The library beside the host's own file, bound by name: a missing library ends the host
// quietly, where a load-time import would stop it with the loader's message box.
decltype(&SetVPThreadHook) LoadHookLibrary() {
    wchar_t* path = PathBuffer + vp::hook::kPathOffset;
    const DWORD space = vp::hook::kLongPathUnits - vp::hook::kPathOffset;
    const DWORD length = ::GetModuleFileNameW(nullptr, path, space);
    DWORD folder = length;
    while (folder > 0 && path[folder - 1] != L'\\') {
        --folder;
    }
    const DWORD nameLength = sizeof vp::hook::kHook32FileName / sizeof(char16_t);  // with its zero
    if (length == 0 || length >= space || folder == 0 || folder + nameLength > space) {
        return nullptr;
    }
    for (DWORD i = 0; i < nameLength; ++i) {
        path[folder + i] = static_cast<wchar_t>(vp::hook::kHook32FileName[i]);
    }
    HMODULE module = ::LoadLibraryW(path);
    if (module == nullptr) {
        return nullptr;
    }
    ReadExclusions = reinterpret_cast<decltype(&GetGestureExclusions)>(
        reinterpret_cast<void*>(::GetProcAddress(module, "GetGestureExclusions")));
    return reinterpret_cast<decltype(&SetVPThreadHook)>(
        reinterpret_cast<void*>(::GetProcAddress(module, "SetVPThreadHook")));
}

// The threads seen so far, hooked or left alone (the other bitness or a program without
// gestures): each is judged once. A handle to each keeps its id from being given to a
// new thread while it is listed. A full list takes no more threads until some end.
struct SeenThread {
    DWORD id;
    HANDLE thread;
    HHOOK hook;  // null: left alone
};
constexpr DWORD kMaxSeenThreads = 1024;
SeenThread Seen[kMaxSeenThreads];
DWORD SeenCount = 0;
decltype(&SetVPThreadHook) SetThreadHook = nullptr;
HWND Target = nullptr;
vp::hook::HostArguments Arguments;  // static: taken in place, no structure is copied

void DropEndedThreads() {
    DWORD kept = 0;
    for (DWORD i = 0; i < SeenCount; ++i) {
        if (::WaitForSingleObject(Seen[i].thread, 0) == WAIT_OBJECT_0) {
            if (Seen[i].hook != nullptr) {
                ::UnhookWindowsHookEx(Seen[i].hook);
            }
            ::CloseHandle(Seen[i].thread);
        } else {
            Seen[kept++] = Seen[i];
        }
    }
    SeenCount = kept;
}

void UnhookAllThreads() {
    for (DWORD i = 0; i < SeenCount; ++i) {
        if (Seen[i].hook != nullptr) {
            ::UnhookWindowsHookEx(Seen[i].hook);
        }
        ::CloseHandle(Seen[i].thread);
    }
    SeenCount = 0;
}

// Whether the process is one to hook: of this host's bitness (a 32-bit process on 64-bit
// Windows, the only Windows the host is started on) and not named in the list.
bool WantsHook(DWORD processId) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) {
        return false;  // an elevated or ended process: nothing to hook there
    }
    BOOL wow64 = FALSE;
    bool wanted = ::IsWow64Process(process, &wow64) && wow64;
    DWORD length = vp::hook::kLongPathUnits - vp::hook::kPathOffset;
    const vp::ProgramHashes& exclusions = Arguments.exclusions;
    if (wanted && exclusions.count > 0 &&
        ::QueryFullProcessImageNameW(process, 0, PathBuffer + vp::hook::kPathOffset, &length)) {
        const std::uint64_t name = vp::hook::LongProgramNameHash(PathBuffer, length);
        for (int i = 0; i < exclusions.count; ++i) {
            wanted = wanted && exclusions.hashes[static_cast<std::size_t>(i)] != name;
        }
    }
    ::CloseHandle(process);
    return wanted;
}

// Judges the thread of a window once, and hooks it if its process wants the hook.
void HookThreadOf(HWND window) {
    DWORD processId = 0;
    const DWORD threadId = window != nullptr ? ::GetWindowThreadProcessId(window, &processId) : 0;
    if (threadId == 0 || processId == ::GetCurrentProcessId()) {
        return;
    }
    for (DWORD i = 0; i < SeenCount; ++i) {
        if (Seen[i].id == threadId) {
            return;
        }
    }
    if (SeenCount == kMaxSeenThreads) {
        DropEndedThreads();
        if (SeenCount == kMaxSeenThreads) {
            return;
        }
    }
    HANDLE thread = ::OpenThread(SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE, threadId);
    if (thread == nullptr) {
        return;
    }
    HHOOK hook = nullptr;
    if (WantsHook(processId)) {
        hook = SetThreadHook(Target, threadId);
        if (hook == nullptr) {
            ::CloseHandle(thread);  // tried again when it shows its next window
            return;
        }
    }
    Seen[SeenCount++] = {threadId, thread, hook};
}

// The program's new list (kHostListMessage), from the hook state: every thread seen so
// far is judged again; the hooks of threads still wanted stay, so their gestures go on.
void TakeNewList() {
    vp::ProgramHashes& exclusions = Arguments.exclusions;
    const int count = ReadExclusions != nullptr
                          ? ReadExclusions(exclusions.hashes.data(), vp::kMaxGestureExclusions)
                          : -1;
    if (count < 0) {
        return;  // the state cannot be read: the list stays as it was
    }
    exclusions.count = count;
    for (DWORD i = 0; i < SeenCount; ++i) {
        const DWORD processId = ::GetProcessIdOfThread(Seen[i].thread);
        const bool wanted = processId != 0 && WantsHook(processId);
        if (wanted && Seen[i].hook == nullptr) {
            Seen[i].hook = SetThreadHook(Target, Seen[i].id);
        } else if (!wanted && Seen[i].hook != nullptr) {
            ::UnhookWindowsHookEx(Seen[i].hook);
            Seen[i].hook = nullptr;
        }
    }
}

BOOL CALLBACK HookChildWindowThread(HWND window, LPARAM) {
    HookThreadOf(window);
    return TRUE;
}

// A top-level window and its children, which other threads may own.
BOOL CALLBACK HookWindowThreads(HWND window, LPARAM) {
    HookThreadOf(window);
    ::EnumChildWindows(window, HookChildWindowThread, 0);
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
    // The whole list before any hook: no excluded program gets one, not even for a moment.
    if (!vp::hook::ParseHostCommandLine(::GetCommandLineW(), Arguments)) {
        return 1;
    }
    HANDLE program = ::OpenProcess(SYNCHRONIZE, FALSE, Arguments.programProcessId);
    if (program == nullptr) {
        return 1;  // the program is gone already
    }
    SetThreadHook = LoadHookLibrary();
    if (SetThreadHook == nullptr) {
        ::CloseHandle(program);
        return 2;
    }
    Target = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(Arguments.targetWindow));
    // Watching first, then looking: a window that appears in between is seen twice,
    // which judges its thread once all the same.
    HWINEVENTHOOK watch =
        ::SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr, WindowAppeared, 0, 0,
                          WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    ::EnumWindows(HookWindowThreads, 0);
    // The thread's queue exists from here. Looking at the empty queue also tells whoever
    // waits for the host's input idle that the hooks are in place.
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    ::PostMessageW(Target, vp::hook::kHostReadyMessage, ::GetCurrentProcessId(),
                   static_cast<LPARAM>(::GetCurrentThreadId()));

    // The window events come between this thread's messages, so it keeps taking them.
    bool running = true;
    while (running && ::MsgWaitForMultipleObjects(1, &program, FALSE, INFINITE, QS_ALLINPUT) ==
                          WAIT_OBJECT_0 + 1) {
        while (running && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                running = false;
            } else if (message.message == vp::hook::kHostListMessage && message.hwnd == nullptr) {
                TakeNewList();
            } else {
                ::DispatchMessageW(&message);
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
