// Timing helpers of the benchmarks that measure the real program under Wine: a tight
// poll (a test's WaitUntil looks only every 10 ms, too coarse for these figures), the
// performance counter in milliseconds and the median of samples.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
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

// What Linux counts for the process that runs a Windows program under Wine, in KB: Wine
// answers 0 to the counting calls for another process, and shows the Linux root as
// drive Z:, where /proc tells the rest. All zero when no such process runs.
struct LinuxMemory {
    std::size_t privateKb = 0;    // Private_Clean + Private_Dirty
    std::size_t pssKb = 0;        // Pss: shared pages split among their users
    std::size_t anonymousKb = 0;  // Anonymous: the heap and stacks (RssAnon)
};

// The first process whose command line holds `programName` (Wine gives it the Windows
// path of the program).
inline LinuxMemory LinuxMemoryOf(const char* programName) {
    LinuxMemory memory;
    WIN32_FIND_DATAA entry{};
    HANDLE search = ::FindFirstFileA("Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return memory;
    }
    do {
        const std::string folder = std::string("Z:\\proc\\") + entry.cFileName;
        std::ifstream commandLine(folder + "\\cmdline", std::ios::binary);
        const std::string arguments((std::istreambuf_iterator<char>(commandLine)), {});
        if (arguments.find(programName) == std::string::npos) {
            continue;
        }
        std::ifstream rollup(folder + "\\smaps_rollup");
        std::string line;
        while (std::getline(rollup, line)) {
            const std::size_t kb = std::strtoul(line.c_str() + line.find(':') + 1, nullptr, 10);
            if (line.rfind("Private_", 0) == 0) {
                memory.privateKb += kb;
            } else if (line.rfind("Pss:", 0) == 0) {
                memory.pssKb = kb;
            } else if (line.rfind("Anonymous:", 0) == 0) {
                memory.anonymousKb = kb;
            }
        }
        break;
    } while (::FindNextFileA(search, &entry));
    ::FindClose(search);
    return memory;
}

}  // namespace vp::bench
