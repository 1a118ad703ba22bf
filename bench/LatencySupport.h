// Timing helpers of the benchmarks that measure the real program under Wine: a tight
// poll (a test's WaitUntil looks only every 10 ms, too coarse for these figures), the
// performance counter in milliseconds and the median of samples.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace vp::bench {

// Polls the condition, yielding between looks; false on time-out.
template <typename Condition>
bool SpinUntil(Condition condition, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        ::SwitchToThread();
    }
    return true;
}

inline LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now;
}

inline double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    return n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// Prints the samples' median and minimum under a name; returns the median.
inline double PrintSummary(const char* what, const std::vector<double>& samples) {
    const double median = Median(samples);
    std::printf("%s, %zu samples: median %.0f ms, minimum %.0f ms\n", what, samples.size(), median,
                *std::min_element(samples.begin(), samples.end()));
    std::fflush(stdout);
    return median;
}

}  // namespace vp::bench
