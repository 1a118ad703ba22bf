#include "sites/SiteListFormat.h"

#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace vp {
namespace {

using namespace std::string_literals;

// Signature line and the empty line after it.
const std::string kStart = "Quenhollow Available Site List\r\n\r\n";

struct Site {
    SiteId id;
    std::int32_t category;
    std::string name;
    std::string url;
    bool reservedFlag;
    bool operator==(const Site&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Site& site) {
    return out << "{" << site.id << ", " << site.category << ", \"" << site.name << "\", \""
               << site.url << "\", " << site.reservedFlag << "}";
}

std::vector<Site> SitesOf(const SiteCatalogue& catalogue) {
    std::vector<Site> sites;
    for (const auto& [id, record] : catalogue) {
        sites.push_back({id, record.category, record.name, record.url, record.reservedFlag});
    }
    return sites;
}

// The sites inserted in the given order.
SiteCatalogue CatalogueOf(const std::vector<Site>& sites) {
    SiteCatalogue catalogue;
    for (const Site& site : sites) {
        SiteRecord record;
        record.name = site.name;
        record.url = site.url;
        record.category = site.category;
        record.reservedFlag = site.reservedFlag;
        catalogue.Insert(site.id, record);
    }
    return catalogue;
}

std::vector<std::string> NamesOf(const SiteCategoryList& categories) {
    std::vector<std::string> names;
    for (const SiteCategory& category : categories) {
        names.push_back(category.name);
    }
    return names;
}

std::string RecordText(std::string_view id, std::string_view category, std::string_view name,
                       std::string_view url, std::string_view flag) {
    std::string text;
    for (std::string_view line : {id, category, name, url, flag}) {
        text.append(line);
        text.append("\r\n");
    }
    return text;
}

SiteCategoryList Categories(const std::vector<std::string>& names) {
    SiteCategoryList categories;
    for (const std::string& name : names) {
        SiteCategory category;
        category.name = name;
        categories.push_back(category);
    }
    return categories;
}

// A catalogue and category list that hold leftovers of an earlier read.
struct ParseResult {
    bool ok = false;
    SiteCatalogue catalogue;
    SiteCategoryList categories;
};

ParseResult Parse(std::string_view text) {
    ParseResult result;
    SiteRecord stale;
    stale.name = "stale";
    result.catalogue.Insert(99, stale);
    result.categories = Categories({"stale"});
    result.ok = ParseSiteList(text, result.catalogue, &result.categories);
    return result;
}

// The records read from a list without categories.
std::vector<Site> ReadRecords(const std::string& records) {
    const ParseResult result = Parse(kStart + "\r\n" + records);
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.categories.empty());
    return SitesOf(result.catalogue);
}

TEST(SiteListFormat, WritesTheEmptyCatalogueAsSignatureAndThreeLineEnds) {
    EXPECT_EQ(FormatSiteList(SiteCatalogue(), {}), "Quenhollow Available Site List\r\n\r\n\r\n");
    EXPECT_TRUE(ReadRecords("").empty());
}

TEST(SiteListFormat, WritesCategoriesThenRecordsInAscendingIdOrder) {
    SiteCatalogue catalogue =
        CatalogueOf({{12, 1, "Search", "https://search.test/?q=", true},
                     {-3, -1, "News", "https://news.test/find?text=", false}});
    catalogue.Find(12)->visible = true;  // run-time state, not written
    EXPECT_EQ(FormatSiteList(catalogue, Categories({"Web", "Press & Media"})),
              kStart + "Web\r\nPress & Media\r\n\r\n" +
                  RecordText("-3", "-1", "News", "https://news.test/find?text=", "0") +
                  RecordText("12", "1", "Search", "https://search.test/?q=", "1"));
}

TEST(SiteListFormat, WritesExtremeIdsInFull) {
    const SiteCatalogue catalogue =
        CatalogueOf({{std::numeric_limits<SiteId>::max(), std::numeric_limits<std::int32_t>::min(),
                      "", "", false}});
    EXPECT_EQ(FormatSiteList(catalogue, {}),
              kStart + "\r\n" + RecordText("2147483647", "-2147483648", "", "", "0"));
}

TEST(SiteListFormat, RoundTripKeepsCategoriesRecordsAndFlags) {
    const SiteCategoryList categories = Categories({"Zeta", "Alpha", "Middle one", "\x95\xE9"});
    const std::vector<Site> sites = {
        {-3, 0, "Minus three", "https://m.test/?q=", false},
        {0, 3, "Zero \x82\xA0", "https://zero.test/search?x=1&q=", true},
        {5, 2, "", "", false},
        {40, 1, "Spaces  inside ", " https://lead.test/ ", true},
    };
    const SiteCatalogue catalogue = CatalogueOf({sites.rbegin(), sites.rend()});

    const ParseResult result = Parse(FormatSiteList(catalogue, categories));
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(SitesOf(result.catalogue), sites);
    EXPECT_EQ(NamesOf(result.categories), NamesOf(categories));
    for (const auto& [id, record] : result.catalogue) {
        EXPECT_FALSE(record.visible) << id;
    }
}

TEST(SiteListFormat, LineBreaksInFieldsAndEmptyCategoryNamesCannotShiftRecords) {
    const SiteCategoryList categories = Categories({"Two\r\nlines", "", "Last"});
    std::vector<Site> sites;
    std::vector<Site> expected;
    for (SiteId id : {1, 2, 3}) {
        sites.push_back({id, 2, "Name\r\n" + std::to_string(id), "https://u.test/\n?q=\r", false});
        expected.push_back({id, 2, "Name  " + std::to_string(id), "https://u.test/ ?q= ", false});
    }
    const ParseResult result = Parse(FormatSiteList(CatalogueOf(sites), categories));
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(NamesOf(result.categories), (std::vector<std::string>{"Two  lines", " ", "Last"}));
    EXPECT_EQ(SitesOf(result.catalogue), expected);
}

TEST(SiteListFormat, ReadsCategoriesInFileOrderOrSkipsThem) {
    const std::string text = kStart + "Web\r\nImages\r\nAbc\r\n\r\n" +
                             RecordText("1", "2", "Pictures", "https://p.test/?q=", "0");

    const ParseResult withCategories = Parse(text);
    ASSERT_TRUE(withCategories.ok);
    EXPECT_EQ(NamesOf(withCategories.categories),
              (std::vector<std::string>{"Web", "Images", "Abc"}));

    SiteCatalogue catalogue;
    ASSERT_TRUE(ParseSiteList(text, catalogue, nullptr));
    EXPECT_EQ(SitesOf(catalogue), SitesOf(withCategories.catalogue));
    EXPECT_EQ(SitesOf(catalogue),
              (std::vector<Site>{{1, 2, "Pictures", "https://p.test/?q=", false}}));
}

TEST(SiteListFormat, CategoryListWithoutEndingEmptyLineHasNoRecords) {
    // Every further line is taken for a category until an empty line comes.
    const ParseResult unended =
        Parse(kStart + "Web\r\n" + RecordText("1", "0", "Site", "https://s.test/", "1"));
    ASSERT_TRUE(unended.ok);
    EXPECT_EQ(NamesOf(unended.categories),
              (std::vector<std::string>{"Web", "1", "0", "Site", "https://s.test/", "1"}));
    EXPECT_TRUE(unended.catalogue.Empty());

    // A last category line without its line end is not a category.
    const ParseResult cut = Parse(kStart + "Web\r\nImag");
    ASSERT_TRUE(cut.ok);
    EXPECT_EQ(NamesOf(cut.categories), (std::vector<std::string>{"Web"}));

    const ParseResult bare = Parse(kStart);
    ASSERT_TRUE(bare.ok);
    EXPECT_TRUE(bare.categories.empty());
    EXPECT_TRUE(bare.catalogue.Empty());
}

TEST(SiteListFormat, ReadsNegativeAndLooselyWrittenNumbers) {
    EXPECT_EQ(ReadRecords(RecordText("-3", "0", "Minus", "u1", "0") +
                          RecordText("  +7 apples", "\t2x", "Seven", "u2", "0") +
                          RecordText("none", "", "Zero", "u3", "0")),
              (std::vector<Site>{{-3, 0, "Minus", "u1", false},
                                 {0, 0, "Zero", "u3", false},
                                 {7, 2, "Seven", "u2", false}}));
}

TEST(SiteListFormat, FifthLineIsTrueExactlyWhenItReadsAsOne) {
    const std::vector<std::tuple<std::string, bool>> cases = {
        {"1", true},   {"01", true},  {" 1", true},          {"+1", true}, {"1st", true},
        {"2", false},  {"0", false},  {"true", false},       {"", false},  {"-1", false},
        {"11", false}, {"x1", false}, {"4294967297", false},
    };
    std::string text;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        text += RecordText(std::to_string(i), "0", "n", "u", std::get<0>(cases[i]));
    }
    const std::vector<Site> sites = ReadRecords(text);
    ASSERT_EQ(sites.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(sites[i], (Site{static_cast<SiteId>(i), 0, "n", "u", std::get<1>(cases[i])}))
            << "fifth line \"" << std::get<0>(cases[i]) << "\"";
    }
}

TEST(SiteListFormat, DropsOnlyTheRecordThatIsCutShort) {
    const std::string complete =
        RecordText("1", "0", "One", "u1", "1") + RecordText("2", "0", "Two", "u2", "0");
    const std::vector<Site> expected = {{1, 0, "One", "u1", true}, {2, 0, "Two", "u2", false}};

    // Without the final line end, and cut at every other point of the last record.
    const std::string last = RecordText("3", "0", "Three", "u3", "1");
    for (std::size_t kept = 0; kept < last.size(); ++kept) {
        EXPECT_EQ(ReadRecords(complete + last.substr(0, kept)), expected)
            << kept << " bytes of the last record";
    }
    EXPECT_EQ(ReadRecords(complete + last).size(), 3u);
}

TEST(SiteListFormat, FirstRecordWithAnIdWins) {
    EXPECT_EQ(ReadRecords(RecordText("4", "0", "First", "u1", "1") +
                          RecordText("2", "0", "Other", "u2", "0") +
                          RecordText("4", "1", "Second", "u3", "0") +
                          RecordText("+4", "1", "Third", "u4", "0")),
              (std::vector<Site>{{2, 0, "Other", "u2", false}, {4, 0, "First", "u1", true}}));
}

TEST(SiteListFormat, RefusesTextWithoutSignatureAndEmptyLine) {
    const std::vector<std::string> wrongStarts = {
        "",
        "Quenhollow Available Site List",
        "Quenhollow Available Site List\r\n",
        "Quenhollow Available Site List\r\nWeb\r\n\r\n",  // no empty line after the signature
        "Quenhollow Available Site List\r\n\r",
        "Quenhollow Available Site List\n\n\r\n",
        "quenhollow available site list\r\n\r\n\r\n",
        " Quenhollow Available Site List\r\n\r\n\r\n",
        "\xEF\xBB\xBFQuenhollow Available Site List\r\n\r\n\r\n",
        "Quenhollow Available Site Lis\r\n\r\n\r\n",
        "Quenhollow Available Site\0List\r\n\r\n\r\n"s,
    };
    for (const std::string& text : wrongStarts) {
        const ParseResult result = Parse(text + RecordText("1", "0", "n", "u", "1"));
        EXPECT_FALSE(result.ok) << text;
        EXPECT_TRUE(result.catalogue.Empty()) << text;
        EXPECT_TRUE(result.categories.empty()) << text;
    }
}

TEST(SiteListFormat, EmptiesEarlierContentsBeforeReading) {
    const ParseResult result = Parse(kStart + "Web\r\n\r\n" + RecordText("1", "0", "n", "u", "0"));
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.catalogue.Find(99), nullptr);
    EXPECT_EQ(NamesOf(result.categories), (std::vector<std::string>{"Web"}));

    SiteCatalogue catalogue;
    catalogue.Insert(99, SiteRecord());
    ASSERT_TRUE(ParseSiteList(kStart + "\r\n", catalogue, nullptr));
    EXPECT_TRUE(catalogue.Empty());
}

TEST(SiteListFormat, TextEndsAtTheFirstZeroByte) {
    const std::string first = RecordText("1", "0", "One", "u1", "0");
    const std::string second = RecordText("2", "0", "Two", "u2", "0");

    const std::vector<Site> onlyFirst = {{1, 0, "One", "u1", false}};
    EXPECT_EQ(ReadRecords(first + "\0"s + second), onlyFirst);
    // A zero byte inside a record cuts that record short.
    EXPECT_EQ(ReadRecords(first + "2\r\n0\r\nT\0wo\r\nu2\r\n0\r\n"s), onlyFirst);

    const ParseResult inCategories = Parse(kStart + "Web\0\r\n\r\n"s + first);
    ASSERT_TRUE(inCategories.ok);
    EXPECT_TRUE(inCategories.categories.empty());
    EXPECT_TRUE(inCategories.catalogue.Empty());
}

TEST(SiteListFormat, OnlyCarriageReturnLineFeedEndsALine) {
    // Bare line feeds and carriage returns stay inside the line.
    const ParseResult result =
        Parse(kStart + "Web\nNews\r\n\r\n" + RecordText("1", "0", "A\nB", "u\r", "\n1") +
              "2\n0\nLost\nu\n1\n");
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(NamesOf(result.categories), (std::vector<std::string>{"Web\nNews"}));
    EXPECT_EQ(SitesOf(result.catalogue), (std::vector<Site>{{1, 0, "A\nB", "u\r", true}}));

    // "\r\r\n" ends a line that itself ends in a carriage return.
    EXPECT_EQ(ReadRecords("7\r\n0\r\nName\r\r\n\nurl\r\n1\r\n"),
              (std::vector<Site>{{7, 0, "Name\r", "\nurl", true}}));
}

TEST(ReadDecimal, ReadsSignedDigitsAfterWhiteSpace) {
    EXPECT_EQ(ReadDecimal("42"), 42);
    EXPECT_EQ(ReadDecimal("-42"), -42);
    EXPECT_EQ(ReadDecimal("+42"), 42);
    EXPECT_EQ(ReadDecimal(" \t\n\v\f\r17"), 17);
    EXPECT_EQ(ReadDecimal("0000000000000000000000000042"), 42);
    EXPECT_EQ(ReadDecimal("12abc"), 12);
    EXPECT_EQ(ReadDecimal("1 2"), 1);
    EXPECT_EQ(ReadDecimal("-0"), 0);
}

TEST(ReadDecimal, GivesZeroWithoutDigits) {
    for (std::string_view text : {"", " ", "abc", "-", "+", "+-1", "-+1", "- 1",
                                  "\x01"
                                  "5"}) {
        EXPECT_EQ(ReadDecimal(text), 0) << '"' << text << '"';
    }
}

TEST(ReadDecimal, SaturatesBeyondThirtyTwoBits) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(ReadDecimal("2147483647"), kMax);
    EXPECT_EQ(ReadDecimal("2147483648"), kMax);
    EXPECT_EQ(ReadDecimal("4294967297"), kMax);
    EXPECT_EQ(ReadDecimal("99999999999999999999999999999999"), kMax);
    EXPECT_EQ(ReadDecimal("-2147483647"), kMin + 1);
    EXPECT_EQ(ReadDecimal("-2147483648"), kMin);
    EXPECT_EQ(ReadDecimal("-2147483649"), kMin);
    EXPECT_EQ(ReadDecimal("-99999999999999999999999999999999"), kMin);
}

TEST(IsPlainSiteListPath, LooksForTheExchangeNameAnywhereInThePath) {
    EXPECT_TRUE(IsPlainSiteListPath("C:\\Lists\\AvailableSitesExchange.qhsle"));
    EXPECT_TRUE(IsPlainSiteListPath("AvailableSitesExchange.qhsle"));
    EXPECT_TRUE(IsPlainSiteListPath("D:\\Old AvailableSitesExchange.qhsle.bak"));
    EXPECT_TRUE(IsPlainSiteListPath("C:\\AvailableSitesExchange.qhsle files\\mine.qhsl"));

    EXPECT_FALSE(IsPlainSiteListPath(""));
    EXPECT_FALSE(IsPlainSiteListPath("C:\\Windows\\AvailableSites.qhsl"));
    EXPECT_FALSE(IsPlainSiteListPath("C:\\Lists\\availablesitesexchange.qhsle"));
    EXPECT_FALSE(IsPlainSiteListPath("C:\\Lists\\AvailableSitesExchange.qhsl"));
    EXPECT_FALSE(IsPlainSiteListPath("C:\\Lists\\AvailableSites Exchange.qhsle"));
}

}  // namespace
}  // namespace vp
