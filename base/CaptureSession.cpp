#include "base/CaptureSession.h"

#include <algorithm>

namespace vp {

bool CaptureSession::Names(const TriggerProcesses& processes, std::uint32_t process) {
    return process != 0 &&
           std::find(processes.begin(), processes.end(), process) != processes.end();
}

bool CaptureSession::IsSessionProcess(std::uint32_t process) const {
    return process != 0 &&
           std::find(processes_.begin(), processes_.end(), process) != processes_.end();
}

bool CaptureSession::UserActed(const UserFacts& user) const {
    return !(user == waitBegan_);
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
    TriggerProcesses processes{trigger.process};
    std::copy(trigger.children.begin(), trigger.children.end(), processes.begin() + 1);
    if (open_) {
        // A trigger within the late-copy wait opens a new capture window: its copy is
        // searched, not undone.
        awaitingLateCopy_ = false;
        windowEnd_ = trigger.time + kCaptureWindowMs;
        for (const std::uint32_t process : processes) {
            if (process != 0 && !IsSessionProcess(process)) {
                // The oldest process gives way when more were asked than are kept.
                std::rotate(processes_.rbegin(), processes_.rbegin() + 1, processes_.rend());
                processes_[0] = process;
            }
        }
    }
    lastSequence_ = trigger.sequence;
    readAsked_ = defaultReadAsked_ = false;
    actions.copy = true;
    if (popup) {
        popupPending_ = popupAwaitsText_ = true;
        popupEnd_ = trigger.time + kCaptureWindowMs;
        showPopupAt_ = trigger.time + kShowPopupDelayMs;
        popupProcesses_ = processes;
    } else {
        defaultPending_ = true;
        defaultEnd_ = trigger.time + kCaptureWindowMs;
        defaultProcesses_ = processes;
    }
    return actions;
}

CaptureActions CaptureSession::OnClipboardChange(std::uint32_t sequence, std::uint32_t ownerProcess,
                                                 const UserFacts& user) {
    CaptureActions actions;
    // News without a change (a viewer joining the chain, a viewer passing the message on,
    // the program's own restore) carries no selection.
    if (sequence == lastSequence_) {
        return actions;
    }
    lastSequence_ = sequence;
    readAsked_ = defaultReadAsked_ = false;
    if (open_ && awaitingLateCopy_ && UserActed(user)) {
        // The user acted since the wait began: this copy is theirs, and stays.
        Close(actions);
    }
    // A change without an owner window may well be the application's own copy; it is
    // someone else's only when another known process made it.
    const bool ownerless = ownerProcess == 0;
    if (open_) {
        // Once another process changed it, the clipboard is the user's again.
        lastChangeOwn_ = !userChanged_ && (ownerless || IsSessionProcess(ownerProcess));
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
    if (popupPending_ && (ownerless || Names(popupProcesses_, ownerProcess))) {
        actions.readForPopup = readAsked_ = true;
        // The text is known (or known to be none): no reason to wait any longer.
        actions.showPopup = popupAwaitsText_;
        popupAwaitsText_ = false;
    }
    if (defaultPending_ && (ownerless || Names(defaultProcesses_, ownerProcess))) {
        actions.readForDefault = readAsked_ = defaultReadAsked_ = true;
    }
    return actions;
}

bool CaptureSession::OnClipboardOpened(std::uint32_t sequence) {
    const bool read = readAsked_ && sequence == lastSequence_;
    if (read && defaultReadAsked_) {
        defaultPending_ = false;  // the first own change decides
    }
    readAsked_ = defaultReadAsked_ = false;
    return read;
}

void CaptureSession::OnClipboardTouched(std::uint32_t sequence) {
    lastSequence_ = sequence;
    if (open_ && lastChangeOwn_) {
        ownSequence_ = sequence;
    }
}

CaptureActions CaptureSession::OnTimer(CaptureTimer timer, std::uint64_t now,
                                       const UserFacts& user) {
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
    if (open_ && awaitingLateCopy_ && UserActed(user)) {
        Close(actions);  // no late copy is awaited once the user acted
    }
    if (open_ && !awaitingLateCopy_ && windowEnd_ <= now) {
        EndCaptureWindow(actions, user);
    }
    if (open_ && awaitingLateCopy_ && lateCopyEnd_ <= now) {
        Close(actions);
    }
    nextLook_ = now + kUserLookMs;
    return actions;
}

void CaptureSession::EndCaptureWindow(CaptureActions& actions, const UserFacts& user) {
    if (ownSequence_ == 0 && !userChanged_) {
        // The copy was asked for but has not come: it may still, and is then undone, until
        // the user acts. Input before now is the trigger's own (its keys let go, its
        // button released), and the popup may have taken the foreground.
        awaitingLateCopy_ = true;
        lateCopyEnd_ = windowEnd_ + kLateCopyWaitMs;
        waitBegan_ = user;
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
            return awaitingLateCopy_ ? std::min(lateCopyEnd_, nextLook_) : windowEnd_;
    }
    return std::nullopt;
}

}  // namespace vp
