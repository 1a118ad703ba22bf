// The decisions of a capture, from a trigger to its end, kept free of Windows so that
// they are tested natively. The caller turns messages into events (a trigger, a
// clipboard change, a timer, the clipboard touched by the program itself) and carries out
// the actions that each event returns.
//
// A session spans every trigger made while it is open. It exists only while the user's
// clipboard is kept: its snapshot is taken once, at its first trigger, and restored at
// most once, when the session ends, and only when no other process changed the clipboard
// in between. The copy that a trigger asks for may come late: after the capture windows
// the session waits a while longer for the copying application alone, and undoes that
// copy instead of searching it; the user's first input or a change of the foreground
// window ends that wait, as only the program's own keys can make a late copy.
//
// A change is the trigger's own when its owner window belongs to the foreground
// application or to a process of one of its child windows (a hosted application, a helper
// that draws inside it), or when it has no owner window at all; only a change whose owner
// is a known other process is someone else's: it is never read, and never restored over.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace vp {

inline constexpr std::uint64_t kCaptureWindowMs = 1200;
inline constexpr std::uint64_t kShowPopupDelayMs = 120;
// How long after the capture windows a late copy of the triggering application is awaited.
inline constexpr std::uint64_t kLateCopyWaitMs = 5000;
// How often that wait looks whether the user acted, so that it ends soon after.
inline constexpr std::uint64_t kUserLookMs = 250;

enum class TriggerKind { Popup, DefaultSite };

// The clipboard snapshot of a trigger that copies: not asked for (the clipboard is not
// kept, or the open session already holds one), taken, or refused (too large, a busy
// clipboard, an owner that does not answer, over its time budget).
enum class SnapshotResult { NotTaken, Taken, Refused };

// How many processes a trigger names besides the foreground application's own: those of
// its child windows.
inline constexpr std::size_t kChildProcesses = 3;
using ChildProcesses = std::array<std::uint32_t, kChildProcesses>;

struct CaptureTrigger {
    TriggerKind kind = TriggerKind::Popup;
    bool directText = false;     // the selection was read from the control, without a copy
    std::uint32_t process = 0;   // the foreground application's process; 0 for none
    ChildProcesses children{};   // other processes owning its child windows; 0 for none
    std::uint32_t sequence = 0;  // the clipboard's sequence number at the trigger
    std::uint64_t time = 0;      // milliseconds, of one monotonic clock
    SnapshotResult snapshot = SnapshotResult::NotTaken;
};

// What the caller sees of the user at an event: when the latest keyboard or mouse input
// came (GetLastInputInfo's tick) and which window is in the foreground. Only their changes
// count.
struct UserFacts {
    std::uint32_t inputTime = 0;
    std::uint64_t foreground = 0;

    bool operator==(const UserFacts&) const = default;
};

// The timers that the caller keeps armed at the deadlines the session names. `Session`
// ends the session's capture window (1200 ms after its last copying trigger, whatever the
// captures took) and then its wait for a late copy.
enum class CaptureTimer { PopupCapture, DefaultCapture, ShowPopup, Session };
inline constexpr std::array<CaptureTimer, 4> kCaptureTimers = {
    CaptureTimer::ShowPopup, CaptureTimer::PopupCapture, CaptureTimer::DefaultCapture,
    CaptureTimer::Session};

struct CaptureActions {
    bool copy = false;             // make the foreground application copy its selection
    bool readForPopup = false;     // the clipboard's text goes into the search box
    bool readForDefault = false;   // the clipboard's text is searched on the default site
    bool showPopup = false;        // show the popup now
    bool snapshotRefused = false;  // no copy was made: the clipboard could not be kept
    bool restore = false;          // put the snapshot back if the clipboard is still at:
    std::uint32_t restoreSequence = 0;
    bool dropSnapshot = false;  // forget the snapshot without putting it back

    bool operator==(const CaptureActions&) const = default;
};

class CaptureSession {
public:
    void SetKeepClipboard(bool keep) { keepClipboard_ = keep; }

    // Whether a trigger that copies should come with a snapshot of the clipboard.
    bool WantsSnapshot() const { return keepClipboard_ && !open_; }

    CaptureActions OnTrigger(const CaptureTrigger& trigger);
    // WM_DRAWCLIPBOARD: the clipboard at `sequence`, owned by a window of `ownerProcess`
    // (0: no owner window, or one whose process is not known).
    CaptureActions OnClipboardChange(std::uint32_t sequence, std::uint32_t ownerProcess,
                                     const UserFacts& user);
    // The caller opened the clipboard to carry out the reads just asked for and found it
    // at `sequence`: whether to read it. Only the change being handled is read; a newer
    // one is left to its own notification, and the captures wait for it.
    bool OnClipboardOpened(std::uint32_t sequence);
    // The program itself read or restored the clipboard, which is now at `sequence` (a read
    // takes it before it closes the clipboard, as the owner may have rendered formats for
    // it; a restore is a change of its own).
    void OnClipboardTouched(std::uint32_t sequence);
    // `timer` fired at `now`; deadlines already passed are handled too.
    CaptureActions OnTimer(CaptureTimer timer, std::uint64_t now, const UserFacts& user);
    // The program ends: a session still open gives the clipboard back if it may.
    CaptureActions OnEnd();

    // When the caller's timer should fire; nothing while it is not needed.
    std::optional<std::uint64_t> Deadline(CaptureTimer timer) const;

    bool SessionOpen() const { return open_; }
    bool PopupCapturePending() const { return popupPending_; }
    bool DefaultCapturePending() const { return defaultPending_; }

private:
    // The processes of one trigger: its foreground application first.
    using TriggerProcesses = std::array<std::uint32_t, 1 + kChildProcesses>;
    static bool Names(const TriggerProcesses& processes, std::uint32_t process);
    bool IsSessionProcess(std::uint32_t process) const;
    // The user acted since the late-copy wait began.
    bool UserActed(const UserFacts& user) const;
    // The session's capture window is over: restores, drops, or waits for the late copy.
    void EndCaptureWindow(CaptureActions& actions, const UserFacts& user);
    // Ends the session: the snapshot goes back when the latest change is its own copy and
    // no one else changed the clipboard, and is dropped otherwise.
    void Close(CaptureActions& actions);

    bool keepClipboard_ = false;
    std::uint32_t lastSequence_ = 0;  // the clipboard as last known: news without change

    bool popupPending_ = false;
    std::uint64_t popupEnd_ = 0;
    bool popupAwaitsText_ = false;  // shown at the first change or at showPopupAt_
    std::uint64_t showPopupAt_ = 0;
    TriggerProcesses popupProcesses_{};
    bool defaultPending_ = false;
    std::uint64_t defaultEnd_ = 0;
    TriggerProcesses defaultProcesses_{};
    bool readAsked_ = false;         // reads asked for at the change lastSequence_, not yet opened
    bool defaultReadAsked_ = false;  // one of them for the default site, which it ends

    // The session, while the snapshot is held.
    bool open_ = false;
    std::uint64_t windowEnd_ = 0;
    std::array<std::uint32_t, 8> processes_{};  // those of the triggers that asked for copies
    std::uint32_t ownSequence_ = 0;             // the latest change of theirs; 0 before one
    bool lastChangeOwn_ = false;
    bool userChanged_ = false;  // another process changed the clipboard: never restored
    bool awaitingLateCopy_ = false;
    std::uint64_t lateCopyEnd_ = 0;
    std::uint64_t nextLook_ = 0;  // the wait's next look at the user
    UserFacts waitBegan_;         // the user as seen when the late-copy wait began
};

}  // namespace vp
