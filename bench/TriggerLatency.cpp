// How long the popup takes to appear after Ctrl+F1 over a selection, measured from
// outside the real Vantapicker.exe: from the key press (SendInput) to the main window
// being visible. Prints each sample, the median and the minimum.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/MainWindow.h"
#include "tests/win/Fixtures.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"

namespace vp {
namespace {

constexpr int kSamples = 20;
constexpr UINT kFixtureComeForward = WM_APP + 4;  // SelectionFixture.exe takes the foreground

template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        ::Sleep(5);
    }
    return true;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// The fixture in front with its selection and the popup hidden, and the program idle
// again (hiding a window can keep its thread busy for a while under Wine).
bool PrepareSample(const RunningApp& app, const SelectionFixture& fixture) {
    ::PostMessageA(fixture.Window(), kFixtureComeForward, 0, 0);
    if (!WaitFor(
            [&] {
                return ::GetForegroundWindow() == fixture.Window() &&
                       !::IsWindowVisible(app.MainWindow());
            },
            5000)) {
        return false;
    }
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutA(app.MainWindow(), WM_NULL, 0, 0, SMTO_BLOCK, 10000, &answer) != 0;
}

// One sample in milliseconds, or a negative number when the popup did not appear.
double MeasureOnce(const RunningApp& app) {
    LARGE_INTEGER start;
    LARGE_INTEGER shown;
    ::SetCursorPos(300, 250);
    ::QueryPerformanceCounter(&start);
    PressKeys({VK_CONTROL}, VK_F1);
    const ULONGLONG deadline = ::GetTickCount64() + 5000;
    while (!::IsWindowVisible(app.MainWindow())) {
        if (::GetTickCount64() >= deadline) {
            return -1;
        }
        ::SwitchToThread();
    }
    ::QueryPerformanceCounter(&shown);
    // Let the showing finish before the next sample hides it again.
    WaitFor([&] { return ::GetForegroundWindow() == app.MainWindow(); }, 2000);
    return Milliseconds(start, shown);
}

int Run() {
    ResetProgramState();
    int result = 0;
    {
        RunningApp app;
        if (!app.Ready()) {
            std::fprintf(stderr, "Vantapicker.exe did not start\n");
            return 1;
        }
        SelectionFixture fixture("latency");
        if (!fixture.Ready()) {
            std::fprintf(stderr, "no selection fixture: %s\n", fixture.Problem().c_str());
            return 1;
        }
        std::vector<double> samples;
        for (int i = 1; i <= kSamples; ++i) {
            if (!PrepareSample(app, fixture)) {
                std::fprintf(stderr, "sample %d: could not bring the fixture forward\n", i);
                result = 1;
                break;
            }
            const double milliseconds = MeasureOnce(app);
            if (milliseconds < 0) {
                std::fprintf(stderr, "sample %d: the popup did not appear\n", i);
                result = 1;
                break;
            }
            samples.push_back(milliseconds);
            std::printf("sample %2d: %6.1f ms\n", i, milliseconds);
            std::fflush(stdout);
        }
        if (!samples.empty()) {
            std::sort(samples.begin(), samples.end());
            const std::size_t n = samples.size();
            const double median =
                n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
            std::printf(
                "Ctrl+F1 to visible popup, %zu samples: median %.0f ms, minimum %.0f ms (the "
                "popup is shown %u ms after the trigger by design)\n",
                n, median, samples.front(), kShowPopupDelayMs);
        }
    }
    DeleteProgramKeys();
    return result;
}

}  // namespace
}  // namespace vp

int main() {
    return vp::Run();
}
