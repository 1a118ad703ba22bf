// The gesture hook's cost where users pay it: messages per second through a real message
// loop with VPHookProc installed, against a hook that only calls CallNextHookEx, in one
// process. Prints both rates and their ratio (target: within 1.05).
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "hook/VPHook.h"

namespace {

constexpr int kMessages = 200000;
constexpr int kRounds = 5;

HHOOK g_passThrough = nullptr;

LRESULT CALLBACK PassThroughProc(int code, WPARAM wParam, LPARAM lParam) {
    return ::CallNextHookEx(g_passThrough, code, wParam, lParam);
}

// Posts mouse messages without the gestures' modifiers (what most clicks and moves
// are) to a window of this thread and takes them out of the queue; messages per second.
double PumpRate(HWND window) {
    constexpr UINT kKinds[] = {WM_MOUSEMOVE,   WM_LBUTTONDOWN, WM_LBUTTONUP,
                               WM_RBUTTONDOWN, WM_RBUTTONUP,   WM_MOUSEMOVE};
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    MSG message;
    for (int sent = 0; sent < kMessages;) {
        // A batch at a time: the queue holds at most 10,000 posted messages.
        for (int i = 0; i < 1000; ++i, ++sent) {
            ::PostMessageA(window, kKinds[sent % 6], 0, 0);
        }
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageA(&message);
        }
    }
    ::QueryPerformanceCounter(&end);
    return kMessages * static_cast<double>(frequency.QuadPart) /
           static_cast<double>(end.QuadPart - start.QuadPart);
}

}  // namespace

int main() {
    HWND window =
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (window == nullptr) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    // The default gestures, so the hook makes its whole decision for every message.
    SetPopupWindowButton(0, 1, true);
    SetDefaultActionButton(2, 0, true);
    double best[2] = {0, 0};
    for (int round = 0; round < kRounds; ++round) {
        g_passThrough =
            ::SetWindowsHookExA(WH_GETMESSAGE, PassThroughProc, nullptr, ::GetCurrentThreadId());
        best[0] = std::max(best[0], PumpRate(window));
        ::UnhookWindowsHookEx(g_passThrough);

        if (SetVPHook(window) == nullptr) {
            std::fprintf(stderr, "the gesture hook could not be installed\n");
            return 1;
        }
        best[1] = std::max(best[1], PumpRate(window));
        UnhookVPHook();
    }
    std::printf("pass-through hook: %.0f messages/s\n", best[0]);
    std::printf("VPHookProc:        %.0f messages/s\n", best[1]);
    std::printf("pass-through / VPHookProc: %.3f (target: within 1.05)\n", best[0] / best[1]);
    return 0;
}
