// Drives a CaptureSession through a stream of events drawn from any source of numbers
// (a seeded generator, a fuzzer's bytes) against a small model of the clipboard, and
// checks the rules that must hold whatever the order:
// - nothing is restored over a change by a process that no trigger of the session asked
//   to copy, and what is restored is the latest copy of the session's own;
// - a session restores at most once, and ends with either a restore or a drop;
// - a text read directly is never replaced by the clipboard;
// - a refused snapshot copies nothing;
// - every session ends, at the latest the late-copy wait after its last trigger.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "base/CaptureSession.h"

namespace vp::test {

class CaptureSessionDriver {
public:
    // `next(n)` returns a number below n.
    template <typename Next>
    std::string Run(Next&& next, int events) {
        session_.SetKeepClipboard(next(4) != 0);
        for (int i = 0; i < events && problem_.empty(); ++i) {
            switch (next(6)) {
                case 0:
                case 1:
                    Trigger(next(2) == 0 ? TriggerKind::Popup : TriggerKind::DefaultSite,
                            next(5) == 0, 1 + next(3), next(5) != 0);
                    break;
                case 2:
                    Change(1 + next(4));
                    break;
                case 3:
                    Apply(session_.OnClipboardChange(sequence_, owner_));  // news only
                    break;
                default:
                    Advance(next(3000));
                    break;
            }
        }
        // Left alone, everything ends.
        Advance(kCaptureWindowMs + kLateCopyWaitMs + 1);
        Check(!session_.SessionOpen(), "a session never ended");
        Check(!session_.PopupCapturePending() && !session_.DefaultCapturePending(),
              "a capture never ended");
        for (CaptureTimer timer : kCaptureTimers) {
            Check(!session_.Deadline(timer), "a timer stays armed");
        }
        return problem_;
    }

private:
    void Check(bool holds, const char* what) {
        if (!holds && problem_.empty()) {
            problem_ = what;
        }
    }

    void Trigger(TriggerKind kind, bool direct, std::uint32_t process, bool snapshotTaken) {
        const bool wasOpen = session_.SessionOpen();
        CaptureTrigger trigger{kind, direct, process, sequence_, now_};
        if (!direct && session_.WantsSnapshot()) {
            trigger.snapshot = snapshotTaken ? SnapshotResult::Taken : SnapshotResult::Refused;
        }
        const CaptureActions actions = session_.OnTrigger(trigger);
        Check(!(actions.snapshotRefused && actions.copy), "a copy without a snapshot");
        if (!wasOpen && session_.SessionOpen()) {
            processes_.clear();
            otherChange_ = false;
            ownSequence_.reset();
            restores_ = 0;
        }
        if (session_.SessionOpen() && actions.copy) {
            processes_.insert(process);
            lastCopyAt_ = now_;
        }
        if (kind == TriggerKind::Popup) {
            directShown_ = direct;
        }
        Apply(actions);
    }

    void Change(std::uint32_t process) {
        owner_ = process;
        ++sequence_;
        if (session_.SessionOpen()) {
            if (processes_.count(process) != 0 && !otherChange_) {
                ownSequence_ = sequence_;
            } else {
                otherChange_ = true;
            }
        }
        Apply(session_.OnClipboardChange(sequence_, owner_));
    }

    // Moves the clock on, firing each timer at its deadline as the caller would.
    void Advance(std::uint64_t milliseconds) {
        const std::uint64_t target = now_ + milliseconds;
        for (;;) {
            std::optional<std::uint64_t> earliest;
            CaptureTimer due = CaptureTimer::Session;
            for (CaptureTimer timer : kCaptureTimers) {
                const auto deadline = session_.Deadline(timer);
                if (deadline && *deadline <= target && (!earliest || *deadline < *earliest)) {
                    earliest = deadline;
                    due = timer;
                }
            }
            if (!earliest) {
                break;
            }
            now_ = std::max(now_, *earliest);
            Apply(session_.OnTimer(due, now_));
        }
        now_ = target;
        if (session_.SessionOpen()) {
            Check(now_ <= lastCopyAt_ + kCaptureWindowMs + kLateCopyWaitMs,
                  "a session outlived its late-copy wait");
        }
    }

    void Apply(const CaptureActions& actions) {
        Check(!(actions.readForPopup && directShown_), "a direct text was replaced");
        Check(!(actions.restore && actions.dropSnapshot), "restored and dropped at once");
        if (actions.readForPopup || actions.readForDefault) {
            // A read may add converted formats: the program's own touch of the clipboard.
            if (owner_ == 3) {
                ++sequence_;
                if (ownSequence_ && *ownSequence_ == sequence_ - 1) {
                    ownSequence_ = sequence_;
                }
            }
            session_.OnClipboardTouched(sequence_);
        }
        if (actions.restore || actions.dropSnapshot) {
            Check(!session_.SessionOpen(), "a session went on after its end");
        }
        if (actions.restore) {
            Check(!otherChange_, "restored over another process's change");
            Check(ownSequence_ == actions.restoreSequence, "restored over an older copy");
            Check(++restores_ == 1, "restored twice");
            if (sequence_ == actions.restoreSequence) {
                ++sequence_;
                owner_ = 0;
                session_.OnClipboardTouched(sequence_);
            }
        }
    }

    CaptureSession session_;
    std::uint64_t now_ = 0;
    std::uint32_t sequence_ = 1;
    std::uint32_t owner_ = 0;
    // The open session as the driver sees it.
    std::set<std::uint32_t> processes_;
    bool otherChange_ = false;
    std::optional<std::uint32_t> ownSequence_;
    int restores_ = 0;
    std::uint64_t lastCopyAt_ = 0;
    bool directShown_ = false;  // the popup shows a text read directly
    std::string problem_;
};

}  // namespace vp::test
