// The host of the gesture hook in 32-bit applications (VPHookHost32.exe): started while
// the program's hook is installed and the program is active, ended with the hook, told of
// each new list of programs without gestures, and started again when it dies.
// It is started by another thread, so the program never waits for it. Only a 64-bit
// program on a Windows that runs 32-bit applications has one.
#pragma once

#include <windows.h>

#include <memory>

#include "base/ProgramNames.h"
#include "win/Handle.h"

namespace vp {

// To the main window, from the thread that started the host: wParam the number of that
// start. What it gave waits in the pending start; the message only says that it is there.
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

    // kHostStartedMessage: the host of the pending start runs, or could not be started.
    // Any other number, or a start that has not finished, is ignored.
    void OnStarted(WPARAM startNumber);
    // Whether kHostReadyMessage's numbers (the host's process and thread ids) are those of
    // the running host that this program started.
    bool IsOwnHost(WPARAM processId, LPARAM threadId) const;
    // kHostEndedMessage, from the wait on the host's process (wParam its id): a host that
    // died is started again, unless it keeps dying right after its start. Acts only when
    // that host has really ended.
    void OnEnded(WPARAM processId);

private:
    // The wait's callback, on a thread of the pool.
    static void CALLBACK PostEnded(void* notice, BOOLEAN);
    // Starts or ends the host as wanted, and ends one that has an old list.
    void Follow();
    void StartAsync();
    void EndHost();

    // What the wait on the host's process posts when it ends.
    struct EndNotice {
        HWND window = nullptr;
        DWORD processId = 0;
    };

    HWND window_ = nullptr;
    ProgramHashes exclusions_;  // the list in force
    ProgramHashes hostList_;    // the list that the running or starting host was given
    bool wanted_ = false;
    // The start under way, shared with the thread that makes the process; its number.
    std::shared_ptr<HostStart> pending_;
    WPARAM startNumber_ = 0;
    win::KernelHandle process_;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
    EndNotice endNotice_;  // read by the wait's callback until wait_ ends
    win::RegisteredWait wait_;
    ULONGLONG startedAt_ = 0;
    int quickEnds_ = 0;
};

}  // namespace vp
