#include "app/TriggerCapture.h"

#include <utility>

#include "base/AnsiText.h"
#include "base/HotKeys.h"
#include "base/WideText.h"
#include "hook/VPHook.h"
#include "win/WinText.h"

namespace vp {
namespace {

void SendKeyEvent(BYTE virtualKey, bool press) {
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

void SimulateCopy() {
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

}  // namespace

void TriggerCapture::Attach(HWND window) {
    window_ = window;
    nextClipboardViewer_ = ::SetClipboardViewer(window);
}

void TriggerCapture::Detach() {
    ::ChangeClipboardChain(window_, nextClipboardViewer_);
    // Ending within a capture still gives the user's clipboard back.
    popupCapturePending_ = defaultCapturePending_ = false;
    RestoreClipboard();
    if (popupHotKeyRegistered_) {
        ::UnregisterHotKey(window_, HOTKEY_POPUP);
    }
    if (defaultHotKeyRegistered_) {
        ::UnregisterHotKey(window_, HOTKEY_DEFAULT);
    }
}

void TriggerCapture::Apply(const TriggerSettings& triggers, bool active) {
    SetPopupWindowButton(triggers.PopupWindowKey, triggers.PopupWindowButton,
                         active && triggers.EnablePopupWindow);
    SetDefaultActionButton(triggers.DefaultActionKey, triggers.DefaultActionButton,
                           active && triggers.EnableDefaultAction);
    RegisterTriggerHotKey(HOTKEY_POPUP, triggers.PopupWindowHotModifier, triggers.PopupWindowHotKey,
                          active && triggers.EnablePopupWindowHotKey);
    RegisterTriggerHotKey(HOTKEY_DEFAULT, triggers.DefaultActionHotModifier,
                          triggers.DefaultActionHotKey,
                          active && triggers.EnableDefaultActionHotKey);
}

void TriggerCapture::RegisterTriggerHotKey(int id, std::uint32_t modifierIndex,
                                           std::uint32_t keyIndex, bool enable) {
    bool& registered = id == HOTKEY_POPUP ? popupHotKeyRegistered_ : defaultHotKeyRegistered_;
    if (registered && ::UnregisterHotKey(window_, id)) {
        registered = false;
    }
    auto modifiers = HotKeyModifiers(modifierIndex);
    auto virtualKey = HotKeyVirtualKey(keyIndex);
    if (!enable || !modifiers || !virtualKey) {
        return;  // an index outside its list registers nothing
    }
    if (::RegisterHotKey(window_, id, *modifiers, *virtualKey)) {
        registered = true;
    }
}

namespace {

// The clipboard's Unicode text when the ANSI code page cannot hold it: cut to 255
// units without splitting a surrogate pair, trailing blanks removed. Nothing when there
// is no Unicode text, or when it fits the code page and so takes the ANSI path.
std::optional<SearchText> ReadWideClipboardText() {
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    const auto* clipboardText =
        data != nullptr ? static_cast<const char16_t*>(::GlobalLock(data)) : nullptr;
    if (clipboardText == nullptr) {
        return std::nullopt;
    }
    // Never read past the memory block, even without a terminating zero.
    const std::u16string_view whole(clipboardText, ::GlobalSize(data) / sizeof(char16_t));
    // Only the part that is kept decides: characters beyond the cut never reach the search.
    std::u16string text = CutText(whole.substr(0, whole.find(u'\0')), 255);
    ::GlobalUnlock(data);
    if (LosslessAnsi(text)) {
        return std::nullopt;
    }
    TrimTrailingBlanks(text);
    return SearchText::Wide(std::move(text));
}

}  // namespace

std::optional<SearchText> TriggerCapture::ReadClipboardText() const {
    if (!::IsClipboardFormatAvailable(CF_TEXT) || !::OpenClipboard(window_)) {
        return std::nullopt;
    }
    // Closed and unlocked on every way out: an open clipboard blocks every program.
    struct CloseOnExit {
        ~CloseOnExit() { ::CloseClipboard(); }
    } closeClipboard;
    if (auto wide = ReadWideClipboardText()) {
        return wide;
    }
    HANDLE data = ::GetClipboardData(CF_TEXT);
    const char* clipboardText =
        data != nullptr ? static_cast<const char*>(::GlobalLock(data)) : nullptr;
    if (clipboardText == nullptr) {
        return std::nullopt;
    }
    struct UnlockOnExit {
        HANDLE data;
        ~UnlockOnExit() { ::GlobalUnlock(data); }
    } unlock{data};
    // Never read past the memory block, even without a terminating zero.
    const std::size_t limit = ::GlobalSize(data);
    std::string text = CutText(std::string_view(clipboardText, strnlen(clipboardText, limit)), 255,
                               SystemLeadBytes());
    if (text.empty()) {
        return std::nullopt;
    }
    TrimTrailingBlanks(text, SystemLeadBytes());
    return SearchText(std::move(text));
}

void TriggerCapture::SnapshotClipboard() {
    if (!keepClipboard_ || watching_) {
        return;
    }
    watching_ = true;
    capturedSequence_ = 0;
    snapshot_ = win::ClipboardSnapshot::Take(window_);
}

void TriggerCapture::RestoreClipboard() {
    if (!watching_ || popupCapturePending_ || defaultCapturePending_) {
        return;
    }
    watching_ = false;
    auto snapshot = std::exchange(snapshot_, std::nullopt);
    // No copy arrived (nothing to undo), or the user has copied since (never overwritten).
    if (!snapshot || capturedSequence_ == 0 ||
        ::GetClipboardSequenceNumber() != capturedSequence_) {
        return;
    }
    if (snapshot->Restore(window_)) {
        restoredSequence_ = ::GetClipboardSequenceNumber();
    }
}

std::optional<SearchText> TriggerCapture::ReadDirectly() const {
    return readDirectly_ ? reader_.Read() : std::nullopt;
}

std::optional<SearchText> TriggerCapture::StartDefaultCapture() {
    if (auto text = ReadDirectly()) {
        return text;  // no copy: nothing to catch, nothing to restore
    }
    SnapshotClipboard();
    defaultCapturePending_ = true;
    SimulateCopy();
    defaultCaptureTimer_ = ::SetTimer(window_, TIMER_DEFAULT_CAPTURE, kCaptureWindowMs, nullptr);
    return std::nullopt;
}

std::optional<SearchText> TriggerCapture::StartPopupCapture() {
    const ULONGLONG triggered = ::GetTickCount64();
    std::optional<SearchText> direct = ReadDirectly();
    if (!direct) {
        SnapshotClipboard();
    }
    popupCapturePending_ = true;
    if (!direct) {
        SimulateCopy();
    }
    popupCaptureTimer_ = ::SetTimer(window_, TIMER_POPUP_CAPTURE, kCaptureWindowMs, nullptr);
    if (direct) {
        // Shown at once by the caller; an earlier trigger's wait is over too.
        popupAwaitsText_ = false;
        if (showPopupTimer_ != 0) {
            ::KillTimer(window_, showPopupTimer_);
        }
        return direct;
    }
    // The latest moment counts from the trigger, the time spent on a read included.
    const ULONGLONG spent = ::GetTickCount64() - triggered;
    const UINT delay = spent < kShowPopupDelayMs ? kShowPopupDelayMs - static_cast<UINT>(spent) : 0;
    popupAwaitsText_ = true;
    showPopupTimer_ = ::SetTimer(window_, TIMER_SHOW_POPUP, delay, nullptr);
    return std::nullopt;
}

bool TriggerCapture::OnTimer(UINT_PTR timer) {
    if (timer == defaultCaptureTimer_) {
        ::KillTimer(window_, timer);
        defaultCapturePending_ = false;
        RestoreClipboard();
    }
    if (timer == popupCaptureTimer_) {
        ::KillTimer(window_, timer);
        popupCapturePending_ = false;
        RestoreClipboard();
    }
    if (timer == showPopupTimer_) {
        ::KillTimer(window_, timer);
        popupAwaitsText_ = false;
        return true;
    }
    return false;
}

CapturedText TriggerCapture::OnDrawClipboard(WPARAM wParam, LPARAM lParam) {
    // The next viewer hears of the change first, whatever happens to it here.
    if (nextClipboardViewer_ != nullptr) {
        ::SendMessageA(nextClipboardViewer_, WM_DRAWCLIPBOARD, wParam, lParam);
    }
    CapturedText captured;
    if (restoredSequence_ != 0 && ::GetClipboardSequenceNumber() == restoredSequence_) {
        return captured;  // the restore's own change is no selection
    }
    const bool capturing = popupCapturePending_ || defaultCapturePending_;
    if (popupCapturePending_) {
        captured.popupText = ReadClipboardText();
        // The text is known (or known to be none): no reason to wait any longer.
        if (std::exchange(popupAwaitsText_, false)) {
            ::KillTimer(window_, showPopupTimer_);
            captured.showPopup = true;
        }
    }
    if (defaultCapturePending_) {
        defaultCapturePending_ = false;
        captured.defaultSiteText = ReadClipboardText();
    }
    // Taken after the reads, which may add formats that the system converts.
    if (capturing && watching_ && capturedSequence_ == 0) {
        capturedSequence_ = ::GetClipboardSequenceNumber();
    }
    return captured;
}

void TriggerCapture::OnChangeClipboardChain(WPARAM removed, LPARAM next) {
    if (reinterpret_cast<HWND>(removed) == nextClipboardViewer_) {
        nextClipboardViewer_ = reinterpret_cast<HWND>(next);
    } else if (nextClipboardViewer_ != nullptr) {
        ::SendMessageA(nextClipboardViewer_, WM_CHANGECBCHAIN, removed, next);
    }
}

}  // namespace vp
