// UTF-16 search texts: the cut, the trimming and the UTF-8 percent-encoding.
#include <gtest/gtest.h>

#include <random>

#include "base/WideText.h"

namespace vp {
namespace {

std::u16string Trimmed(std::u16string text) {
    TrimTrailingBlanks(text);
    return text;
}

TEST(WideText, CutKeepsSurrogatePairsWhole) {
    const std::u16string emoji = u"\U0001F600";  // two units
    EXPECT_EQ(CutText(u"abc", 3), u"abc");
    EXPECT_EQ(CutText(u"abcd", 3), u"abc");
    EXPECT_EQ(CutText(u"ab" + emoji, 3), u"ab");  // the pair would be split: dropped
    EXPECT_EQ(CutText(u"a" + emoji + u"b", 3), u"a" + emoji);
    EXPECT_EQ(CutText(std::u16string(300, u'\u65E5'), 255).size(), 255u);
    // A lone high surrogate before an ordinary unit is not a pair: cut as a unit.
    EXPECT_EQ(CutText(u"ab\xD800z", 3), u"ab\xD800");
}

TEST(WideText, OnlyTrailingBlanksAreTrimmed) {
    EXPECT_EQ(Trimmed(u" \u65E5\u672C \t  "), u" \u65E5\u672C \t");
    // The ideographic space is not a blank.
    EXPECT_EQ(Trimmed(u"\u3042\u3000  "), u"\u3042\u3000");
    EXPECT_EQ(Trimmed(u"   "), u"");
}

TEST(WideText, LineEndsCountedOnceMapOntoCrLfText) {
    const std::u16string text = u"ab\r\ncd\r\n\r\ne";
    // Positions 0 1 2(line end) 3 4 5(line end) 6(line end) 7.
    const std::size_t expected[] = {0, 1, 2, 4, 5, 6, 8, 10, 11, 11};
    for (std::size_t position = 0; position < std::size(expected); ++position) {
        EXPECT_EQ(PositionCountingLineEndsOnce(text, position), expected[position]) << position;
    }
    // A lone CR or LF is one character either way.
    EXPECT_EQ(PositionCountingLineEndsOnce(u"a\rb\nc", 4), 4u);
    EXPECT_EQ(PositionCountingLineEndsOnce(u"", 3), 0u);
}

TEST(WideText, PercentEncodesUtf8ExceptUnreservedCharacters) {
    EXPECT_EQ(PercentEncodeUtf8(u"AT&T C++ 100%"), "AT%26T%20C%2B%2B%20100%25");
    EXPECT_EQ(PercentEncodeUtf8(u"aZ09-._~#/?=\""), "aZ09-._~%23%2F%3F%3D%22");
    EXPECT_EQ(PercentEncodeUtf8(u"\u00E9\u65E5\U0001F600"), "%C3%A9%E6%97%A5%F0%9F%98%80");
    // Lone surrogates become U+FFFD; a pair in the wrong order is two lone ones.
    EXPECT_EQ(PercentEncodeUtf8(u"\xDC00\xD800"), "%EF%BF%BD%EF%BF%BD");
    EXPECT_EQ(PercentEncodeUtf8(std::u16string(1, u'\0')), "%00");
}

// Random UTF-16, lone surrogates included, always gives well-formed escapes of valid
// UTF-8 and only unreserved characters otherwise.
TEST(WideText, RandomTextsAlwaysEncodeToValidEscapes) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> length(0, 40);
    std::uniform_int_distribution<int> kind(0, 3);
    for (int round = 0; round < 20000; ++round) {
        std::u16string text;
        for (int i = length(random); i > 0; --i) {
            const int k = kind(random);
            const unsigned unit = k == 0   ? random() % 0x80
                                  : k == 1 ? 0xD800 + random() % 0x800  // surrogates
                                           : random() % 0x10000;
            text += static_cast<char16_t>(unit);
        }
        const std::string encoded = PercentEncodeUtf8(text);
        std::string bytes;
        for (std::size_t i = 0; i < encoded.size(); ++i) {
            const char c = encoded[i];
            if (c != '%') {
                ASSERT_TRUE(IsUnreservedUrlCharacter(static_cast<unsigned char>(c))) << encoded;
                bytes += c;
                continue;
            }
            ASSERT_LE(i + 2, encoded.size() - 1) << encoded;
            const std::string hex = encoded.substr(i + 1, 2);
            ASSERT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos) << encoded;
            bytes += static_cast<char>(std::stoi(hex, nullptr, 16));
            i += 2;
        }
        // The decoded bytes are valid UTF-8 without surrogates.
        for (std::size_t i = 0; i < bytes.size();) {
            const auto lead = static_cast<unsigned char>(bytes[i]);
            const std::size_t count = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
            ASSERT_TRUE(lead < 0x80 || (lead >= 0xC2 && lead <= 0xF4)) << encoded;
            ASSERT_LE(i + count, bytes.size()) << encoded;
            for (std::size_t k = 1; k < count; ++k) {
                ASSERT_EQ(static_cast<unsigned char>(bytes[i + k]) & 0xC0, 0x80) << encoded;
            }
            if (lead == 0xED) {
                ASSERT_LT(static_cast<unsigned char>(bytes[i + 1]), 0xA0) << encoded;
            }
            i += count;
        }
    }
}

}  // namespace
}  // namespace vp
