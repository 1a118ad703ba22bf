// Exports of VPHook.dll, the system-wide mouse gesture hook. The main program binds
// them by name at load time.
#pragma once

#include <windows.h>

extern "C" {

// Installs the WH_GETMESSAGE hook for every thread of the desktop; the triggers go to
// target. Returns the hook, or null: with the last error ERROR_INVALID_OWNER when the
// hook's state is not this process's to write (another program made it, or writes it).
HHOOK WINAPI SetVPHook(HWND target);
// Installs the WH_GETMESSAGE hook for one thread, of any process of the library's
// bitness; the triggers go to target. Returns the hook, for UnhookWindowsHookEx, or null
// (ERROR_INVALID_OWNER: the hook's state was made by another program).
HHOOK WINAPI SetVPThreadHook(HWND target, DWORD threadId);
// Removes the hook of SetVPHook (one retry after 100 ms).
void WINAPI UnhookVPHook();
// Gesture settings: modifier index first, then button index. An index out of range
// keeps the previous value; enable is always stored.
void WINAPI SetPopupWindowButton(UINT modifierIndex, UINT buttonIndex, bool enable);
void WINAPI SetDefaultActionButton(UINT modifierIndex, UINT buttonIndex, bool enable);
// The programs whose clicks the hook leaves alone: up to 32 hashes of their file names
// (base/ProgramNames.h); more are cut off, a count of 0 names none. Takes effect in
// every process at its next message.
void WINAPI SetGestureExclusions(const unsigned long long* hashes, int count);
// Copies the programs whose clicks the hook leaves alone, as the state holds them, into
// `hashes` (room for `capacity`) and returns how many it copied; -1 when the state cannot
// be read.
int WINAPI GetGestureExclusions(unsigned long long* hashes, int capacity);
// The hook procedure, for the system.
LRESULT CALLBACK VPHookProc(int code, WPARAM wParam, LPARAM lParam);
}
