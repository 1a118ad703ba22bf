#include "app/TriggerCapture.h"

#include <algorithm>
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
    Perform(session_.OnEnd());
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

UINT_PTR TimerId(CaptureTimer timer) {
    switch (timer) {
        case CaptureTimer::PopupCapture:
            return TIMER_POPUP_CAPTURE;
        case CaptureTimer::DefaultCapture:
            return TIMER_DEFAULT_CAPTURE;
        case CaptureTimer::ShowPopup:
            return TIMER_SHOW_POPUP;
        case CaptureTimer::Session:
            return TIMER_CAPTURE_SESSION;
    }
    return 0;
}

// The processes other than the application's own that own child windows of `window`: a
// hosted application inside its frame, a helper drawing in it. A window with very many
// children is not searched to its end.
struct ChildSearch {
    DWORD own = 0;
    ChildProcesses found{};
    std::size_t count = 0;
    int left = 512;
};

BOOL CALLBACK NoteChildProcess(HWND child, LPARAM context) {
    auto& search = *reinterpret_cast<ChildSearch*>(context);
    const DWORD process = ProcessOf(child);
    const auto end = search.found.begin() + static_cast<std::ptrdiff_t>(search.count);
    if (process != 0 && process != search.own &&
        std::find(search.found.begin(), end, process) == end) {
        search.found[search.count++] = process;
    }
    return search.count < search.found.size() && --search.left > 0;
}

ChildProcesses ChildWindowProcesses(HWND window, DWORD own) {
    ChildSearch search{own};
    if (window != nullptr) {
        ::EnumChildWindows(window, NoteChildProcess, reinterpret_cast<LPARAM>(&search));
    }
    return search.found;
}

// The latest input's time and the foreground window, as the session compares them.
UserFacts CurrentUser() {
    UserFacts user;
    LASTINPUTINFO input{sizeof input, 0};
    if (::GetLastInputInfo(&input)) {
        user.inputTime = input.dwTime;
    }
    user.foreground = reinterpret_cast<std::uintptr_t>(::GetForegroundWindow());
    return user;
}

// The text of the open clipboard, Unicode first; nothing when it holds none.
std::optional<SearchText> ReadOpenClipboardText() {
    const bool unicode = ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
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

}  // namespace

std::optional<SearchText> TriggerCapture::ReadClipboardText() {
    // Closed on every way out: an open clipboard blocks every program.
    win::ClipboardOpen clipboard(window_);
    // Only the change just announced is read: a newer one has a notification of its own.
    if (!clipboard || !session_.OnClipboardOpened(::GetClipboardSequenceNumber())) {
        return std::nullopt;
    }
    std::optional<SearchText> text = ReadOpenClipboardText();
    // Taken before anyone else can change it: the read may have had the owner render a
    // format, and that change is the program's own doing.
    session_.OnClipboardTouched(::GetClipboardSequenceNumber());
    return text;
}

CapturedText TriggerCapture::Perform(const CaptureActions& actions) {
    CapturedText captured;
    if (actions.copy) {
        SimulateCopy();
    }
    if (actions.readForPopup || actions.readForDefault) {
        std::optional<SearchText> text = ReadClipboardText();
        (actions.readForDefault ? captured.defaultSiteText : captured.popupText) = text;
        if (actions.readForPopup && actions.readForDefault) {
            captured.popupText = std::move(text);
        }
    }
    captured.showPopup = actions.showPopup;
    captured.clipboardNotKept = actions.snapshotRefused;
    if (actions.restore && snapshot_) {
        // The restore checks, with the clipboard open, that it is still at the copy.
        snapshot_->Restore(window_, actions.restoreSequence);
        // The restore's own change (or the text it fell back on) is no selection.
        session_.OnClipboardTouched(::GetClipboardSequenceNumber());
    }
    if (actions.restore || actions.dropSnapshot) {
        snapshot_.reset();
    }
    const ULONGLONG now = ::GetTickCount64();
    for (CaptureTimer timer : kCaptureTimers) {
        if (const auto deadline = session_.Deadline(timer)) {
            const ULONGLONG left = *deadline > now ? *deadline - now : 0;
            ::SetTimer(window_, TimerId(timer), static_cast<UINT>(left), nullptr);
        } else {
            ::KillTimer(window_, TimerId(timer));
        }
    }
    return captured;
}

CapturedText TriggerCapture::Start(TriggerKind kind) {
    CaptureTrigger trigger;
    trigger.kind = kind;
    // The popup's latest moment counts from here, the time spent on a read included.
    trigger.time = ::GetTickCount64();
    const HWND foreground = ::GetForegroundWindow();
    trigger.process = ProcessOf(foreground);
    trigger.children = ChildWindowProcesses(foreground, trigger.process);
    std::optional<SearchText> direct = readDirectly_ ? reader_.Read() : std::nullopt;
    trigger.directText = direct.has_value();
    if (!direct && session_.WantsSnapshot()) {
        snapshot_ = win::ClipboardSnapshot::TakeOffThread(win::ClipboardSnapshot::kMaxBytes,
                                                          kSnapshotBudgetMs);
        trigger.snapshot = snapshot_ ? SnapshotResult::Taken : SnapshotResult::Refused;
    }
    // After the snapshot, which may have had formats rendered.
    trigger.sequence = ::GetClipboardSequenceNumber();
    CapturedText captured = Perform(session_.OnTrigger(trigger));
    if (direct) {
        (kind == TriggerKind::Popup ? captured.popupText : captured.defaultSiteText) =
            std::move(direct);
    }
    return captured;
}

CapturedText TriggerCapture::OnTimer(UINT_PTR timer) {
    for (CaptureTimer each : kCaptureTimers) {
        if (TimerId(each) == timer) {
            return Perform(session_.OnTimer(each, ::GetTickCount64(), CurrentUser()));
        }
    }
    return {};
}

CapturedText TriggerCapture::OnDrawClipboard(WPARAM wParam, LPARAM lParam) {
    // The next viewer hears of the change first, whatever happens to it here; one that
    // does not answer in time holds up neither the capture nor the program.
    if (nextClipboardViewer_ != nullptr) {
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutA(nextClipboardViewer_, WM_DRAWCLIPBOARD, wParam, lParam,
                              SMTO_ABORTIFHUNG, kViewerAnswerMs, &answer);
    }
    return Perform(session_.OnClipboardChange(::GetClipboardSequenceNumber(),
                                              ProcessOf(::GetClipboardOwner()), CurrentUser()));
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
