// PassThroughHook.dll: a WH_GETMESSAGE hook that only calls the next hook, installed for
// the desktop from its own library as the program installs VPHook.dll, so that the hook
// cost benchmark compares the two procedures with everything else alike.
#include <windows.h>

namespace {

HINSTANCE ModuleInstance = nullptr;
HHOOK HookHandle = nullptr;

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ModuleInstance = instance;
    }
    return TRUE;
}

extern "C" {

__declspec(dllexport) LRESULT CALLBACK PassThroughProc(int code, WPARAM wParam, LPARAM lParam) {
    return ::CallNextHookEx(HookHandle, code, wParam, lParam);
}

__declspec(dllexport) HHOOK WINAPI SetPassThroughHook() {
    HookHandle = ::SetWindowsHookExW(WH_GETMESSAGE, PassThroughProc, ModuleInstance, 0);
    return HookHandle;
}

__declspec(dllexport) void WINAPI UnhookPassThroughHook() {
    ::UnhookWindowsHookEx(HookHandle);
}

}  // extern "C"
