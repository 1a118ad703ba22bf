#include "hook/GestureMatch.h"

#include <gtest/gtest.h>

namespace vp::hook {
namespace {

// Default settings: popup Ctrl + right button, default site Ctrl+Shift + left button.
const Gesture kPopup{kRightButtonDown, kControlKey, true};
const Gesture kDefaultSite{kLeftButtonDown, kControlKey | kShiftKey, true};

struct Hook {
    Gesture popup = kPopup;
    Gesture defaultSite = kDefaultSite;
    bool popupPending = false;
    bool defaultPending = false;

    GestureOutcome Retrieve(std::uint32_t message, std::uint64_t keyState) {
        return MatchGesture(message, keyState, popup, defaultSite, popupPending, defaultPending);
    }
};

TEST(GestureMatch, PopupGestureSwallowsPressAndReleaseAndFiresOnRelease) {
    Hook hook;
    GestureOutcome down = hook.Retrieve(kRightButtonDown, kControlKey | 0x02 /*MK_RBUTTON*/);
    EXPECT_TRUE(down.swallow);
    EXPECT_FALSE(down.firePopup);
    EXPECT_TRUE(hook.popupPending);
    GestureOutcome up = hook.Retrieve(kRightButtonUp, kControlKey);
    EXPECT_TRUE(up.swallow);
    EXPECT_TRUE(up.firePopup);
    EXPECT_FALSE(up.fireDefault);
    EXPECT_FALSE(hook.popupPending);
    // A plain click afterwards passes through.
    EXPECT_FALSE(hook.Retrieve(kRightButtonDown, 0).swallow);
    EXPECT_FALSE(hook.Retrieve(kRightButtonUp, 0).swallow);
}

TEST(GestureMatch, ModifiersMustMatchExactly) {
    Hook hook;
    // Ctrl+Shift + right: not the Ctrl-only popup gesture, and not the default gesture.
    EXPECT_FALSE(hook.Retrieve(kRightButtonDown, kControlKey | kShiftKey).swallow);
    EXPECT_FALSE(hook.Retrieve(kRightButtonUp, 0).swallow);
    // Ctrl + left is not the Ctrl+Shift default gesture.
    EXPECT_FALSE(hook.Retrieve(kLeftButtonDown, kControlKey).swallow);
    // Other key-state bits (buttons held, X button number) do not count.
    GestureOutcome down = hook.Retrieve(kLeftButtonDown, kControlKey | kShiftKey | 0x01 | 0x20000);
    EXPECT_TRUE(down.swallow);
    EXPECT_TRUE(hook.defaultPending);
    EXPECT_TRUE(hook.Retrieve(kLeftButtonUp, 0).fireDefault);
}

TEST(GestureMatch, PopupWinsATieAndBothFireAtTheFirstRelease) {
    Hook hook;
    hook.defaultSite = kPopup;
    hook.Retrieve(kRightButtonDown, kControlKey);
    EXPECT_TRUE(hook.popupPending);
    EXPECT_FALSE(hook.defaultPending);

    Hook both;
    both.Retrieve(kRightButtonDown, kControlKey);
    both.Retrieve(kLeftButtonDown, kControlKey | kShiftKey);
    GestureOutcome up = both.Retrieve(kMiddleButtonUp, 0);  // any button's release
    EXPECT_TRUE(up.firePopup);
    EXPECT_TRUE(up.fireDefault);
    EXPECT_FALSE(both.popupPending || both.defaultPending);
    EXPECT_FALSE(both.Retrieve(kLeftButtonUp, 0).swallow);  // the second release passes
}

TEST(GestureMatch, DisabledGesturesDoubleClicksAndOtherMessagesPassThrough) {
    Hook hook;
    hook.popup.enabled = false;
    EXPECT_FALSE(hook.Retrieve(kRightButtonDown, kControlKey).swallow);
    EXPECT_FALSE(hook.popupPending);

    Hook pending;
    pending.Retrieve(kRightButtonDown, kControlKey);
    EXPECT_FALSE(pending.Retrieve(0x206 /*WM_RBUTTONDBLCLK*/, kControlKey).swallow);
    EXPECT_FALSE(pending.Retrieve(0x20A /*WM_MOUSEWHEEL*/, kControlKey).swallow);
    EXPECT_FALSE(pending.Retrieve(0x200 /*WM_MOUSEMOVE*/, kControlKey).swallow);
    EXPECT_TRUE(pending.popupPending);  // still waiting for a release
}

TEST(GestureMatch, PeekedMessagesAreLeftAlone) {
    // An application that peeks without removing sees each message twice: acting on the
    // peek would fire early and let the removed release through.
    Hook hook;
    auto peek = [&](std::uint32_t message, std::uint64_t keyState) {
        return MatchGesture(message, keyState, hook.popup, hook.defaultSite, hook.popupPending,
                            hook.defaultPending, false);
    };
    EXPECT_FALSE(peek(kRightButtonDown, kControlKey).swallow);
    EXPECT_FALSE(hook.popupPending);
    EXPECT_TRUE(hook.Retrieve(kRightButtonDown, kControlKey).swallow);
    GestureOutcome peekedUp = peek(kRightButtonUp, kControlKey);
    EXPECT_FALSE(peekedUp.swallow || peekedUp.firePopup);
    EXPECT_TRUE(hook.popupPending);
    GestureOutcome up = hook.Retrieve(kRightButtonUp, kControlKey);
    EXPECT_TRUE(up.swallow && up.firePopup);
}

TEST(GestureMatch, AReleaseTheHookNeverSawDoesNotEatTheNextClick) {
    // Released where the hook is not loaded: the next plain press of that button clears
    // the flag, and its release reaches the application without firing.
    Hook hook;
    hook.Retrieve(kRightButtonDown, kControlKey);
    EXPECT_FALSE(hook.Retrieve(kRightButtonDown, 0).swallow);
    EXPECT_FALSE(hook.popupPending);
    GestureOutcome up = hook.Retrieve(kRightButtonUp, 0);
    EXPECT_FALSE(up.swallow || up.firePopup);

    // A press of another button is no sign of a lost release; the gesture stays pending.
    hook.Retrieve(kRightButtonDown, kControlKey);
    EXPECT_FALSE(hook.Retrieve(kMiddleButtonDown, 0).swallow);
    EXPECT_TRUE(hook.popupPending);
    // The same gesture again: pending afresh, one trigger at its release.
    EXPECT_TRUE(hook.Retrieve(kRightButtonDown, kControlKey).swallow);
    EXPECT_TRUE(hook.Retrieve(kRightButtonUp, 0).firePopup);

    // Released over a title bar: the non-client release clears that button's gesture
    // and is left to the window; another button's does not.
    hook.Retrieve(kRightButtonDown, kControlKey);
    hook.Retrieve(kLeftButtonDown, kControlKey | kShiftKey);
    EXPECT_FALSE(hook.Retrieve(kNonClientRightButtonUp, 0).swallow);
    EXPECT_FALSE(hook.popupPending);
    EXPECT_TRUE(hook.defaultPending);
    EXPECT_FALSE(hook.Retrieve(kNonClientLeftButtonDown, 0).swallow);
    EXPECT_FALSE(hook.defaultPending);
    up = hook.Retrieve(kLeftButtonUp, 0);
    EXPECT_FALSE(up.swallow || up.fireDefault || up.firePopup);

    // Both gestures on one button: a plain press clears both; the default gesture's
    // press clears the popup's flag and sets its own.
    Hook shared;
    shared.defaultSite = {kRightButtonDown, kControlKey | kShiftKey, true};
    shared.Retrieve(kRightButtonDown, kControlKey);
    EXPECT_TRUE(shared.Retrieve(kRightButtonDown, kControlKey | kShiftKey).swallow);
    EXPECT_FALSE(shared.popupPending);
    up = shared.Retrieve(kRightButtonUp, 0);
    EXPECT_TRUE(up.fireDefault);
    EXPECT_FALSE(up.firePopup);
    shared.Retrieve(kRightButtonDown, kControlKey | kShiftKey);
    EXPECT_FALSE(shared.Retrieve(kNonClientRightButtonDown, 0).swallow);
    EXPECT_FALSE(shared.popupPending || shared.defaultPending);
}

TEST(GestureMatch, IndexesOutsideTheirRangeKeepTheCurrentValue) {
    EXPECT_EQ(ButtonMessage(0, 1), kLeftButtonDown);
    EXPECT_EQ(ButtonMessage(1, 1), kRightButtonDown);
    EXPECT_EQ(ButtonMessage(2, 1), kMiddleButtonDown);
    EXPECT_EQ(ButtonMessage(3, 1), kXButtonDown);
    EXPECT_EQ(ButtonMessage(4, 1), 1u);
    EXPECT_EQ(ButtonMessage(7, kRightButtonDown), kRightButtonDown);
    EXPECT_EQ(ModifierMask(0, 0), kControlKey);
    EXPECT_EQ(ModifierMask(1, 0), kShiftKey);
    EXPECT_EQ(ModifierMask(2, 0), kControlKey | kShiftKey);
    EXPECT_EQ(ModifierMask(3, kShiftKey), kShiftKey);

    // The initial button messages (1 and 0) are no mouse messages: nothing matches.
    Hook unset;
    unset.popup = {1, kControlKey, true};
    unset.defaultSite = {0, kControlKey, true};
    for (std::uint32_t message :
         {kLeftButtonDown, kRightButtonDown, kMiddleButtonDown, kXButtonDown}) {
        EXPECT_FALSE(unset.Retrieve(message, kControlKey).swallow);
    }
}

}  // namespace
}  // namespace vp::hook
