// The memory of the real Vantapicker.exe under Wine, against a bare tray program in the
// same prefix (one hidden window and an icon): anonymous memory and Pss of each
// program's own Linux process, Vantapicker idle after its start and after 50 popups over
// a selection (Ctrl+F1). Prints the figures and their ratios; nothing here passes or fails.
#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <string>

#include "bench/LatencySupport.h"
#include "bench/ProgramSamples.h"
#include "tests/win/Fixtures.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"

namespace vp {
namespace {

using bench::LinuxMemory;
using bench::LinuxMemoryOf;
using bench::PrepareSample;
using bench::SpinUntil;

constexpr int kPopups = 50;
// Long enough for a program's start-up work and Wine's own to settle.
constexpr DWORD kSettleMs = 2000;
// How long the start's worker threads (the 32-bit host's start) may take to end.
constexpr DWORD kWorkersEndMs = 15000;
constexpr DWORD kSpacingMs = 2000;

// The threads of the process with this id.
int ThreadCountOf(DWORD processId) {
    const win::FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more =
             snapshot.Get() != INVALID_HANDLE_VALUE && ::Thread32First(snapshot.Get(), &entry);
         more; more = ::Thread32Next(snapshot.Get(), &entry)) {
        count += entry.th32OwnerProcessID == processId ? 1 : 0;
    }
    return count;
}

void Print(const char* what, const LinuxMemory& memory) {
    std::printf("%s: anonymous %zu KB, Pss %zu KB\n", what, memory.anonymousKb, memory.pssKb);
}

double Ratio(std::size_t a, std::size_t b) {
    return b == 0 ? 0.0 : static_cast<double>(a) / static_cast<double>(b);
}

LinuxMemory BareTrayMemory() {
    DWORD processId = 0;
    const win::KernelHandle bare =
        StartHelperProgram("\"" + TestProgramFolder() + "vp_bare_tray.exe\"", &processId);
    if (!bare ||
        !SpinUntil([] { return ::FindWindowA("QH_BareTrayWnd", nullptr) != nullptr; }, 10000)) {
        return {};
    }
    ::Sleep(kSettleMs);
    const LinuxMemory memory = LinuxMemoryOf("vp_bare_tray.exe");
    ::PostMessageA(::FindWindowA("QH_BareTrayWnd", nullptr), WM_CLOSE, 0, 0);
    ::WaitForSingleObject(bare.Get(), 5000);
    EndHelperProgram(bare);
    return memory;
}

// One popup over the fixture's selection by Ctrl+F1, taken from the fixture in front with
// the program idle. Under Wine a hot key pressed soon after a window was hidden can take
// 1.7 s to arrive, and a synthesized modifier can be lifted before its key arrives:
// popups are spaced, and a lost one is taken again.
bool ShowPopup(const RunningApp& app, const SelectionFixture& fixture) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        ::Sleep(kSpacingMs);
        if (!PrepareSample(app, fixture)) {
            return false;
        }
        ::SetCursorPos(300, 250);
        SettleInput();
        PressKeysAtOnce({VK_CONTROL}, VK_F1);
        if (SpinUntil([&] { return ::IsWindowVisible(app.MainWindow()) != FALSE; }, 5000)) {
            // Let the showing finish (the popup takes the foreground) before the next step.
            SpinUntil([&] { return ::GetForegroundWindow() == app.MainWindow(); }, 2000);
            return true;
        }
    }
    return false;
}

int Run() {
    ResetProgramState();
    LinuxMemory idle;
    LinuxMemory after;
    {
        RunningApp app;
        SelectionFixture fixture("memory");
        if (!app.Ready() || !fixture.Ready()) {
            std::fprintf(stderr, "the program or the fixture did not start\n");
            return 1;
        }
        // Idle: the start's worker threads have ended (each thread's stack is about 1 MB
        // of anonymous memory under Wine), and Wine's own work has settled.
        const DWORD processId = ::GetProcessId(app.Process().Process());
        const bool workersEnded =
            SpinUntil([&] { return ThreadCountOf(processId) == 1; }, kWorkersEndMs);
        ::Sleep(kSettleMs);
        idle = LinuxMemoryOf("Vantapicker.exe");
        if (!workersEnded) {
            std::printf("(the program still had %d threads when measured idle)\n",
                        ThreadCountOf(processId));
        }
        for (int i = 1; i <= kPopups; ++i) {
            if (!ShowPopup(app, fixture)) {
                std::fprintf(stderr, "popup %d did not show\n", i);
                return 1;
            }
        }
        PrepareSample(app, fixture);  // the last popup hidden again
        ::Sleep(kSettleMs);
        after = LinuxMemoryOf("Vantapicker.exe");
        app.ExitThroughTrayMenu();
    }
    DeleteProgramKeys();
    const LinuxMemory bare = BareTrayMemory();
    if (bare.anonymousKb == 0) {
        std::fprintf(stderr, "the bare tray program could not be measured\n");
        return 1;
    }

    Print("bare tray program, idle", bare);
    Print("Vantapicker, idle after start", idle);
    Print("Vantapicker, after 50 popups", after);
    std::printf(
        "idle against the bare program: anonymous %.2fx, Pss %.2fx (target: anonymous "
        "at most 2x)\n",
        Ratio(idle.anonymousKb, bare.anonymousKb), Ratio(idle.pssKb, bare.pssKb));
    std::printf(
        "after 50 popups against idle: anonymous %+.1f %%, Pss %+.1f %% (target: at "
        "most +5 %%)\n",
        100.0 * (Ratio(after.anonymousKb, idle.anonymousKb) - 1.0),
        100.0 * (Ratio(after.pssKb, idle.pssKb) - 1.0));
    return 0;
}

}  // namespace
}  // namespace vp

int main() {
    return vp::Run();
}
