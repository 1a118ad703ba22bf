// The policies: how stored values count, which hive wins, and the template that
// administrators import, held against the program's table of policies.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "base/Policies.h"

namespace vp {
namespace {

StoredValue Dword(std::uint32_t value) {
    return {kRegDword,
            {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
             static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)}};
}

StoredValue Text(std::u16string_view text, std::uint32_t type = kRegSz) {
    StoredValue stored{type, {}};
    for (char16_t unit : text) {
        stored.bytes.push_back(static_cast<std::uint8_t>(unit));
        stored.bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return stored;
}

const PolicyDefinition& Definition(PolicyId id) {
    return kPolicies[static_cast<std::size_t>(id)];
}

TEST(Policies, StoredValuesCountOnlyWithTheirTypeAndInTheirRange) {
    struct Case {
        PolicyId policy;
        StoredValue stored;
        std::optional<std::uint32_t> number;
    };
    const Case cases[] = {
        {PolicyId::EnablePopupWindow, Dword(0), 0},
        {PolicyId::EnablePopupWindow, Dword(7), 1},
        {PolicyId::EnablePopupWindow, Text(u"1"), std::nullopt},
        {PolicyId::PopupWindowButton, Dword(3), 3},
        {PolicyId::PopupWindowButton, Dword(4), std::nullopt},
        {PolicyId::PopupWindowHotKey, Dword(45), 45},
        {PolicyId::PopupWindowHotKey, Dword(46), std::nullopt},
        {PolicyId::DefaultSite, Dword(0x7FFFFFFF), 0x7FFFFFFF},
        {PolicyId::DefaultSite, Dword(0xFFFFFFFD), std::nullopt},
        {PolicyId::DefaultSite, {kRegDword, {1, 0, 0}}, std::nullopt},        // too short
        {PolicyId::DefaultSite, {kRegDword, {1, 0, 0, 0, 0}}, std::nullopt},  // too long
    };
    for (const Case& c : cases) {
        const auto value = ParsePolicyValue(Definition(c.policy), c.stored);
        EXPECT_EQ(value ? std::optional(value->number) : std::nullopt, c.number)
            << Definition(c.policy).name << " " << c.stored.bytes.size();
    }

    const PolicyDefinition& path = Definition(PolicyId::SiteListPath);
    std::u16string withZero = u" \\\\server\\share\\sites.qhsl\t";
    withZero += u'\0';
    withZero += u"rest";
    EXPECT_EQ(ParsePolicyValue(path, Text(withZero))->text, u"\\\\server\\share\\sites.qhsl");
    EXPECT_EQ(ParsePolicyValue(path, Text(u"%LOGONSERVER%\\x", kRegExpandSz))->text,
              u"%LOGONSERVER%\\x");
    EXPECT_FALSE(ParsePolicyValue(path, Text(u" \t")));
    EXPECT_FALSE(ParsePolicyValue(path, Dword(1)));
}

TEST(Policies, ListsTakeTheNumberedTextValuesInTheirOrder) {
    const auto list = ParsePolicyList({{u"2", Text(u"b.exe")},
                                       {u"10", Text(u" c.exe ")},
                                       {u"1", Text(u"a.exe", kRegExpandSz)},
                                       {u"01", Text(u"leading zero.exe")},
                                       {u"x", Text(u"named.exe")},
                                       {u"3", Dword(3)},
                                       {u"4", Text(u"  ")}});
    ASSERT_TRUE(list);
    EXPECT_EQ(list->list, (std::vector<std::u16string>{u"a.exe", u"b.exe", u"c.exe"}));
    EXPECT_FALSE(ParsePolicyList({}));
    EXPECT_FALSE(ParsePolicyList({{u"1", Text(u"")}}));

    EXPECT_EQ(ParseSiteIds({u"3", u" -2 ", u"+7", u"x", u"", u"-", u"4x", u"2147483647",
                            u"2147483648", u"-2147483648", u"99999999999"}),
              (std::vector<std::int32_t>{3, -2, 7, 2147483647, -2147483648}));
}

TEST(Policies, MachineGoesBeforeUserPolicyBeforeUserSettingBeforeDefault) {
    const auto number = [](std::uint32_t n) { return std::optional(PolicyValue{n, {}, {}}); };
    struct Case {
        std::optional<PolicyValue> machine;
        std::optional<PolicyValue> user;
        std::uint32_t setting;  // the user's own setting, or the default
        std::uint32_t expected;
    };
    const Case cases[] = {
        {number(2), number(1), 0, 2},
        {std::nullopt, number(1), 0, 1},
        {std::nullopt, std::nullopt, 3, 3},
        {number(0), std::nullopt, 3, 0},
    };
    for (const Case& c : cases) {
        PolicySet policies;
        policies.Offer(PolicyId::PopupWindowButton, c.machine);
        policies.Offer(PolicyId::PopupWindowButton, c.user);
        EXPECT_EQ(policies.Number(PolicyId::PopupWindowButton, c.setting), c.expected);
        EXPECT_EQ(policies.Flag(PolicyId::KeepSearchHistory, true), true);
    }
}

TEST(Policies, ProgramsWithoutGesturesReplaceOrJoinTheUsersList) {
    PolicySet none;
    EXPECT_EQ(EffectiveGestureExclusions(none, u"mine.exe"), u"mine.exe");
    PolicySet replace;
    replace.Offer(PolicyId::GestureExclusions, PolicyValue{0, {}, {u"lob.exe", u"rdp.exe"}});
    EXPECT_EQ(EffectiveGestureExclusions(replace, u"mine.exe"), u"lob.exe;rdp.exe;");
    PolicySet add = replace;
    add.Offer(PolicyId::AddToUserGestureExclusions, PolicyValue{1, {}, {}});
    EXPECT_EQ(EffectiveGestureExclusions(add, u"mine.exe"), u"lob.exe;rdp.exe;mine.exe");
}

// ---- The template ------------------------------------------------------------

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

struct Tag {
    bool closing = false;
    std::string name;
    std::map<std::string, std::string> attributes;
};

// The start and end tags of an XML file, in order (comments and declarations left out).
std::vector<Tag> Tags(const std::string& xml) {
    std::vector<Tag> tags;
    for (std::size_t at = xml.find('<'); at != std::string::npos; at = xml.find('<', at + 1)) {
        const std::string body = xml.substr(at + 1, xml.find('>', at) - at - 1);
        if (body.empty() || body[0] == '?' || body[0] == '!') {
            continue;
        }
        Tag tag;
        tag.closing = body[0] == '/';
        std::istringstream(body.substr(tag.closing ? 1 : 0)) >> tag.name;
        for (std::size_t equals = body.find("=\""), close = 0; equals != std::string::npos;
             equals = body.find("=\"", close)) {
            const std::size_t name = body.find_last_of(" \t\r\n", equals) + 1;
            close = body.find('"', equals + 2);
            tag.attributes[body.substr(name, equals - name)] =
                body.substr(equals + 2, close - equals - 2);
        }
        tags.push_back(std::move(tag));
    }
    return tags;
}

// One registry value as "key|name|kind|range", the way the template and the table are
// compared.
std::string Entry(const std::string& key, const std::string& name, const std::string& kind,
                  std::uint32_t low = 0, std::uint32_t high = 0) {
    std::string entry = key + "|" + name + "|" + kind;
    if (kind == "dword") {
        entry += "|" + std::to_string(low) + "-" + std::to_string(high);
    }
    return entry;
}

std::set<std::string> TableEntries() {
    std::set<std::string> entries;
    for (const PolicyDefinition& policy : kPolicies) {
        switch (policy.type) {
            case PolicyType::Flag:
                entries.insert(Entry(kPolicyKey, policy.name, "dword", 0, 1));
                break;
            case PolicyType::Number:
                entries.insert(Entry(kPolicyKey, policy.name, "dword", 0, policy.maximum));
                break;
            case PolicyType::Text:
                entries.insert(Entry(kPolicyKey, policy.name, "text"));
                break;
            case PolicyType::List:
                entries.insert(Entry(std::string(kPolicyKey) + "\\" + policy.name, "", "list"));
                break;
        }
    }
    return entries;
}

std::uint32_t Decimal(const Tag& tag) {
    return static_cast<std::uint32_t>(std::stoul(tag.attributes.at("value")));
}

TEST(Policies, TemplateNamesExactlyTheValuesOfTheTableWithTheirTypes) {
    const std::vector<Tag> admx = Tags(ReadFile(VP_POLICY_TEMPLATES "/Vantapicker.admx"));
    const std::string adml = ReadFile(VP_POLICY_TEMPLATES "/en-US/Vantapicker.adml");
    ASSERT_FALSE(admx.empty());
    ASSERT_FALSE(adml.empty());

    std::set<std::string> entries;
    std::set<std::string> categories;
    std::string key;
    std::set<std::string> elementIds;  // of the policy being read
    for (std::size_t i = 0; i < admx.size(); ++i) {
        const Tag& tag = admx[i];
        const auto attribute = [&](const char* name) {
            const auto found = tag.attributes.find(name);
            return found != tag.attributes.end() ? found->second : std::string();
        };
        // The decimal values up to the end of this element.
        const auto values = [&] {
            std::vector<std::uint32_t> found;
            for (std::size_t j = i + 1; j < admx.size() && admx[j].name != tag.name; ++j) {
                if (admx[j].name == "decimal") {
                    found.push_back(Decimal(admx[j]));
                }
            }
            return found;
        };
        if (tag.closing) {
            continue;
        }
        if (tag.name == "category") {
            categories.insert(attribute("name"));
        } else if (tag.name == "policy") {
            key = attribute("key");
            EXPECT_EQ(attribute("class"), "Both") << attribute("name");
            // An on/off policy of its own: enabled 1, disabled 0.
            if (!attribute("valueName").empty()) {
                EXPECT_EQ(values(), (std::vector<std::uint32_t>{1, 0})) << attribute("name");
                entries.insert(Entry(key, attribute("valueName"), "dword", 0, 1));
            }
            // Each control of its presentation belongs to one of its elements.
            elementIds.clear();
            for (std::size_t j = i + 1; admx[j].name != "policy"; ++j) {
                if (admx[j].attributes.count("id") != 0) {
                    elementIds.insert(admx[j].attributes.at("id"));
                }
            }
            const std::string presentation = attribute("presentation");
            if (!presentation.empty()) {
                const std::string id = presentation.substr(15, presentation.size() - 16);
                const auto start = adml.find("<presentation id=\"" + id + "\">");
                ASSERT_NE(start, std::string::npos) << id;
                for (const Tag& control :
                     Tags(adml.substr(start, adml.find("</presentation>", start) - start))) {
                    if (control.attributes.count("refId") != 0) {
                        EXPECT_EQ(elementIds.count(control.attributes.at("refId")), 1u) << id;
                    }
                }
            }
        } else if (tag.name == "boolean") {
            EXPECT_EQ(values(), (std::vector<std::uint32_t>{1, 0})) << attribute("id");
            entries.insert(Entry(key, attribute("valueName"), "dword", 0, 1));
        } else if (tag.name == "enum") {
            // Its items are the numbers from 0 up, in order.
            const std::vector<std::uint32_t> items = values();
            for (std::size_t n = 0; n < items.size(); ++n) {
                EXPECT_EQ(items[n], n) << attribute("id");
            }
            entries.insert(Entry(key, attribute("valueName"), "dword", 0,
                                 static_cast<std::uint32_t>(items.size()) - 1));
        } else if (tag.name == "decimal" && !attribute("valueName").empty()) {
            entries.insert(Entry(key, attribute("valueName"), "dword",
                                 static_cast<std::uint32_t>(std::stoul(attribute("minValue"))),
                                 static_cast<std::uint32_t>(std::stoul(attribute("maxValue")))));
        } else if (tag.name == "text") {
            entries.insert(Entry(key, attribute("valueName"), "text"));
        } else if (tag.name == "list") {
            EXPECT_EQ(attribute("valuePrefix"), "") << "values named 1, 2, ...";
            EXPECT_EQ(tag.attributes.count("valuePrefix"), 1u);
            entries.insert(Entry(attribute("key"), "", "list"));
        }
    }
    EXPECT_EQ(categories, std::set<std::string>{"Vantapicker"});

    // Both ways: every value of the template is in the table, and every one of the table
    // in the template, with the same key, type and range.
    const std::set<std::string> table = TableEntries();
    for (const std::string& entry : entries) {
        EXPECT_EQ(table.count(entry), 1u) << "only in the template: " << entry;
    }
    for (const std::string& entry : table) {
        EXPECT_EQ(entries.count(entry), 1u) << "only in the table: " << entry;
    }

    // Every text that the template names is in the English resources.
    const std::string admxText = ReadFile(VP_POLICY_TEMPLATES "/Vantapicker.admx");
    const std::string reference = "$(string.";
    for (std::size_t at = admxText.find(reference); at != std::string::npos;
         at = admxText.find(reference, at + 1)) {
        const std::size_t start = at + reference.size();
        const std::string id = admxText.substr(start, admxText.find(')', start) - start);
        EXPECT_NE(adml.find("<string id=\"" + id + "\">"), std::string::npos) << id;
    }
}

}  // namespace
}  // namespace vp
