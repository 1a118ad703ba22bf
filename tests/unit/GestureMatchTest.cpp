#include "hook/GestureMatch.h"

#include <gtest/gtest.h>

#include <string>

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

// The outcome in words, so that one comparison checks every flag.
std::string Flags(const GestureOutcome& outcome) {
    return std::string(outcome.swallow ? "swallow" : "pass") + (outcome.firePopup ? " popup" : "") +
           (outcome.fireDefault ? " default" : "");
}

TEST(GestureMatch, PopupGestureSwallowsPressAndReleaseAndFiresOnRelease) {
    Hook hook;
    EXPECT_EQ(Flags(hook.Retrieve(kRightButtonDown, kControlKey | 0x02 /*MK_RBUTTON*/)), "swallow");
    EXPECT_TRUE(hook.popupPending);
    EXPECT_EQ(Flags(hook.Retrieve(kRightButtonUp, kControlKey)), "swallow popup");
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
    EXPECT_TRUE(hook.Retrieve(kLeftButtonDown, kControlKey | kShiftKey | 0x01 | 0x20000).swallow);
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
    // Either gesture's own release fires both.
    EXPECT_EQ(Flags(both.Retrieve(kLeftButtonUp, 0)), "swallow popup default");
    EXPECT_FALSE(both.popupPending || both.defaultPending);
    EXPECT_FALSE(both.Retrieve(kRightButtonUp, 0).swallow);  // the second release passes
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
    EXPECT_EQ(Flags(peek(kRightButtonUp, kControlKey)), "pass");
    EXPECT_TRUE(hook.popupPending);
    EXPECT_EQ(Flags(hook.Retrieve(kRightButtonUp, kControlKey)), "swallow popup");
}

TEST(GestureMatch, AReleaseTheHookNeverSawDoesNotEatTheNextClick) {
    // Another button's release or double-click, or an ordinary press, whose start the hook
    // did not see: it reaches its window and clears what was pending, so the release passes.
    for (std::uint32_t other :
         {kMiddleButtonUp, kLeftButtonUp, kXButtonUp, kMiddleButtonDoubleClick,
          kLeftButtonDoubleClick, kMiddleButtonDown, kLeftButtonDown}) {
        Hook hook;
        hook.Retrieve(kRightButtonDown, kControlKey);
        const std::string first = Flags(hook.Retrieve(other, 0));
        EXPECT_EQ(first + Flags(hook.Retrieve(kRightButtonUp, 0)), "passpass") << other;
    }

    // Released where the hook is not loaded: the next plain press of that button clears
    // the flag, and its release reaches the application without firing.
    Hook hook;
    hook.Retrieve(kRightButtonDown, kControlKey);
    EXPECT_FALSE(hook.Retrieve(kRightButtonDown, 0).swallow);
    EXPECT_FALSE(hook.popupPending);
    EXPECT_EQ(Flags(hook.Retrieve(kRightButtonUp, 0)), "pass");

    // The same gesture again: pending afresh, one trigger at its release.
    hook.Retrieve(kRightButtonDown, kControlKey);
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
    EXPECT_EQ(Flags(hook.Retrieve(kLeftButtonUp, 0)), "pass");

    // Both gestures on one button: a plain press clears both; the default gesture's
    // press clears the popup's flag and sets its own.
    Hook shared;
    shared.defaultSite = {kRightButtonDown, kControlKey | kShiftKey, true};
    shared.Retrieve(kRightButtonDown, kControlKey);
    EXPECT_TRUE(shared.Retrieve(kRightButtonDown, kControlKey | kShiftKey).swallow);
    EXPECT_FALSE(shared.popupPending);
    EXPECT_EQ(Flags(shared.Retrieve(kRightButtonUp, 0)), "swallow default");
    shared.Retrieve(kRightButtonDown, kControlKey | kShiftKey);
    EXPECT_FALSE(shared.Retrieve(kNonClientRightButtonDown, 0).swallow);
    EXPECT_FALSE(shared.popupPending || shared.defaultPending);
}

TEST(GestureMatch, IndexesOutsideTheirRangeKeepTheCurrentValue) {
    const std::uint32_t downs[] = {kLeftButtonDown, kRightButtonDown, kMiddleButtonDown,
                                   kXButtonDown};
    for (std::uint32_t index = 0; index < 4; ++index) {
        EXPECT_EQ(ButtonMessage(index, 1), downs[index]) << index;
    }
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
    for (std::uint32_t message : downs) {
        EXPECT_FALSE(unset.Retrieve(message, kControlKey).swallow);
    }
}

}  // namespace
}  // namespace vp::hook
