// Drives a CaptureSession through events drawn from any source of numbers (a seeded
// generator, a fuzzer's bytes) against a small model of the clipboard, and checks the
// rules that must hold in any order: nothing is restored over another process's change,
// and what is restored is the session's latest own copy; a session restores at most once;
// a text read directly is never replaced; a refused snapshot copies nothing; and every
// session ends within the late-copy wait after its last copying trigger.
#pragma once

#include <algorithm>
#include <cstdint>
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
        for (int i = 0; i < events; ++i) {
            const std::uint32_t choice = next(6);
            if (choice < 2) {
                Trigger(next(2) == 0, next(5) == 0, 1 + next(3), next(5) != 0);
            } else if (choice == 2) {
                Change(1 + next(4));
            } else if (choice == 3) {
                Apply(session_.OnClipboardChange(sequence_, owner_));  // news only
            } else {
                Advance(next(3000));
            }
        }
        Advance(kCaptureWindowMs + kLateCopyWaitMs + 1);  // left alone, everything ends
        Check(!session_.SessionOpen() && !session_.PopupCapturePending() &&
                  !session_.DefaultCapturePending(),
              "a capture never ended");
        return problem_;
    }

private:
    void Check(bool holds, const char* what) {
        if (!holds && problem_.empty()) {
            problem_ = what;
        }
    }

    void Trigger(bool popup, bool direct, std::uint32_t process, bool snapshotTaken) {
        const bool wasOpen = session_.SessionOpen();
        CaptureTrigger trigger{popup ? TriggerKind::Popup : TriggerKind::DefaultSite, direct,
                               process, sequence_, now_};
        if (!direct && session_.WantsSnapshot()) {
            trigger.snapshot = snapshotTaken ? SnapshotResult::Taken : SnapshotResult::Refused;
        }
        const CaptureActions actions = session_.OnTrigger(trigger);
        Check(!(actions.snapshotRefused && actions.copy), "a copy without a snapshot");
        if (!wasOpen && session_.SessionOpen()) {
            processes_.clear();
            otherChange_ = false;
            ownSequence_ = 0;
            restores_ = 0;
        }
        if (session_.SessionOpen() && actions.copy) {
            processes_.insert(process);
            lastCopyAt_ = now_;
        }
        directShown_ = popup ? direct : directShown_;
        Apply(actions);
    }

    void Change(std::uint32_t process) {
        owner_ = process;
        ++sequence_;
        if (session_.SessionOpen()) {
            otherChange_ = otherChange_ || processes_.count(process) == 0;
            ownSequence_ = otherChange_ ? ownSequence_ : sequence_;
        }
        Apply(session_.OnClipboardChange(sequence_, owner_));
    }

    // Moves the clock on, firing each timer at its deadline as the caller would.
    void Advance(std::uint64_t milliseconds) {
        const std::uint64_t target = now_ + milliseconds;
        for (bool fired = true; fired;) {
            fired = false;
            for (CaptureTimer timer : kCaptureTimers) {
                if (const auto due = session_.Deadline(timer); due && *due <= target) {
                    now_ = std::max(now_, *due);
                    Apply(session_.OnTimer(timer, now_));
                    fired = true;
                }
            }
        }
        now_ = target;
        Check(!session_.SessionOpen() || now_ <= lastCopyAt_ + kCaptureWindowMs + kLateCopyWaitMs,
              "a session outlived its late-copy wait");
    }

    void Apply(const CaptureActions& actions) {
        Check(!(actions.readForPopup && directShown_), "a direct text was replaced");
        if (actions.readForPopup || actions.readForDefault) {
            session_.OnClipboardTouched(sequence_);
        }
        if (actions.restore) {
            Check(!otherChange_, "restored over another process's change");
            Check(ownSequence_ == actions.restoreSequence, "restored over an older copy");
            Check(++restores_ == 1, "restored twice");
            if (sequence_ == actions.restoreSequence) {
                owner_ = 0;
                session_.OnClipboardTouched(++sequence_);
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
    std::uint32_t ownSequence_ = 0;
    int restores_ = 0;
    std::uint64_t lastCopyAt_ = 0;
    bool directShown_ = false;  // the popup shows a text read directly
    std::string problem_;
};

}  // namespace vp::test
