// The host of the 32-bit hook: its command line.
#include <gtest/gtest.h>

#include <string>

#include "hook/HookHost.h"

namespace vp::hook {
namespace {

TEST(HookHost, CommandLineTakesTheWindowTheProcessAndExactlyTheCountedHashes) {
    HostArguments arguments;
    ASSERT_TRUE(ParseHostCommandLine(
        u"\"C:\\\u0392\u03AC\u03BD\u03C4\u03B1 picker\\VPHookHost32.exe\" 65622 256 2  "
        u"18446744073709551615\t7 ",
        arguments));
    EXPECT_EQ(arguments.targetWindow, 65622u);
    EXPECT_EQ(arguments.programProcessId, 256u);
    ASSERT_EQ(arguments.exclusions.count, 2);
    EXPECT_EQ(arguments.exclusions.hashes[0], 18446744073709551615ull);
    EXPECT_EQ(arguments.exclusions.hashes[1], 7u);
    EXPECT_EQ(arguments.exclusions.hashes[2], 0u);
    EXPECT_TRUE(ParseHostCommandLine("host.exe 4294967295 4294967295 0", arguments));
    EXPECT_EQ(arguments.exclusions.count, 0);
    std::string full = "host.exe 1 2 32";
    for (int i = 0; i < kMaxGestureExclusions; ++i) {
        full += " " + std::to_string(i);
    }
    ASSERT_TRUE(ParseHostCommandLine(full.c_str(), arguments));
    EXPECT_EQ(arguments.exclusions.count, kMaxGestureExclusions);

    // Every number that does not fit its field is refused, not cut.
    for (const std::string& wrong : std::initializer_list<std::string>{
             "host.exe 4294967296 1 0", "host.exe 1 4294967296 0",
             "host.exe 1 2 1 18446744073709551616", "host.exe 1 2 1 99999999999999999999",
             "host.exe 1 2 4294967297 1", "host.exe 1 2 33" + full.substr(15) + " 32",
             "host.exe 1 2", "host.exe 1 2 1", "host.exe 1 2 1 5 6", "host.exe 0 2 0",
             "host.exe 1 0 0", "host.exe 1 2 0 x", "host.exe 1 2 -1", "host.exe 1 2 +0",
             "\"unclosed 1 2 0", "host.exe1 2 0", ""}) {
        EXPECT_FALSE(ParseHostCommandLine(wrong.c_str(), arguments)) << wrong;
    }
    EXPECT_FALSE(ParseHostCommandLine(static_cast<const char*>(nullptr), arguments));
}

}  // namespace
}  // namespace vp::hook
