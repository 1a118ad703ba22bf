// The hook's state: its first gestures and the name of its mapping.
#include "hook/HookState.h"

#include <gtest/gtest.h>

#include <string>

namespace vp::hook {
namespace {

TEST(HookState, InitialGesturesMatchNoPress) {
    // Enabled with the first state's buttons, as a setter that gets only its enable flag
    // and out-of-range indexes leaves them: still no press matches.
    const HookState initial = InitialHookState();
    Gesture popup = UnpackGesture(initial.popup);
    Gesture defaultSite = UnpackGesture(initial.defaultSite);
    popup.enabled = defaultSite.enabled = true;
    for (const std::uint32_t press :
         {kLeftButtonDown, kRightButtonDown, kMiddleButtonDown, kXButtonDown}) {
        for (const std::uint64_t keys : {0u, 4u, 8u, 12u}) {
            bool popupPending = false;
            bool defaultPending = false;
            EXPECT_FALSE(MatchGesture(press, keys, popup, defaultSite, popupPending, defaultPending)
                             .swallow);
        }
    }
    EXPECT_EQ(popup.modifiers, kControlKey);
}

TEST(HookState, ObjectNamesCarryTheUsersSidInText) {
    // S-1-5-21-1004336348-1177238915-682003330-1001
    const std::uint8_t sid[] = {1,    5,    0,    0,    0,    0,    0,    5,    21,   0,
                                0,    0,    0xDC, 0xF4, 0xDC, 0x3B, 0x83, 0x3D, 0x2B, 0x46,
                                0x82, 0x8B, 0xA6, 0x28, 0xE9, 0x03, 0,    0};
    const std::uint8_t shortSid[] = {1, 1, 0, 0, 0, 0, 0, 5, 21, 0, 0, 0};  // S-1-5-21
    char16_t name[kSidTextUnits] = {};
    ASSERT_TRUE(SidText(kHookStatePrefix, sid, sizeof sid, "", name, kSidTextUnits));
    EXPECT_EQ(std::u16string(name),
              u"Local\\QH_VantapickerHookState_S-1-5-21-1004336348-1177238915-682003330-1001");
    char text[64] = {};
    ASSERT_TRUE(SidText("(", shortSid, sizeof shortSid, ")", text, sizeof text));
    EXPECT_EQ(std::string(text), "(S-1-5-21)");

    // A SID bigger than its bytes, of another revision or with too many parts, and a name
    // that does not fit, exactly at the boundary.
    std::uint8_t wrong[sizeof sid];
    std::copy(std::begin(sid), std::end(sid), wrong);
    EXPECT_FALSE(SidText("", sid, sizeof sid - 1, "", text, sizeof text));
    wrong[0] = 2;
    EXPECT_FALSE(SidText("", wrong, sizeof wrong, "", text, sizeof text));
    wrong[0] = 1;
    wrong[1] = 16;
    EXPECT_FALSE(SidText("", wrong, sizeof wrong, "", text, sizeof text));
    EXPECT_TRUE(SidText("", shortSid, sizeof shortSid, "", text, 9));  // with its zero
    EXPECT_FALSE(SidText("", shortSid, sizeof shortSid, "", text, 8));
}

}  // namespace
}  // namespace vp::hook
