#include "app/TriggerCapture.h"

#include <utility>

#include "base/AnsiText.h"
#include "base/HotKeys.h"
#include "base/WideText.h"
#include "hook/VPHook.h"
#include "win/WinText.h"

namespace vp {
namespace {

// A key going down or up as the keyboard sends it, with its scan code; Insert is one of
// the extended keys (the arrow and editing block), not the number pad's 0.
INPUT KeyInput(WORD virtualKey, bool press) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags =
        (press ? 0 : KEYEVENTF_KEYUP) | (virtualKey == VK_INSERT ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

void SimulateCopy() {
    // Ctrl+Insert copies; a Shift still held from the trigger would make it a paste.
    INPUT keys[5];
    UINT count = 0;
    const bool controlDown = (::GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
    if (!controlDown) {
        keys[count++] = KeyInput(VK_CONTROL, true);
    }
    if (::GetAsyncKeyState(VK_SHIFT) & 0x8000) {
        keys[count++] = KeyInput(VK_SHIFT, false);
    }
    keys[count++] = KeyInput(VK_INSERT, true);
    keys[count++] = KeyInput(VK_INSERT, false);
    if (!controlDown) {
        keys[count++] = KeyInput(VK_CONTROL, false);
    }
    // One call: the user's own keys cannot come between ours.
    ::SendInput(count, keys, sizeof(INPUT));
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

void TriggerCapture::Apply(const TriggerSettings& triggers, const ProgramHashes& exclusions,
                           bool active) {
    SetGestureExclusions(exclusions.hashes.data(), exclusions.count);
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

// The clipboard's Unicode text cut to 255 units without splitting a surrogate pair. The
// ANSI road takes the code page's conversion of that text when it holds it without loss:
// the ANSI text on the clipboard may come from another code page (the keyboard layout's
// at copy time) or from the application itself, and can differ from what was selected.
// Nothing when there is no readable Unicode text, or when it is empty.
std::optional<SearchText> ReadUnicodeClipboardText() {
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
    if (text.empty()) {
        return std::nullopt;
    }
    if (auto ansi = LosslessAnsi(text)) {
        std::string cut = CutText(*ansi, 255, SystemLeadBytes());
        TrimTrailingBlanks(cut, SystemLeadBytes());
        return SearchText(std::move(cut));
    }
    TrimTrailingBlanks(text);
    return SearchText::Wide(std::move(text));
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    if (window != nullptr) {
        ::GetWindowThreadProcessId(window, &process);
    }
    return process;
}

}  // namespace

std::optional<SearchText> TriggerCapture::ReadClipboardText() const {
    const bool unicode = ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
    if (!unicode && !::IsClipboardFormatAvailable(CF_TEXT)) {
        return std::nullopt;
    }
    // Closed on every way out: an open clipboard blocks every program.
    win::ClipboardOpen clipboard(window_);
    if (!clipboard) {
        return std::nullopt;
    }
    if (unicode) {
        if (auto text = ReadUnicodeClipboardText()) {
            return text;
        }
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
    if (keepClipboard_ && !watching_) {
        watching_ = true;
        capturedSequence_ = 0;
        otherChange_ = false;
        copyingProcess_ = ProcessOf(::GetForegroundWindow());
        snapshot_ = win::ClipboardSnapshot::Take(window_);
    }
    // After the snapshot, which may have had formats rendered.
    triggerSequence_ = ::GetClipboardSequenceNumber();
}

void TriggerCapture::RestoreClipboard() {
    if (!watching_ || popupCapturePending_ || defaultCapturePending_) {
        return;
    }
    watching_ = false;
    auto snapshot = std::exchange(snapshot_, std::nullopt);
    // No copy of the capture's own arrived: nothing to undo. A copy made since by anyone
    // is never replaced (the restore checks that with the clipboard open).
    if (!snapshot || capturedSequence_ == 0) {
        return;
    }
    snapshot->Restore(window_, capturedSequence_);
    // The restore's own change (or the text it fell back on) is no selection.
    if (const DWORD now = ::GetClipboardSequenceNumber(); now != capturedSequence_) {
        restoredSequence_ = now;
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
    // The next viewer hears of the change first, whatever happens to it here; one that
    // does not answer in time holds up neither the capture nor the program.
    if (nextClipboardViewer_ != nullptr) {
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutA(nextClipboardViewer_, WM_DRAWCLIPBOARD, wParam, lParam,
                              SMTO_ABORTIFHUNG, kViewerAnswerMs, &answer);
    }
    CapturedText captured;
    const DWORD sequence = ::GetClipboardSequenceNumber();
    if (restoredSequence_ != 0 && sequence == restoredSequence_) {
        return captured;  // the restore's own change is no selection
    }
    const bool capturing = popupCapturePending_ || defaultCapturePending_;
    // News without a change (a viewer joining the chain announces the clipboard as it
    // is) carries no selection; the captures wait on for a real copy.
    if (!capturing || sequence == triggerSequence_) {
        return captured;
    }
    // The capture's own copy is the first change after the trigger, made by the
    // application that was in front then. Any other change is someone else's.
    bool ownCopy = false;
    if (watching_ && capturedSequence_ == 0 && !otherChange_) {
        ownCopy = copyingProcess_ != 0 && ProcessOf(::GetClipboardOwner()) == copyingProcess_;
        otherChange_ = !ownCopy;
    }
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
    if (ownCopy) {
        capturedSequence_ = ::GetClipboardSequenceNumber();
    }
    return captured;
}

void TriggerCapture::OnChangeClipboardChain(WPARAM removed, LPARAM next) {
    if (reinterpret_cast<HWND>(removed) == nextClipboardViewer_) {
        nextClipboardViewer_ = reinterpret_cast<HWND>(next);
    } else if (nextClipboardViewer_ != nullptr) {
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutA(nextClipboardViewer_, WM_CHANGECBCHAIN, removed, next,
                              SMTO_ABORTIFHUNG, kViewerAnswerMs, &answer);
    }
}

}  // namespace vp
