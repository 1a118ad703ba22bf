// How long the two hot keys take over a selection, measured from outside the real
// Vantapicker.exe from the key press (SendInput): Ctrl+F1 until the popup is visible,
// and Ctrl+F2 until the stand-in browser has written down the URL it was given.
// Prints each sample, the median and the minimum.
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

// Ctrl+F1 until the popup is visible; negative when it did not appear.
double MeasurePopup(const RunningApp& app, const UrlRecorder&) {
    LARGE_INTEGER start;
    LARGE_INTEGER shown;
    ::SetCursorPos(300, 250);
    SettleInput();
    ::QueryPerformanceCounter(&start);
    PressKeysAtOnce({VK_CONTROL}, VK_F1);
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

// Ctrl+F2 until the recorder has logged one more URL; negative when none came.
double MeasureDefaultSearch(const RunningApp&, const UrlRecorder& recorder) {
    const std::size_t before = recorder.Urls().size();
    LARGE_INTEGER start;
    LARGE_INTEGER recorded;
    SettleInput();
    ::QueryPerformanceCounter(&start);
    PressKeysAtOnce({VK_CONTROL}, VK_F2);
    const ULONGLONG deadline = ::GetTickCount64() + 10000;
    while (recorder.Urls().size() <= before) {
        if (::GetTickCount64() >= deadline) {
            return -1;
        }
        ::Sleep(1);
    }
    ::QueryPerformanceCounter(&recorded);
    return Milliseconds(start, recorded);
}

using Measure = double (*)(const RunningApp&, const UrlRecorder&);

// Takes kSamples samples and prints them with their median and minimum; false when a
// sample failed.
bool Sample(const char* what, Measure measure, const RunningApp& app,
            const SelectionFixture& fixture, const UrlRecorder& recorder) {
    std::vector<double> samples;
    for (int i = 1; i <= kSamples; ++i) {
        if (!PrepareSample(app, fixture)) {
            std::fprintf(stderr, "%s, sample %d: could not bring the fixture forward\n", what, i);
            return false;
        }
        const double milliseconds = measure(app, recorder);
        if (milliseconds < 0) {
            std::fprintf(stderr, "%s, sample %d: nothing happened\n", what, i);
            return false;
        }
        samples.push_back(milliseconds);
        std::printf("%s, sample %2d: %6.1f ms\n", what, i, milliseconds);
        std::fflush(stdout);
    }
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    const double median = n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    std::printf("%s, %zu samples: median %.0f ms, minimum %.0f ms\n", what, n, median,
                samples.front());
    return true;
}

int Run() {
    ResetProgramState();
    bool measured = false;
    {
        UrlRecorder recorder;
        if (!recorder.Ready()) {
            std::fprintf(stderr, "could not set up the URL recorder\n");
            return 1;
        }
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
        measured = Sample("Ctrl+F1 to visible popup", MeasurePopup, app, fixture, recorder);
        if (measured) {
            std::printf("(the popup is shown %u ms after the trigger by design)\n",
                        kShowPopupDelayMs);
            measured =
                Sample("Ctrl+F2 to recorded URL", MeasureDefaultSearch, app, fixture, recorder);
        }
    }
    DeleteProgramKeys();
    return measured ? 0 : 1;
}

}  // namespace
}  // namespace vp

int main() {
    return vp::Run();
}
