#include "base/CaptureSession.h"

#include <algorithm>

namespace vp {

bool CaptureSession::IsSessionProcess(std::uint32_t process) const {
    return process != 0 &&
           std::find(processes_.begin(), processes_.end(), process) != processes_.end();
}

CaptureActions CaptureSession::OnTrigger(const CaptureTrigger& trigger) {
    CaptureActions actions;
    const bool popup = trigger.kind == TriggerKind::Popup;
    if (trigger.directText) {
        // Final: no later change of the clipboard replaces it, and nothing is copied for
        // it that would need undoing.
        if (popup) {
            popupPending_ = popupAwaitsText_ = false;
            actions.showPopup = true;
        }
        return actions;
    }
    if (keepClipboard_ && !open_) {
        if (trigger.snapshot != SnapshotResult::Taken) {
            // A copy now would lose the user's clipboard for good.
            actions.snapshotRefused = true;
            if (popup) {
                popupPending_ = popupAwaitsText_ = false;
                actions.showPopup = true;
            }
            return actions;
        }
        open_ = true;
        processes_ = {};
        ownSequence_ = 0;
        lastChangeOwn_ = userChanged_ = false;
    }
    if (open_) {
        awaitingLateCopy_ = false;
        windowEnd_ = trigger.time + kCaptureWindowMs;
        if (!IsSessionProcess(trigger.process)) {
            // The oldest application gives way when more than four were asked.
            std::rotate(processes_.rbegin(), processes_.rbegin() + 1, processes_.rend());
            processes_[0] = trigger.process;
        }
    }
    lastSequence_ = trigger.sequence;
    actions.copy = true;
    if (popup) {
        popupPending_ = popupAwaitsText_ = true;
        popupEnd_ = trigger.time + kCaptureWindowMs;
        showPopupAt_ = trigger.time + kShowPopupDelayMs;
    } else {
        defaultPending_ = true;
        defaultEnd_ = trigger.time + kCaptureWindowMs;
    }
    return actions;
}

CaptureActions CaptureSession::OnClipboardChange(std::uint32_t sequence,
                                                 std::uint32_t ownerProcess) {
    CaptureActions actions;
    // News without a change (a viewer joining the chain, a viewer passing the message on,
    // the program's own restore) carries no selection.
    if (sequence == lastSequence_) {
        return actions;
    }
    lastSequence_ = sequence;
    if (open_) {
        // Once another process changed it, the clipboard is the user's again.
        lastChangeOwn_ = !userChanged_ && IsSessionProcess(ownerProcess);
        if (lastChangeOwn_) {
            ownSequence_ = sequence;
        } else {
            userChanged_ = true;
        }
        if (awaitingLateCopy_) {
            Close(actions);  // the late copy is undone, not searched
            return actions;
        }
    }
    if (popupPending_) {
        actions.readForPopup = true;
        // The text is known (or known to be none): no reason to wait any longer.
        actions.showPopup = popupAwaitsText_;
        popupAwaitsText_ = false;
    }
    if (defaultPending_) {
        defaultPending_ = false;
        actions.readForDefault = true;
    }
    return actions;
}

void CaptureSession::OnClipboardTouched(std::uint32_t sequence) {
    lastSequence_ = sequence;
    if (open_ && lastChangeOwn_) {
        ownSequence_ = sequence;
    }
}

CaptureActions CaptureSession::OnTimer(CaptureTimer timer, std::uint64_t now) {
    CaptureActions actions;
    // A timer may fire a little before its deadline by this clock: its own one counts.
    if (const auto deadline = Deadline(timer)) {
        now = std::max(now, *deadline);
    }
    if (popupAwaitsText_ && showPopupAt_ <= now) {
        popupAwaitsText_ = false;
        actions.showPopup = true;
    }
    if (popupPending_ && popupEnd_ <= now) {
        popupPending_ = popupAwaitsText_ = false;
    }
    if (defaultPending_ && defaultEnd_ <= now) {
        defaultPending_ = false;
    }
    if (open_ && !awaitingLateCopy_ && windowEnd_ <= now) {
        EndCaptureWindow(actions);
    }
    if (open_ && awaitingLateCopy_ && lateCopyEnd_ <= now) {
        Close(actions);
    }
    return actions;
}

void CaptureSession::EndCaptureWindow(CaptureActions& actions) {
    if (ownSequence_ == 0 && !userChanged_) {
        // The copy was asked for but has not come: it may still, and is then undone.
        awaitingLateCopy_ = true;
        lateCopyEnd_ = windowEnd_ + kLateCopyWaitMs;
        return;
    }
    Close(actions);
}

void CaptureSession::Close(CaptureActions& actions) {
    if (ownSequence_ != 0 && !userChanged_) {
        actions.restore = true;
        actions.restoreSequence = ownSequence_;
    } else {
        actions.dropSnapshot = true;
    }
    open_ = awaitingLateCopy_ = false;
}

CaptureActions CaptureSession::OnEnd() {
    CaptureActions actions;
    popupPending_ = popupAwaitsText_ = defaultPending_ = false;
    if (open_) {
        Close(actions);
    }
    return actions;
}

std::optional<std::uint64_t> CaptureSession::Deadline(CaptureTimer timer) const {
    switch (timer) {
        case CaptureTimer::PopupCapture:
            return popupPending_ ? std::optional(popupEnd_) : std::nullopt;
        case CaptureTimer::DefaultCapture:
            return defaultPending_ ? std::optional(defaultEnd_) : std::nullopt;
        case CaptureTimer::ShowPopup:
            return popupAwaitsText_ ? std::optional(showPopupAt_) : std::nullopt;
        case CaptureTimer::Session:
            if (!open_) {
                return std::nullopt;
            }
            return awaitingLateCopy_ ? lateCopyEnd_ : windowEnd_;
    }
    return std::nullopt;
}

}  // namespace vp
