#include "app/AnsiText.h"

#include <gtest/gtest.h>

namespace vp {
namespace {

// Shift-JIS style lead bytes: 0x81-0x9F and 0xE0-0xFC.
LeadByteSet ShiftJisLeadBytes() {
    LeadByteSet set;
    set.AddRange(0x81, 0x9F);
    set.AddRange(0xE0, 0xFC);
    return set;
}

TEST(AnsiText, CutKeepsShortTextAndCutsLongTextAtTheLimit) {
    EXPECT_EQ(CutText("abc", 5, LeadByteSet::SingleByte()), "abc");
    EXPECT_EQ(CutText("abcdef", 5, LeadByteSet::SingleByte()), "abcde");
    EXPECT_EQ(CutText("", 0, LeadByteSet::SingleByte()), "");
    // In a single-byte code page 0x95 is an ordinary character.
    EXPECT_EQ(CutText("ab\x95\x95", 3, LeadByteSet::SingleByte()), "ab\x95");
}

TEST(AnsiText, CutNeverSplitsADoubleByteCharacter) {
    const LeadByteSet sjis = ShiftJisLeadBytes();
    // "a" then two double-byte characters: cutting at 2 would split the first one.
    const std::string text = "a\x82\xA0\x82\xA2";
    EXPECT_EQ(CutText(text, 2, sjis), "a");
    EXPECT_EQ(CutText(text, 3, sjis), "a\x82\xA0");
    EXPECT_EQ(CutText(text, 4, sjis), "a\x82\xA0");
    // A trail byte in the lead range (0x82 0x81) is not taken for a lead byte.
    const std::string tricky = "\x82\x81\x82\x81";
    EXPECT_EQ(CutText(tricky, 3, sjis), "\x82\x81");
}

TEST(AnsiText, PreviousCharStartStepsOverWholeCharacters) {
    const LeadByteSet sjis = ShiftJisLeadBytes();
    const std::string text = "a\x82\x81 ";
    EXPECT_EQ(PreviousCharStart(text, 4, sjis), 3u);  // the blank
    EXPECT_EQ(PreviousCharStart(text, 3, sjis), 1u);  // the double-byte character
    EXPECT_EQ(PreviousCharStart(text, 1, sjis), 0u);
    EXPECT_EQ(PreviousCharStart(text, 3, LeadByteSet::SingleByte()), 2u);
}

}  // namespace
}  // namespace vp
