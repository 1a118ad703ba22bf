#include "app/HookHost32.h"

#include <atomic>
#include <memory>
#include <string>
#include <utility>

#include "hook/HookHost.h"
#include "win/WinText.h"

namespace vp {

// A start of the host, shared by the program and the thread that creates the process:
// the thread fills `process` and then sets `done`; the program takes the process from
// here, never from a message. A host that the program never took is ended with it.
struct HookHost32::HostStart {
    HWND window = nullptr;
    WPARAM number = 0;
    std::wstring application;
    std::wstring commandLine;
    PROCESS_INFORMATION process{};
    std::atomic<bool> done{false};

    HostStart() = default;
    HostStart(const HostStart&) = delete;
    HostStart& operator=(const HostStart&) = delete;
    ~HostStart() {
        if (process.hProcess != nullptr) {
            ::TerminateProcess(process.hProcess, 1);
            ::CloseHandle(process.hProcess);
        }
    }
};

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
    wchar_t folder[MAX_PATH] = {};
    return ::GetSystemWow64DirectoryW(folder, MAX_PATH) != 0;
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

// On a thread of its own: creating a process takes long enough (a 32-bit one under Wine
// most of all) to be felt at the program's start. The host runs only once its start is
// recorded, so its ready message never comes before the program knows its ids.
DWORD WINAPI CreateHostProcess(void* context) {
    const std::unique_ptr<std::shared_ptr<HookHost32::HostStart>> shared(
        static_cast<std::shared_ptr<HookHost32::HostStart>*>(context));
    HookHost32::HostStart& start = **shared;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const bool created =
        ::CreateProcessW(start.application.c_str(), start.commandLine.data(), nullptr, nullptr,
                         FALSE, CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &startup,
                         &process) != 0;
    // Without a host beside the program, 32-bit applications go without.
    start.process = {process.hProcess, nullptr, process.dwProcessId, process.dwThreadId};
    start.done.store(true, std::memory_order_release);
    ::PostMessageW(start.window, kHostStartedMessage, start.number, 0);
    if (created) {
        ::ResumeThread(process.hThread);
        ::CloseHandle(process.hThread);
    }
    return 0;
}

// An absolute folder: a drive's or a share's. Anything else would start whatever
// program of that name the current folder holds.
bool IsAbsoluteFolder(const std::u16string& folder) {
    return (folder.size() >= 3 && folder[1] == u':' && folder[2] == u'\\') ||
           (folder.size() >= 2 && folder[0] == u'\\' && folder[1] == u'\\');
}

}  // namespace

void HookHost32::Apply(HWND window, const ProgramHashes& exclusions, bool run) {
    window_ = window;
    exclusions_ = exclusions;
    if (!run) {
        Stop();
        return;
    }
    if (!wanted_) {
        wanted_ = true;
        quickEnds_ = 0;
    }
    Follow();
}

void HookHost32::Follow() {
    if (pending_) {
        return;  // OnStarted follows again
    }
    // A running host takes a new list from the hook state and keeps its other hooks, so
    // 32-bit applications keep their gestures across it. One that cannot be told yet (its
    // thread takes no messages so far) is started afresh with the list.
    if (process_ && wanted_ && hostList_ != exclusions_ &&
        ::PostThreadMessageW(threadId_, hook::kHostListMessage, 0, 0)) {
        hostList_ = exclusions_;
    }
    if (process_ && (!wanted_ || hostList_ != exclusions_)) {
        EndHost();
    }
    if (!process_ && wanted_) {
        StartAsync();
    }
}

void HookHost32::StartAsync() {
    const std::u16string folder = WideProgramFolder();
    if (!HostNeeded() || !IsAbsoluteFolder(folder)) {
        return;
    }
    auto start = std::make_shared<HostStart>();
    start->window = window_;
    start->number = ++startNumber_;
    start->application.assign(folder.begin(), folder.end());
    start->application.append(std::begin(hook::kHookHost32FileName),
                              std::end(hook::kHookHost32FileName) - 1);
    // The narrow formatter widened: std::to_wstring would pull the C library's wide
    // formatting into the program.
    auto number = [](std::uint64_t value) {
        const std::string digits = std::to_string(value);
        return std::wstring(digits.begin(), digits.end());
    };
    start->commandLine = L"\"" + start->application + L"\" " +
                         number(static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(window_))) +
                         L" " + number(::GetCurrentProcessId()) + L" " +
                         number(static_cast<std::uint64_t>(exclusions_.count));
    for (int i = 0; i < exclusions_.count; ++i) {
        start->commandLine += L" " + number(exclusions_.hashes[static_cast<std::size_t>(i)]);
    }
    auto shared = std::make_unique<std::shared_ptr<HostStart>>(start);
    if (!::QueueUserWorkItem(CreateHostProcess, shared.get(), WT_EXECUTEDEFAULT)) {
        return;
    }
    shared.release();
    pending_ = std::move(start);
    hostList_ = exclusions_;
    startedAt_ = ::GetTickCount64();
}

void HookHost32::OnStarted(WPARAM startNumber) {
    if (!pending_ || startNumber != pending_->number ||
        !pending_->done.load(std::memory_order_acquire)) {
        return;
    }
    const std::shared_ptr<HostStart> start = std::move(pending_);
    if (start->process.hProcess == nullptr) {
        return;
    }
    process_.Reset(std::exchange(start->process.hProcess, nullptr));
    processId_ = start->process.dwProcessId;
    threadId_ = start->process.dwThreadId;
    endNotice_ = {window_, processId_};
    if (!::RegisterWaitForSingleObject(wait_.Receive(), process_.Get(), PostEnded, &endNotice_,
                                       INFINITE, WT_EXECUTEONLYONCE)) {
        wait_.Release();
    }
    Follow();  // ended at once if it is no longer wanted or its list changed meanwhile
}

void CALLBACK HookHost32::PostEnded(void* notice, BOOLEAN) {
    const auto* ended = static_cast<const EndNotice*>(notice);
    ::PostMessageW(ended->window, hook::kHostEndedMessage, ended->processId, 0);
}

bool HookHost32::IsOwnHost(WPARAM processId, LPARAM threadId) const {
    return process_ && processId == processId_ && static_cast<DWORD>(threadId) == threadId_;
}

void HookHost32::Stop() {
    wanted_ = false;
    EndHost();  // one still starting is ended when it is handed over
}

void HookHost32::EndHost() {
    wait_.Reset();  // before the process ends: its end is no reason to start it again
    if (!process_) {
        return;
    }
    // A host that does not take messages yet has not installed its hooks either; the
    // system removes the hooks of an ended thread in any case.
    if (!::PostThreadMessageW(threadId_, WM_QUIT, 0, 0) ||
        !WaitAnswering(process_.Get(), kEndWaitMs)) {
        ::TerminateProcess(process_.Get(), 1);
        WaitAnswering(process_.Get(), kEndWaitMs);
    }
    process_.Reset();
    processId_ = threadId_ = 0;
}

void HookHost32::OnEnded(WPARAM processId) {
    if (!process_ || processId != processId_ ||
        ::WaitForSingleObject(process_.Get(), 0) != WAIT_OBJECT_0) {
        return;  // a notice about a host that was ended on purpose, or a later one runs
    }
    wait_.Reset();
    process_.Reset();
    processId_ = threadId_ = 0;
    quickEnds_ = ::GetTickCount64() - startedAt_ < kQuickEndMs ? quickEnds_ + 1 : 0;
    if (quickEnds_ < kQuickEndsBeforeGivingUp) {
        Follow();
    }
}

}  // namespace vp
