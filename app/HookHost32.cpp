#include "app/HookHost32.h"

#include <string>

#include "hook/HookHost.h"
#include "win/WinText.h"

namespace vp {
namespace {

// A host that ends this soon after its start, this many times in a row, is not started
// again until the gestures are next applied: a host that cannot run must not make the
// program start processes without end.
constexpr ULONGLONG kQuickEndMs = 3000;
constexpr int kQuickEndsBeforeGivingUp = 3;
constexpr DWORD kEndWaitMs = 2000;

// Only a 64-bit program has a host, and only on a Windows with its 32-bit side (the
// WoW64 system folder).
bool HostNeeded() {
#if defined(_WIN64)
    char folder[MAX_PATH] = {};
    return ::GetSystemWow64DirectoryA(folder, MAX_PATH) != 0;
#else
    return false;
#endif
}

// Waits for `object` while still answering messages sent to this thread: on Windows the
// 64-bit hook runs out of context on this thread for 32-bit applications, and those
// applications would wait on it until the wait ended.
bool WaitAnswering(HANDLE object, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        const DWORD left = now < end ? static_cast<DWORD>(end - now) : 0;
        const DWORD result = ::MsgWaitForMultipleObjects(1, &object, FALSE, left, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0) {
            return true;
        }
        if (result != WAIT_OBJECT_0 + 1) {
            return false;  // timed out or failed
        }
        // Delivers the sent messages only; posted ones stay queued for the message loop.
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void CALLBACK HostProcessEnded(void* window, BOOLEAN) {
    ::PostMessageA(static_cast<HWND>(window), hook::kHostEndedMessage, 0, 0);
}

std::uint32_t Packed(std::uint32_t modifierIndex, std::uint32_t buttonIndex, bool enable) {
    return hook::PackGesture({modifierIndex, buttonIndex, enable});
}

}  // namespace

void HookHost32::Apply(HWND window, const TriggerSettings& triggers,
                       const ProgramHashes& exclusions, bool run) {
    window_ = window;
    exclusions_ = exclusions;
    popup_ =
        Packed(triggers.PopupWindowKey, triggers.PopupWindowButton, triggers.EnablePopupWindow);
    defaultSite_ = Packed(triggers.DefaultActionKey, triggers.DefaultActionButton,
                          triggers.EnableDefaultAction);
    if (!run) {
        Stop();
        return;
    }
    if (!wanted_) {
        wanted_ = true;
        quickEnds_ = 0;
    }
    if (process_) {
        SendGestures();
    } else {
        Start();
    }
}

bool HookHost32::Start() {
    if (!HostNeeded()) {
        return false;
    }
    const std::string host = ProgramFolder() + hook::kHookHost32FileName;
    std::string commandLine =
        "\"" + host + "\" " +
        std::to_string(static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(window_))) + " " +
        std::to_string(::GetCurrentProcessId()) + " " + std::to_string(popup_) + " " +
        std::to_string(defaultSite_);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(host.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                          CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info)) {
        return false;  // no host beside the program: 32-bit applications go without
    }
    ::CloseHandle(info.hThread);
    process_.Reset(info.hProcess);
    processId_ = info.dwProcessId;
    threadId_ = info.dwThreadId;
    startedAt_ = ::GetTickCount64();
    if (!::RegisterWaitForSingleObject(wait_.Receive(), process_.Get(), HostProcessEnded, window_,
                                       INFINITE, WT_EXECUTEONLYONCE)) {
        wait_.Release();
    }
    return true;
}

void HookHost32::Stop() {
    wanted_ = false;
    wait_.Reset();  // before the process ends: its end is no reason to start it again
    if (!process_) {
        return;
    }
    // A host that does not take messages yet has not installed its hook either; the
    // system removes the hook of an ended thread in any case.
    if (!::PostThreadMessageA(threadId_, WM_QUIT, 0, 0) ||
        !WaitAnswering(process_.Get(), kEndWaitMs)) {
        ::TerminateProcess(process_.Get(), 1);
        WaitAnswering(process_.Get(), kEndWaitMs);
    }
    process_.Reset();
    processId_ = threadId_ = 0;
}

void HookHost32::SendGestures() const {
    // Before the host takes messages this fails; its ready message then asks again.
    if (!::PostThreadMessageA(threadId_, hook::kHostGesturesMessage, popup_, defaultSite_)) {
        return;
    }
    // The list in 32-bit halves (the host's message parameters), then its end, on which
    // the host hands it over whole.
    for (int slot = 0; slot < exclusions_.count; ++slot) {
        const std::uint64_t hash = exclusions_.hashes[static_cast<std::size_t>(slot)];
        for (WPARAM half = 0; half < 2; ++half) {
            ::PostThreadMessageA(
                threadId_, hook::kHostExclusionMessage, static_cast<WPARAM>(slot) * 2 + half,
                static_cast<LPARAM>(static_cast<std::uint32_t>(hash >> (32 * half))));
        }
    }
    ::PostThreadMessageA(threadId_, hook::kHostExclusionsEndMessage,
                         static_cast<WPARAM>(exclusions_.count), 0);
}

void HookHost32::OnReady(DWORD processId) {
    if (process_ && processId == processId_) {
        SendGestures();
    }
}

void HookHost32::OnEnded() {
    if (!process_ || ::WaitForSingleObject(process_.Get(), 0) != WAIT_OBJECT_0) {
        return;  // a notice about a host that was ended on purpose, or a later one runs
    }
    wait_.Reset();
    process_.Reset();
    processId_ = threadId_ = 0;
    quickEnds_ = ::GetTickCount64() - startedAt_ < kQuickEndMs ? quickEnds_ + 1 : 0;
    if (wanted_ && quickEnds_ < kQuickEndsBeforeGivingUp) {
        Start();
    }
}

}  // namespace vp
