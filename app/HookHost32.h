// The host of the gesture hook in 32-bit applications (VPHookHost32.exe): started while
// the program's hook is installed and the program is active, ended with the hook, told of
// each new list of programs without gestures, and started again when it dies.
// It is started by another thread, so the program never waits for it. Only a 64-bit
// program on a Windows that runs 32-bit applications has one.
#pragma once

#include <windows.h>

#include "base/ProgramNames.h"
#include "win/Handle.h"

namespace vp {

// To the main window, from the thread that started the host: lParam a HostStart, which
// the handler owns.
inline constexpr UINT kHostStartedMessage = 0x8000 + 66;  // WM_APP+66

class HookHost32 {
public:
    struct HostStart;

    HookHost32() = default;
    ~HookHost32() { Stop(); }
    HookHost32(const HookHost32&) = delete;
    HookHost32& operator=(const HookHost32&) = delete;

    // Hands the programs without gestures to the host; starts it when `run` and it is
    // not running, ends it when not `run`. `window` receives the triggers and the host's
    // messages.
    void Apply(HWND window, const ProgramHashes& exclusions, bool run);
    // Removes the 32-bit hook: the host ends.
    void Stop();

    // kHostStartedMessage: the host of the latest start runs, or could not be started.
    void OnStarted(LPARAM start);
    // The wait on the host's process ended: a host that died is started again, unless it
    // keeps dying right after its start.
    void OnEnded();

private:
    // Starts or ends the host as wanted, and ends one that has an old list.
    void Follow();
    void StartAsync();
    void EndHost();

    HWND window_ = nullptr;
    ProgramHashes exclusions_;  // the list in force
    ProgramHashes hostList_;    // the list that the running or starting host was given
    bool wanted_ = false;
    bool starting_ = false;
    win::KernelHandle process_;
    DWORD threadId_ = 0;
    win::RegisteredWait wait_;
    ULONGLONG startedAt_ = 0;
    int quickEnds_ = 0;
};

}  // namespace vp
