// Turning a gesture or hot key into a search text: the foreground application is made
// to copy its selection, and the copy is caught as a clipboard viewer.
#include <windows.h>

#include "app/AnsiText.h"
#include "app/HotKeys.h"
#include "app/MainWindow.h"
#include "app/Messages.h"
#include "app/WinText.h"
#include "hook/VPHook.h"

namespace vp {

void MainWindow::ApplyTriggers() {
    SetPopupWindowButton(Triggers.PopupWindowKey, Triggers.PopupWindowButton,
                         Active && Triggers.EnablePopupWindow);
    SetDefaultActionButton(Triggers.DefaultActionKey, Triggers.DefaultActionButton,
                           Active && Triggers.EnableDefaultAction);
    RegisterTriggerHotKey(HOTKEY_POPUP, Triggers.PopupWindowHotModifier, Triggers.PopupWindowHotKey,
                          Active && Triggers.EnablePopupWindowHotKey);
    RegisterTriggerHotKey(HOTKEY_DEFAULT, Triggers.DefaultActionHotModifier,
                          Triggers.DefaultActionHotKey,
                          Active && Triggers.EnableDefaultActionHotKey);
}

void MainWindow::RegisterTriggerHotKey(int id, std::uint32_t modifierIndex, std::uint32_t keyIndex,
                                       bool enable) {
    bool& registered = id == HOTKEY_POPUP ? PopupHotKeyRegistered : DefaultHotKeyRegistered;
    if (registered && ::UnregisterHotKey(Handle(), id)) {
        registered = false;
    }
    auto modifiers = HotKeyModifiers(modifierIndex);
    auto virtualKey = HotKeyVirtualKey(keyIndex);
    if (!enable || !modifiers || !virtualKey) {
        return;  // an index outside its list registers nothing
    }
    if (::RegisterHotKey(Handle(), id, *modifiers, *virtualKey)) {
        registered = true;
    }
}

void MainWindow::SendKeyEvent(BYTE virtualKey, bool press) {
    DWORD flags = press ? 0 : KEYEVENTF_KEYUP;
    switch (virtualKey) {
        case VK_INSERT:
        case VK_RWIN:
        case VK_RSHIFT:
        case VK_RCONTROL:
        case VK_RMENU:
            flags |= KEYEVENTF_EXTENDEDKEY;
            break;
        default:
            break;
    }
    ::keybd_event(virtualKey, static_cast<BYTE>(::MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)),
                  flags, 0);
}

void MainWindow::SimulateCopy() {
    // Ctrl+Insert copies; a Shift still held from the trigger would make it a paste.
    const bool controlDown = (::GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
    if (!controlDown) {
        SendKeyEvent(VK_CONTROL, true);
    }
    if (::GetAsyncKeyState(VK_SHIFT) & 0x8000) {
        SendKeyEvent(VK_SHIFT, false);
    }
    SendKeyEvent(VK_INSERT, true);
    SendKeyEvent(VK_INSERT, false);
    if (!controlDown) {
        SendKeyEvent(VK_CONTROL, false);
    }
}

bool MainWindow::ReadClipboardText(std::string& text) {
    text.clear();
    if (!::IsClipboardFormatAvailable(CF_TEXT) || !::OpenClipboard(Handle())) {
        return false;
    }
    // Closed and unlocked on every way out: an open clipboard blocks every program.
    struct CloseOnExit {
        ~CloseOnExit() { ::CloseClipboard(); }
    } closeClipboard;
    HANDLE data = ::GetClipboardData(CF_TEXT);
    const char* clipboardText =
        data != nullptr ? static_cast<const char*>(::GlobalLock(data)) : nullptr;
    if (clipboardText == nullptr) {
        return false;
    }
    struct UnlockOnExit {
        HANDLE data;
        ~UnlockOnExit() { ::GlobalUnlock(data); }
    } unlock{data};
    // Never read past the memory block, even without a terminating zero.
    const std::size_t limit = ::GlobalSize(data);
    text = CutText(std::string_view(clipboardText, strnlen(clipboardText, limit)), 255,
                   SystemLeadBytes());
    return !text.empty();
}

LRESULT MainWindow::OnHotKey(WPARAM id, LPARAM) {
    if (id == HOTKEY_POPUP) {
        ::SendMessageA(Handle(), WM_POPUP_TRIGGER, 0, 0);
    } else if (id == HOTKEY_DEFAULT) {
        ::SendMessageA(Handle(), WM_DEFAULT_TRIGGER, 0, 0);
    }
    return 0;
}

LRESULT MainWindow::OnDefaultTrigger(WPARAM, LPARAM) {
    DefaultCapturePending = true;
    SimulateCopy();
    DefaultCaptureTimer = ::SetTimer(Handle(), TIMER_DEFAULT_CAPTURE, kCaptureWindowMs, nullptr);
    return 0;
}

LRESULT MainWindow::OnPopupTrigger(WPARAM, LPARAM) {
    PopupCapturePending = true;
    SearchBox.SetText("");
    SimulateCopy();
    PopupCaptureTimer = ::SetTimer(Handle(), TIMER_POPUP_CAPTURE, kCaptureWindowMs, nullptr);
    ShowPopupTimer = ::SetTimer(Handle(), TIMER_SHOW_POPUP, kShowPopupDelayMs, nullptr);
    return 0;
}

LRESULT MainWindow::OnTimer(WPARAM timer, LPARAM) {
    if (timer == DefaultCaptureTimer) {
        ::KillTimer(Handle(), timer);
        DefaultCapturePending = false;
    }
    if (timer == PopupCaptureTimer) {
        ::KillTimer(Handle(), timer);
        PopupCapturePending = false;
    }
    if (timer == ShowPopupTimer) {
        ::KillTimer(Handle(), timer);
        ::PostMessageA(Handle(), WM_SHOW_POPUP, 0, 0);
    }
    return 0;
}

LRESULT MainWindow::OnDrawClipboard(WPARAM wParam, LPARAM lParam) {
    std::string text;
    if (PopupCapturePending && ReadClipboardText(text)) {
        TrimTrailingBlanks(text, SystemLeadBytes());
        SearchBox.SetText(text);
    }
    if (DefaultCapturePending) {
        DefaultCapturePending = false;
        if (ReadClipboardText(text)) {
            TrimTrailingBlanks(text, SystemLeadBytes());
            OpenDefaultSiteSearch(text);
        }
    }
    if (NextClipboardViewer != nullptr) {
        ::SendMessageA(NextClipboardViewer, WM_DRAWCLIPBOARD, wParam, lParam);
    }
    return 0;
}

LRESULT MainWindow::OnChangeClipboardChain(WPARAM removed, LPARAM next) {
    if (reinterpret_cast<HWND>(removed) == NextClipboardViewer) {
        NextClipboardViewer = reinterpret_cast<HWND>(next);
    } else if (NextClipboardViewer != nullptr) {
        ::SendMessageA(NextClipboardViewer, WM_CHANGECBCHAIN, removed, next);
    }
    return 0;
}

}  // namespace vp
