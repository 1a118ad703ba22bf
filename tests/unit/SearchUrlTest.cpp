// Search URLs: composition, encoding, the web-address rule and the length cut.
#include <gtest/gtest.h>

#include "sites/SearchUrl.h"
#include "LeadBytes.h"

namespace vp {
namespace {

const std::string kSite = "https://s.example/?q=";

std::string Compose(std::string_view site, std::string_view text,
                    const LeadByteSet& leadBytes = LeadByteSet::SingleByte()) {
    return ComposeSearchUrl(site, text, leadBytes).value_or("<not opened>");
}

TEST(SearchUrl, TextIsAppendedAsItIsButQuotesAndControlCharactersAreEncoded) {
    EXPECT_EQ(Compose(kSite, "two words"), kSite + "two words");
    EXPECT_EQ(Compose(kSite, "a&b#c%41+d\t\xE9"), kSite + "a&b#c%41+d%09\xE9");
    EXPECT_EQ(Compose(kSite, ""), kSite);
    EXPECT_EQ(Compose(kSite, "say \"hi\"\r\n\x7F"), kSite + "say %22hi%22%0D%0A%7F");
    EXPECT_EQ(Compose(kSite, std::string_view("a\0b", 3)), kSite + "a%00b");
}

TEST(SearchUrl, DoubleByteCharactersStayWholeButNoRawQuoteOrLineEndGetsThrough) {
    // A trail byte that looks like a quote or backslash in a single-byte code page.
    EXPECT_EQ(Compose(kSite, "\x82\xA0\x83\x5C", ShiftJisLeadBytes()), kSite + "\x82\xA0\x83\x5C");
    // A lead byte before a quote or a line end is no pair: those are still encoded.
    EXPECT_EQ(Compose(kSite, "\x81\"\x81\n\x81", ShiftJisLeadBytes()),
              kSite + "\x81%22\x81%0A\x81");
}

TEST(SearchUrl, OnlyWebUrlsWithAHostAreOpened) {
    EXPECT_EQ(Compose("HTTP://Host/x?q=", "t"), "HTTP://Host/x?q=t");
    EXPECT_EQ(Compose("hTTpS://h", ""), "hTTpS://h");
    EXPECT_FALSE(ComposeSearchUrl("", "C:\\Windows\\System32\\notepad.exe", {}));
    EXPECT_FALSE(ComposeSearchUrl("", "\\\\server\\share", {}));
    // Without a site nothing is opened, even when the text looks like a web address.
    EXPECT_FALSE(ComposeSearchUrl("", "https://looks.like/a/url", {}));
    EXPECT_FALSE(ComposeSearchUrl("file:///C:/", "x", {}));
    EXPECT_FALSE(ComposeSearchUrl("ftp://host/", "x", {}));
    EXPECT_FALSE(ComposeSearchUrl("mailto:", "x@y", {}));
    EXPECT_FALSE(ComposeSearchUrl("https://", "", {}));
    EXPECT_FALSE(ComposeSearchUrl("https:///path", "", {}));
    EXPECT_FALSE(ComposeSearchUrl("https://user@:80/", "", {}));
    EXPECT_FALSE(ComposeSearchUrl("javascript:alert(1)//https://", "", {}));
    EXPECT_TRUE(ComposeSearchUrl("https://user:pw@host:8080/?q=", "x", {}));
    EXPECT_TRUE(ComposeSearchUrl("http://[::1]:80/?q=", "x", {}));
}

TEST(SearchUrl, LongUrlsAreCutTo2083WithoutSplittingCharactersOrEscapes) {
    EXPECT_EQ(Compose(kSite, std::string(3000, 'x')).size(), kMaxUrlLength);

    // One byte of room left for a double-byte character: it is left out whole.
    std::string filler(kMaxUrlLength - kSite.size() - 1, 'x');
    std::string url = Compose(kSite, filler + "\x82\xA0", ShiftJisLeadBytes());
    EXPECT_EQ(url.size(), kMaxUrlLength - 1);
    EXPECT_EQ(url.back(), 'x');

    // Two bytes of room and an escape of three: the escape is left out whole.
    filler.pop_back();
    url = Compose(kSite, filler + "\"", ShiftJisLeadBytes());
    EXPECT_EQ(url.size(), kMaxUrlLength - 2);
    EXPECT_EQ(url.back(), 'x');
}

TEST(SearchUrl, NothingFollowsAPieceThatWasCut) {
    EXPECT_EQ(kMaxUrlLength, 2083u);  // the classic limit, whatever the constant says
    const LeadByteSet sjis = ShiftJisLeadBytes();
    const std::string fill(2081 - kSite.size(), 'a');
    // An escape of the site URL that no longer fits: the search text is not appended
    // after the gap.
    EXPECT_EQ(Compose(kSite + fill + "\"", "zz"), kSite + fill);
    // A double-byte pair of the site URL that no longer fits, at the last lead byte of
    // either range: the pair goes whole and so does the text.
    for (const char* pair : {"\x9F\x40", "\xFC\x40"}) {
        EXPECT_EQ(Compose(kSite + fill + "a" + pair, "zz", sjis), kSite + fill + "a");
        // With room for it, the pair stays whole.
        EXPECT_EQ(Compose(kSite + pair, "zz", sjis), kSite + pair + "zz");
        EXPECT_EQ(Compose(kSite, fill + pair + "zz", sjis), kSite + fill + pair);
    }
}

TEST(SearchUrl, BackslashesAfterTheSchemeAreNoWebAddress) {
    for (const char* site : {"https:\\\\server\\share\\", "https:/\\server\\share\\",
                             "https://\\server\\share\\", "http:\\\\server\\"}) {
        EXPECT_FALSE(ComposeSearchUrl(site, "x", {})) << site;
    }
}

TEST(SearchUrl, PlaceholderTakesTheEncodedTextAnywhereInTheUrl) {
    auto compose = [](std::string_view site, std::u16string_view text) {
        return ComposePlaceholderUrl(site, text, {}).value_or("<not opened>");
    };
    EXPECT_EQ(compose("https://example.org/t?text={q}&lang=en", u"AT&T C++ 100%"),
              "https://example.org/t?text=AT%26T%20C%2B%2B%20100%25&lang=en");
    EXPECT_EQ(compose("https://x.example/{q}/{q}#{", u"\u65E5 b"),
              "https://x.example/%E6%97%A5%20b/%E6%97%A5%20b#{");
    EXPECT_EQ(compose("https://x.example/?q={q}", u""), "https://x.example/?q=");
    EXPECT_EQ(compose("{q}", u"https://evil.example/"), "<not opened>");
    EXPECT_TRUE(HasSearchPlaceholder("https://x.example/?q={q}"));
    EXPECT_FALSE(HasSearchPlaceholder("https://x.example/?q={Q}"));
    // The cut falls between whole characters of the text; nothing follows it.
    const std::string site = "https://x.example/?q=" + std::string(2035, 'a');
    const std::string url = compose(site + "{q}&end", std::u16string(20, u'\u65E5'));
    EXPECT_EQ(url, site + "%E6%97%A5%E6%97%A5%E6%97%A5");
}

TEST(SearchUrl, WideTextIsAppendedWithTheSameEncodingAndCut) {
    auto compose = [](std::u16string_view site, std::u16string_view text) {
        return ComposeSearchUrl(site, text).value_or(u"<not opened>");
    };
    EXPECT_EQ(compose(u"https://s.example/?q=", u"\u65E5\u672C \"a&b\"\r\n\U0001F600"),
              u"https://s.example/?q=\u65E5\u672C %22a&b%22%0D%0A\U0001F600");
    EXPECT_EQ(compose(u"", u"\u65E5"), u"<not opened>");
    EXPECT_EQ(compose(u"file:///", u"\u65E5"), u"<not opened>");
    EXPECT_TRUE(IsWebUrl(u"https://\u65E5.example/"));
    const std::u16string site = u"https://s.example/?q=" + std::u16string(2061, u'a');
    EXPECT_EQ(site.size(), 2082u);
    EXPECT_EQ(compose(site, u"\U0001F600"), site);  // the pair never goes in half
    const std::u16string shorter = site.substr(0, 2081);
    EXPECT_EQ(compose(shorter, u"\U0001F600"), shorter + u"\U0001F600");
    EXPECT_EQ(compose(shorter, u"\"x"), shorter);
}

}  // namespace
}  // namespace vp
