// VPHookHost32.exe: installs the gesture hook in 32-bit applications for the 64-bit
// program, which cannot load a 32-bit library itself. It has no window; it takes the
// program's gestures from its command line and its thread's messages (hook/HookHost.h)
// and ends when told to or when the program's process ends, a crash included.
// It goes without the C runtime (its own entry point), to stay a few kilobytes small.
#include <windows.h>

#include "hook/HookHost.h"
#include "hook/VPHook.h"

namespace {

// The library's exports, bound by name: a missing library ends the host quietly, where
// a load-time import would stop it with the loader's message box.
struct HookLibrary {
    decltype(&SetVPHook) setHook = nullptr;
    decltype(&UnhookVPHook) unhook = nullptr;
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
        setHook = reinterpret_cast<decltype(setHook)>(
            reinterpret_cast<void*>(::GetProcAddress(module, "SetVPHook")));
        unhook = reinterpret_cast<decltype(unhook)>(
            reinterpret_cast<void*>(::GetProcAddress(module, "UnhookVPHook")));
        setPopup = reinterpret_cast<decltype(setPopup)>(
            reinterpret_cast<void*>(::GetProcAddress(module, "SetPopupWindowButton")));
        setDefault = reinterpret_cast<decltype(setDefault)>(
            reinterpret_cast<void*>(::GetProcAddress(module, "SetDefaultActionButton")));
        setExclusions = reinterpret_cast<decltype(setExclusions)>(
            reinterpret_cast<void*>(::GetProcAddress(module, "SetGestureExclusions")));
        return setHook && unhook && setPopup && setDefault;
    }

    void Apply(const vp::hook::GestureSetting& popup,
               const vp::hook::GestureSetting& defaultSite) const {
        setPopup(popup.modifierIndex, popup.buttonIndex, popup.enable);
        setDefault(defaultSite.modifierIndex, defaultSite.buttonIndex, defaultSite.enable);
    }
};

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
    const auto target = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(arguments->targetWindow));
    // The gestures are known before the hook exists, as in the program.
    library.Apply(arguments->popup, arguments->defaultSite);
    library.setHook(target);
    // The thread's queue exists from here: the gestures can be posted to it. Looking at
    // the empty queue also tells whoever waits for the host's input idle that the hook is
    // in place.
    MSG message;
    ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    ::PostMessageA(target, vp::hook::kHostReadyMessage, ::GetCurrentProcessId(),
                   static_cast<LPARAM>(::GetCurrentThreadId()));

    // 64-bit applications may call a 32-bit hook through its installing thread, which
    // must therefore keep taking messages.
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
    library.unhook();
    ::CloseHandle(program);
    return 0;
}

}  // namespace

// The entry point, in place of the C runtime's.
extern "C" void WINAPI HookHostEntry() {
    ::ExitProcess(static_cast<UINT>(Run()));
}
