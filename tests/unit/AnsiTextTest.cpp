#include "base/AnsiText.h"

#include <gtest/gtest.h>

#include "LeadBytes.h"

namespace vp {
namespace {

std::string Trimmed(std::string text, const LeadByteSet& leadBytes = LeadByteSet::SingleByte()) {
    TrimTrailingBlanks(text, leadBytes);
    return text;
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
    // The last lead byte of each range is a lead byte too.
    for (const std::string pair : {"\x9F\x40", "\xFC\x40"}) {
        EXPECT_EQ(CutText("a" + pair, 2, sjis), "a");
        EXPECT_EQ(CutText("a" + pair + "b", 3, sjis), "a" + pair);
    }
}

TEST(AnsiText, PreviousCharStartStepsOverWholeCharacters) {
    const LeadByteSet sjis = ShiftJisLeadBytes();
    const std::string text = "a\x82\x81 ";
    EXPECT_EQ(PreviousCharStart(text, 4, sjis), 3u);  // the blank
    EXPECT_EQ(PreviousCharStart(text, 3, sjis), 1u);  // the double-byte character
    EXPECT_EQ(PreviousCharStart(text, 1, sjis), 0u);
    EXPECT_EQ(PreviousCharStart(text, 3, LeadByteSet::SingleByte()), 2u);
}

TEST(AnsiText, TrimRemovesTrailingBlanksOnly) {
    EXPECT_EQ(Trimmed("word   "), "word");
    EXPECT_EQ(Trimmed("  two words "), "  two words");
    EXPECT_EQ(Trimmed("tab\t"), "tab\t");
    EXPECT_EQ(Trimmed("line\r\n"), "line\r\n");
    EXPECT_EQ(Trimmed("tab\t  "), "tab\t");
    EXPECT_EQ(Trimmed("    "), "");
    EXPECT_EQ(Trimmed(""), "");
}

TEST(AnsiText, TrimKeepsDoubleByteCharactersWhole) {
    LeadByteSet gbk;
    gbk.AddRange(0x81, 0xFE);
    // A lead byte whose trail byte was lost to an earlier cut stays a single byte.
    EXPECT_EQ(Trimmed("\xB0\xA1  ", gbk), "\xB0\xA1");
    EXPECT_EQ(Trimmed("a\xB0", gbk), "a\xB0");
    EXPECT_EQ(Trimmed("\xB0 ", gbk), "\xB0 ");  // 0xB0 0x20 is one character here
    EXPECT_EQ(Trimmed("\xB0 ", LeadByteSet::SingleByte()), "\xB0");
}

}  // namespace
}  // namespace vp
