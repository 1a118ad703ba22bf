// The user-interface thread's own message hooks around the popup, which is the main
// window: its keys in the modal loops of dialogs, and the gate of its search box.
#pragma once

#include <windows.h>

#include "win/Handle.h"

namespace vp {

// While a modal dialog runs its own message loop, the program's loop with the popup's
// accelerator table does not run: the dialog manager's message filter hands the popup's
// keys to that table instead, so the popup keeps its keys while a dialog is open.
class PopupKeysInModalLoop {
public:
    explicit PopupKeysInModalLoop(HWND popup);
    ~PopupKeysInModalLoop();
    PopupKeysInModalLoop(const PopupKeysInModalLoop&) = delete;
    PopupKeysInModalLoop& operator=(const PopupKeysInModalLoop&) = delete;

private:
    static LRESULT CALLBACK Filter(int code, WPARAM wParam, LPARAM lParam);

    // One user-interface thread: the outermost dialog's filter serves nested ones too.
    static inline HWND popup_ = nullptr;
    static inline HACCEL keys_ = nullptr;
    static inline win::HookHandle hook_;
    bool installed_ = false;
};

// Posted messages of the private ranges (WM_USER up to the registered ones) carry meaning
// only for the main window and the links, whose handlers check them. The search box's
// controls take pointers in theirs (the extended combo box's items): one posted to them
// is another program's and is dropped, in whichever of the thread's loops it arrives.
class SearchBoxGate {
public:
    // From the popup's creation to its destruction.
    void Install(HWND popup);
    void Remove();

private:
    static LRESULT CALLBACK DropPrivateMessages(int code, WPARAM wParam, LPARAM lParam);

    static inline HWND popup_ = nullptr;  // one user-interface thread
    win::HookHandle hook_;
};

}  // namespace vp
