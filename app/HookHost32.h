// The host of the gesture hook in 32-bit applications (VPHookHost32.exe): started while
// the program's hook is installed and the program is active, ended with the hook, given
// every change of the gestures at once, and started again when it dies. Only a 64-bit
// program on a Windows that runs 32-bit applications has one.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/ProgramNames.h"
#include "core/Settings.h"
#include "win/Handle.h"

namespace vp {

class HookHost32 {
public:
    HookHost32() = default;
    ~HookHost32() { Stop(); }
    HookHost32(const HookHost32&) = delete;
    HookHost32& operator=(const HookHost32&) = delete;

    // Hands the gestures and the programs without gestures to the host; starts it when `run` and it
    // is not running, ends it when not `run`. `window` receives the triggers and the host's
    // messages.
    void Apply(HWND window, const TriggerSettings& triggers, const ProgramHashes& exclusions,
               bool run);
    // Removes the 32-bit hook: the host ends.
    void Stop();

    // The host with this process id takes messages now: it gets the gestures in force.
    void OnReady(DWORD processId);
    // The wait on the host's process ended: a host that died is started again, unless it
    // keeps dying right after its start.
    void OnEnded();

private:
    bool Start();
    void SendGestures() const;

    HWND window_ = nullptr;
    std::uint32_t popup_ = 0;
    std::uint32_t defaultSite_ = 0;
    ProgramHashes exclusions_;
    bool wanted_ = false;
    win::KernelHandle process_;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
    win::RegisteredWait wait_;
    ULONGLONG startedAt_ = 0;
    int quickEnds_ = 0;
};

}  // namespace vp
