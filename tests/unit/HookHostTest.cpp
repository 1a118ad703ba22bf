// The host of the 32-bit hook: its command line and the gestures packed for its messages.
#include <gtest/gtest.h>

#include "hook/HookHost.h"

namespace vp::hook {
namespace {

TEST(HookHost, GesturesSurvivePackingAndIndexesOutOfRangeStayOutOfRange) {
    for (std::uint32_t modifier : {0u, 2u, 3u, 254u}) {
        for (std::uint32_t button : {0u, 3u, 4u}) {
            for (bool enable : {false, true}) {
                const GestureSetting back = UnpackGesture(PackGesture({modifier, button, enable}));
                EXPECT_EQ(back.modifierIndex, modifier);
                EXPECT_EQ(back.buttonIndex, button);
                EXPECT_EQ(back.enable, enable);
            }
        }
    }
    // 256 must not wrap round to 0 (Ctrl, left button), a valid index.
    const GestureSetting wide = UnpackGesture(PackGesture({256, 0xFFFFFFFFu, true}));
    EXPECT_EQ(wide.modifierIndex, 255u);
    EXPECT_EQ(wide.buttonIndex, 255u);
}

TEST(HookHost, ProgramHashesArriveWholeFromTheirHalvesAndEachListStartsAfresh) {
    ExclusionAssembly assembly;
    const std::uint64_t sent[] = {0x0123456789ABCDEFull, 0xFFFFFFFF00000001ull};
    for (std::uint32_t slot = 0; slot < 2; ++slot) {
        assembly.TakeHalf(slot * 2 + 1, static_cast<std::uint32_t>(sent[slot] >> 32));
        assembly.TakeHalf(slot * 2, static_cast<std::uint32_t>(sent[slot]));
    }
    assembly.TakeHalf(kMaxGestureExclusions * 2, 7);  // no such slot: ignored
    std::uint64_t hashes[kMaxGestureExclusions];
    ASSERT_EQ(assembly.End(2, hashes), 2);
    EXPECT_EQ(hashes[0], sent[0]);
    EXPECT_EQ(hashes[1], sent[1]);
    EXPECT_EQ(hashes[2], 0u);

    // The next list knows nothing of the last one, and a count beyond the capacity is cut.
    assembly.TakeHalf(1, 5);
    ASSERT_EQ(assembly.End(1000, hashes), kMaxGestureExclusions);
    EXPECT_EQ(hashes[0], 5ull << 32);
    EXPECT_EQ(hashes[1], 0u);
    EXPECT_EQ(assembly.End(0, hashes), 0);
    EXPECT_EQ(hashes[0], 0u);
}

TEST(HookHost, CommandLineTakesExactlyFourNumbersAfterTheProgramName) {
    const auto arguments = ParseHostCommandLine(
        "\"C:\\Program Files\\Vanta picker\\VPHookHost32.exe\" 65622 256 65792  65538 ");
    ASSERT_TRUE(arguments.has_value());
    EXPECT_EQ(arguments->targetWindow, 65622u);
    EXPECT_EQ(arguments->programProcessId, 256u);
    EXPECT_EQ(arguments->popup.buttonIndex, 1u);
    EXPECT_TRUE(arguments->popup.enable);
    EXPECT_EQ(arguments->defaultSite.modifierIndex, 2u);
    EXPECT_TRUE(ParseHostCommandLine("host.exe 4294967295 1 0 0").has_value());

    for (const char* wrong : {"host.exe 1 2 3", "host.exe 1 2 3 4 5", "host.exe 0 2 3 4",
                              "host.exe 1 0 3 4", "host.exe 1 2 3 x4", "host.exe 4294967296 1 0 0",
                              "host.exe 1 2 3 -4", "\"unclosed 1 2 3 4", "host.exe1 2 3 4", ""}) {
        EXPECT_FALSE(ParseHostCommandLine(wrong).has_value()) << wrong;
    }
    EXPECT_FALSE(ParseHostCommandLine(nullptr).has_value());
}

}  // namespace
}  // namespace vp::hook
