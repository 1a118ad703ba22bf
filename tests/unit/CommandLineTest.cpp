#include "base/CommandLine.h"

#include <gtest/gtest.h>

#include "LeadBytes.h"

namespace vp {
namespace {

RegistrationSwitch Find(std::string_view commandLine) {
    return FindRegistrationSwitch(commandLine, LeadByteSet::SingleByte());
}

TEST(CommandLine, SwitchAtTheEndWithEitherPrefixInAnyCase) {
    EXPECT_EQ(Find("Vantapicker.exe -RegServer"), RegistrationSwitch::Register);
    EXPECT_EQ(Find("Vantapicker.exe /regserver"), RegistrationSwitch::Register);
    EXPECT_EQ(Find("Vantapicker.exe -UnregServer"), RegistrationSwitch::Unregister);
    EXPECT_EQ(Find("Vantapicker.exe /UNREGSERVER"), RegistrationSwitch::Unregister);
    // Earlier dashes (in the path or other words) do not hide a switch at the end.
    EXPECT_EQ(Find("\"C:\\my-tools\\Vantapicker.exe\" -x /RegServer"),
              RegistrationSwitch::Register);
}

TEST(CommandLine, AnythingElseStartsTheProgram) {
    for (std::string_view commandLine :
         {"Vantapicker.exe", "", "Vantapicker.exe RegServer", "Vantapicker.exe -RegServer more",
          "Vantapicker.exe -RegServer ", "Vantapicker.exe -Reg", "Vantapicker.exe -"}) {
        EXPECT_EQ(Find(commandLine), RegistrationSwitch::None) << '"' << commandLine << '"';
    }
}

TEST(CommandLine, TrailBytesAreNotTakenForSwitchCharacters) {
    const LeadByteSet sjis = ShiftJisLeadBytes();
    // 0x81 0x2F is one double-byte character whose trail byte happens to be '/'.
    EXPECT_EQ(FindRegistrationSwitch("prog \x81/RegServer", sjis), RegistrationSwitch::None);
    EXPECT_EQ(FindRegistrationSwitch("prog \x81/RegServer", LeadByteSet::SingleByte()),
              RegistrationSwitch::Register);
    EXPECT_EQ(FindRegistrationSwitch("prog \x81\x81-RegServer", sjis),
              RegistrationSwitch::Register);
}

}  // namespace
}  // namespace vp
