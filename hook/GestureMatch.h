// The decision of the gesture hook, kept free of Windows so it is tested natively:
// a matching button press is swallowed and marks its gesture pending; the release of a
// pending gesture's own button is swallowed too and fires the pending triggers. A release
// the hook never sees (over a title bar, in an elevated window or a process without the
// hook) must not leave the flag set: the next ordinary click would lose its release. And
// a release of another button, whose press went elsewhere, is no gesture's end.
#pragma once

#include <cstdint>

namespace vp::hook {

constexpr std::uint32_t kNoMessage = 0;  // WM_NULL
constexpr std::uint32_t kLeftButtonDown = 0x201;
constexpr std::uint32_t kLeftButtonUp = 0x202;
constexpr std::uint32_t kRightButtonDown = 0x204;
constexpr std::uint32_t kRightButtonUp = 0x205;
constexpr std::uint32_t kMiddleButtonDown = 0x207;
constexpr std::uint32_t kMiddleButtonUp = 0x208;
constexpr std::uint32_t kXButtonDown = 0x20B;
constexpr std::uint32_t kXButtonUp = 0x20C;
constexpr std::uint32_t kLeftButtonDoubleClick = 0x203;
constexpr std::uint32_t kRightButtonDoubleClick = 0x206;
constexpr std::uint32_t kMiddleButtonDoubleClick = 0x209;
constexpr std::uint32_t kXButtonDoubleClick = 0x20D;
constexpr std::uint32_t kNonClientLeftButtonDown = 0xA1;
constexpr std::uint32_t kNonClientLeftButtonUp = 0xA2;
constexpr std::uint32_t kNonClientRightButtonDown = 0xA4;
constexpr std::uint32_t kNonClientRightButtonUp = 0xA5;
constexpr std::uint32_t kNonClientMiddleButtonDown = 0xA7;
constexpr std::uint32_t kNonClientMiddleButtonUp = 0xA8;
constexpr std::uint32_t kNonClientXButtonDown = 0xAB;
constexpr std::uint32_t kNonClientXButtonUp = 0xAC;
constexpr std::uint32_t kControlKey = 0x08;  // MK_CONTROL
constexpr std::uint32_t kShiftKey = 0x04;    // MK_SHIFT

struct Gesture {
    std::uint32_t buttonMessage;  // button-down message
    std::uint32_t modifiers;      // required MK_CONTROL / MK_SHIFT mask, matched exactly
    bool enabled;
};

struct GestureOutcome {
    bool swallow = false;
    bool firePopup = false;
    bool fireDefault = false;
};

// Button index (0 left, 1 right, 2 middle, 3 X) to its button-down message; an index
// out of range keeps the current message.
constexpr std::uint32_t ButtonMessage(std::uint32_t buttonIndex, std::uint32_t current) {
    constexpr std::uint32_t kMessages[] = {kLeftButtonDown, kRightButtonDown, kMiddleButtonDown,
                                           kXButtonDown};
    return buttonIndex < 4 ? kMessages[buttonIndex] : current;
}

// Modifier index (0 Ctrl, 1 Shift, 2 Ctrl+Shift) to its mask; out of range keeps current.
constexpr std::uint32_t ModifierMask(std::uint32_t modifierIndex, std::uint32_t current) {
    constexpr std::uint32_t kMasks[] = {kControlKey, kShiftKey, kControlKey | kShiftKey};
    return modifierIndex < 3 ? kMasks[modifierIndex] : current;
}

constexpr bool IsButtonDown(std::uint32_t message) {
    return message == kLeftButtonDown || message == kRightButtonDown ||
           message == kMiddleButtonDown || message == kXButtonDown;
}

constexpr bool IsButtonUp(std::uint32_t message) {
    return message == kLeftButtonUp || message == kRightButtonUp || message == kMiddleButtonUp ||
           message == kXButtonUp;
}

// The button-down message of the button that a client-area release or double-click
// belongs to; kNoMessage for every other message.
constexpr std::uint32_t ClientButton(std::uint32_t message) {
    switch (message) {
        case kLeftButtonUp:
        case kLeftButtonDoubleClick:
            return kLeftButtonDown;
        case kRightButtonUp:
        case kRightButtonDoubleClick:
            return kRightButtonDown;
        case kMiddleButtonUp:
        case kMiddleButtonDoubleClick:
            return kMiddleButtonDown;
        case kXButtonUp:
        case kXButtonDoubleClick:
            return kXButtonDown;
        default:
            return kNoMessage;
    }
}

// The button-down message of the button that a non-client press or release belongs to;
// kNoMessage for every other message.
constexpr std::uint32_t NonClientButton(std::uint32_t message) {
    switch (message) {
        case kNonClientLeftButtonDown:
        case kNonClientLeftButtonUp:
            return kLeftButtonDown;
        case kNonClientRightButtonDown:
        case kNonClientRightButtonUp:
            return kRightButtonDown;
        case kNonClientMiddleButtonDown:
        case kNonClientMiddleButtonUp:
            return kMiddleButtonDown;
        case kNonClientXButtonDown:
        case kNonClientXButtonUp:
            return kXButtonDown;
        default:
            return kNoMessage;
    }
}

// One retrieved message. The pending flags live with the caller (a pair in each process
// that runs the hook) and are updated here. O(1), no allocation.
// `removing` is false when the application only peeks at the message and leaves it in
// its queue: the message comes back when it is removed, and acting on both would fire
// at the peek and let the real release through.
constexpr GestureOutcome MatchGesture(std::uint32_t message, std::uint64_t keyState,
                                      const Gesture& popup, const Gesture& defaultSite,
                                      bool& popupPending, bool& defaultPending,
                                      bool removing = true) {
    GestureOutcome outcome;
    if (!removing) {
        return outcome;
    }
    const std::uint32_t modifiers =
        static_cast<std::uint32_t>(keyState) & (kControlKey | kShiftKey);
    const std::uint32_t button = ClientButton(message);
    // A release or double-click of a button that some pending gesture was pressed with.
    const bool pendingButton = (popupPending && button == popup.buttonMessage) ||
                               (defaultPending && button == defaultSite.buttonMessage);
    if (IsButtonDown(message)) {
        // The button cannot go down twice without a release: a press of a pending
        // gesture's button means its release went where the hook could not see it, so
        // the flag is set afresh by this press alone.
        const bool popupMatch =
            message == popup.buttonMessage && modifiers == popup.modifiers && popup.enabled;
        const bool defaultMatch = !popupMatch && message == defaultSite.buttonMessage &&
                                  modifiers == defaultSite.modifiers && defaultSite.enabled;
        if (!popupMatch && !defaultMatch) {
            // An ordinary click began: whatever was pending ended out of sight.
            popupPending = defaultPending = false;
        }
        if (message == popup.buttonMessage) {
            popupPending = popupMatch;
        }
        if (message == defaultSite.buttonMessage) {
            defaultPending = defaultMatch;
        }
        outcome.swallow = popupMatch || defaultMatch;
    } else if (IsButtonUp(message)) {
        // Only the release of a pending gesture's own button ends it with a trigger; both
        // gestures pressed before it fire together, the popup first. Another button's
        // release was pressed where the hook did not see it and belongs to its window.
        if (pendingButton) {
            outcome.swallow = true;
            outcome.firePopup = popupPending;
            outcome.fireDefault = defaultPending;
        }
        popupPending = false;
        defaultPending = false;
    } else if (button != kNoMessage) {
        // A double-click of another button: a click the hook did not see the start of.
        if (!pendingButton) {
            popupPending = defaultPending = false;
        }
    } else if (const std::uint32_t nonClient = NonClientButton(message); nonClient != kNoMessage) {
        // Pressed or released over a title bar or border: that button's gesture is over
        // without a trigger, and the message itself belongs to the window.
        if (nonClient == popup.buttonMessage) {
            popupPending = false;
        }
        if (nonClient == defaultSite.buttonMessage) {
            defaultPending = false;
        }
    }
    return outcome;
}

}  // namespace vp::hook
