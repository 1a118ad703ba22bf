// The gesture hook's cost where users pay it: messages per second through a real message
// loop with VPHookProc installed, against a hook that only calls CallNextHookEx, in one
// process. Two pairs, each installed alike (target for each: within 1.05):
//   - both procedures as hooks of this thread without a module: VPHookProc's own work;
//   - both installed for the desktop from a library of their own, VPHook.dll by SetVPHook
//     as the program does and PassThroughHook.dll beside it: what users pay, as the
//     system also finds the library of each call there.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "hook/VPHook.h"

namespace {

// Many short rounds, the four hooks in turn: the machine's swings, which are larger than
// the hook's cost under Wine, then touch every kind alike, and the best round of each
// hook is the one least disturbed.
constexpr int kMessages = 20000;
constexpr int kRounds = 25;

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
    // The program's window as the target, as SetVPHook leaves it.
    if (SetVPHook(window) == nullptr) {
        std::fprintf(stderr, "the gesture hook could not be installed\n");
        return 1;
    }
    UnhookVPHook();
    // Beside this program, as VPHook.dll is beside Vantapicker.exe.
    HMODULE library = ::LoadLibraryA("PassThroughHook.dll");
    const auto function = [library](const char* name) {
        return reinterpret_cast<void (*)()>(::GetProcAddress(library, name));
    };
    const auto setPassThrough = reinterpret_cast<HHOOK(WINAPI*)()>(function("SetPassThroughHook"));
    const auto unhookPassThrough =
        reinterpret_cast<void(WINAPI*)()>(function("UnhookPassThroughHook"));
    const auto passThroughProc = reinterpret_cast<HOOKPROC>(function("PassThroughProc"));
    if (setPassThrough == nullptr || unhookPassThrough == nullptr || passThroughProc == nullptr) {
        std::fprintf(stderr, "PassThroughHook.dll could not be loaded\n");
        return 1;
    }
    const DWORD thread = ::GetCurrentThreadId();
    double passThrough = 0, gesture = 0, libraryPassThrough = 0, libraryGesture = 0;
    for (int round = 0; round < kRounds; ++round) {
        // The library's procedure as a hook of this thread, without its module.
        HHOOK hook = ::SetWindowsHookExA(WH_GETMESSAGE, passThroughProc, nullptr, thread);
        passThrough = std::max(passThrough, PumpRate(window));
        ::UnhookWindowsHookEx(hook);

        hook = ::SetWindowsHookExA(WH_GETMESSAGE, VPHookProc, nullptr, thread);
        gesture = std::max(gesture, PumpRate(window));
        ::UnhookWindowsHookEx(hook);

        setPassThrough();
        libraryPassThrough = std::max(libraryPassThrough, PumpRate(window));
        unhookPassThrough();

        SetVPHook(window);
        libraryGesture = std::max(libraryGesture, PumpRate(window));
        UnhookVPHook();
    }
    std::printf(
        "hooks of this thread:   pass-through %.0f, VPHookProc %.0f messages/s: "
        "%.3f (target: within 1.05)\n",
        passThrough, gesture, passThrough / gesture);
    std::printf(
        "hooks for the desktop:  PassThroughHook.dll %.0f, VPHook.dll %.0f messages/s: "
        "%.3f (target: within 1.05)\n",
        libraryPassThrough, libraryGesture, libraryPassThrough / libraryGesture);
    return 0;
}
