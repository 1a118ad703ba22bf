// The policies: how stored values count, which hive wins, and the template that
// administrators import, held against the program's table of policies.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <iterator>
#include <sstream>
#include <tuple>

#include "base/Configuration.h"
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
    const std::tuple<PolicyId, StoredValue, std::optional<std::uint32_t>> cases[] = {
        {PolicyId::EnablePopupWindow, Dword(0), 0},
        {PolicyId::EnablePopupWindow, Dword(7), 1},
        {PolicyId::EnablePopupWindow, Text(u"1"), std::nullopt},
        {PolicyId::PopupWindowButton, Dword(3), 3},
        {PolicyId::PopupWindowButton, Dword(4), std::nullopt},
        {PolicyId::DefaultSite, Dword(0x7FFFFFFF), 0x7FFFFFFF},
        {PolicyId::DefaultSite, Dword(0xFFFFFFFD), std::nullopt},
        {PolicyId::DefaultSite, {kRegDword, {1, 0, 0}}, std::nullopt},        // too short
        {PolicyId::DefaultSite, {kRegDword, {1, 0, 0, 0, 0}}, std::nullopt},  // too long
    };
    for (const auto& [policy, stored, number] : cases) {
        const auto value = ParsePolicyValue(Definition(policy), stored);
        EXPECT_EQ(value ? std::optional(value->number) : std::nullopt, number)
            << Definition(policy).name << " " << stored.bytes.size();
    }

    const PolicyDefinition& path = Definition(PolicyId::SiteListPath);
    const std::u16string withZero =
        u" \\\\server\\share\\sites.qhsl\t" + std::u16string(1, 0) + u"rest";
    EXPECT_EQ(ParsePolicyValue(path, Text(withZero))->text, u"\\\\server\\share\\sites.qhsl");
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
    EXPECT_FALSE(ParsePolicyList({{u"1", Text(u"")}}));

    EXPECT_EQ(ParseSiteIds({u"3", u" -2 ", u"+7", u"x", u"", u"-", u"4x", u"2147483647",
                            u"2147483648", u"-2147483648", u"99999999999"}),
              (std::vector<std::int32_t>{3, -2, 7, 2147483647, -2147483648}));
}

// Each value that a Flag or Number policy decides, read and written by its own name, with
// its default: popup on Ctrl + right button and Ctrl+F1, default site on Ctrl+Shift + left
// button and Ctrl+F2, all four on.
struct Setting {
    PolicyId policy;
    std::uint32_t byDefault;
    std::uint32_t (*get)(const UserSettings&);
    void (*set)(UserSettings&, std::uint32_t);
};
// clang-format off
#define VP_SETTING(name, byDefault) {PolicyId::name, byDefault, \
    [](const UserSettings& s) -> std::uint32_t { return s.name; }, \
    [](UserSettings& s, std::uint32_t v) { s.name = static_cast<decltype(s.name)>(v); }}
const Setting kSettings[] = {
    VP_SETTING(EnablePopupWindow, 1), VP_SETTING(PopupWindowKey, 0),
    VP_SETTING(PopupWindowButton, 1), VP_SETTING(EnablePopupWindowHotKey, 1),
    VP_SETTING(PopupWindowHotModifier, 0), VP_SETTING(PopupWindowHotKey, 0),
    VP_SETTING(EnableDefaultAction, 1), VP_SETTING(DefaultActionKey, 2),
    VP_SETTING(DefaultActionButton, 0), VP_SETTING(EnableDefaultActionHotKey, 1),
    VP_SETTING(DefaultActionHotModifier, 0), VP_SETTING(DefaultActionHotKey, 1),
    VP_SETTING(RunAtLogon, 0), VP_SETTING(RestoreClipboard, 0),
    VP_SETTING(ReadSelectionDirectly, 1), VP_SETTING(DefaultSite, 0),
    VP_SETTING(KeepSearchHistory, 1), VP_SETTING(AllowSiteEditing, 1)};
// clang-format on
#undef VP_SETTING

// For each setting: the default, the user's value (away from it) before the default, and a
// policy's value (away from the user's) before that, fixing that setting alone.
TEST(Configuration, EachPolicyGoesBeforeTheUsersValueOfItsOwnSettingBeforeTheDefault) {
    const auto userValue = [](const Setting& s) { return s.byDefault == 0 ? 1u : 0u; };
    UserSettings user;
    for (const Setting& setting : kSettings) {
        EXPECT_EQ(setting.get(user), setting.byDefault) << Definition(setting.policy).name;
        setting.set(user, userValue(setting));
    }
    for (const Setting& setting : kSettings) {
        const PolicyDefinition& policy = Definition(setting.policy);
        const std::uint32_t value = policy.type == PolicyType::Flag ? 1 - userValue(setting) : 2;
        PolicySet one;
        one.Offer(setting.policy, PolicyValue{value, {}, {}});
        const Configuration free(PolicySet(), user), managed(one, user);
        for (const Setting& other : kSettings) {
            EXPECT_EQ(other.get(free.InForce()), userValue(other));
            EXPECT_EQ(other.get(managed.InForce()), &other == &setting ? value : userValue(other))
                << policy.name << " " << Definition(other.policy).name;
        }
        EXPECT_EQ(setting.get(managed.User()), userValue(setting)) << policy.name;
        EXPECT_FALSE(free.Fixed(setting.policy)) << policy.name;
        // AllowSiteEditing fixes the catalogue when it is off only.
        EXPECT_EQ(managed.Fixed(setting.policy), setting.policy != PolicyId::AllowSiteEditing);
    }
}

// The machine's policy goes before the user's policy (offered as read: the machine's hive
// first, a value that does not count as nothing).
TEST(Configuration, ListsAndTextsReplaceOrJoinTheUsersValuesTheMachinesPolicyFirst) {
    UserSettings user;
    user.GestureExclusions = u"mine.exe";
    user.VisibleSites = std::vector<std::int32_t>{9, 2};
    PolicySet set;
    const Configuration free(set, user);
    EXPECT_EQ(free.InForce().GestureExclusions, u"mine.exe");
    EXPECT_EQ(free.InForce().VisibleSites, user.VisibleSites);
    EXPECT_FALSE(free.SiteList().managedPath || free.Fixed(PolicyId::GestureExclusions) ||
                 free.Fixed(PolicyId::VisibleSites));
    set.Offer(PolicyId::GestureExclusions, PolicyValue{0, {}, {u"lob.exe", u"rdp.exe"}});
    set.Offer(PolicyId::VisibleSites, std::nullopt);
    set.Offer(PolicyId::VisibleSites, PolicyValue{0, {}, {u"4", u"x", u"1"}});
    set.Offer(PolicyId::VisibleSites, PolicyValue{0, {}, {u"7"}});
    set.Offer(PolicyId::SiteListPath, PolicyValue{0, u"\\\\org\\sites.qhsl", {}});
    set.Offer(PolicyId::AllowSiteEditing, PolicyValue{0, {}, {}});
    const Configuration replaced(set, user);
    EXPECT_EQ(replaced.InForce().GestureExclusions, u"lob.exe;rdp.exe;");
    EXPECT_EQ(replaced.InForce().VisibleSites, (std::vector<std::int32_t>{4, 1}));
    EXPECT_EQ(replaced.SiteList().managedPath, u"\\\\org\\sites.qhsl");
    EXPECT_FALSE(replaced.SiteList().allowEditing);
    EXPECT_TRUE(replaced.Fixed(PolicyId::GestureExclusions) &&
                replaced.Fixed(PolicyId::VisibleSites) &&
                replaced.Fixed(PolicyId::AllowSiteEditing) &&
                !replaced.Fixed(PolicyId::AddToUserGestureExclusions));
    // Added to the user's, the policy's programs fix a part of the list only.
    set.Offer(PolicyId::AddToUserGestureExclusions, PolicyValue{1, {}, {}});
    const Configuration joined(set, user);
    EXPECT_EQ(joined.GestureExclusionsWith(u"other.exe"), u"lob.exe;rdp.exe;other.exe");
    EXPECT_TRUE(joined.Fixed(PolicyId::AddToUserGestureExclusions) &&
                !joined.Fixed(PolicyId::GestureExclusions));
}

// ---- The template ------------------------------------------------------------

std::string ReadFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// The tags of an XML file in order: the name ("/name" for an end tag) and the attributes.
using Tag = std::pair<std::string, std::map<std::string, std::string>>;
std::vector<Tag> Tags(const std::string& xml) {
    std::vector<Tag> tags;
    for (std::size_t at = xml.find('<'); at != std::string::npos; at = xml.find('<', at + 1)) {
        const std::string body = xml.substr(at + 1, xml.find('>', at) - at - 1);
        Tag tag;
        std::istringstream(body) >> tag.first;
        for (std::size_t equals = body.find("=\""), close = 0; equals != std::string::npos;
             equals = body.find("=\"", close)) {
            const std::size_t name = body.find_last_of(" \t\r\n", equals) + 1;
            close = body.find('"', equals + 2);
            tag.second[body.substr(name, equals - name)] =
                body.substr(equals + 2, close - equals - 2);
        }
        tags.push_back(std::move(tag));
    }
    return tags;
}

TEST(Policies, TemplateHoldsExactlyTheTablesValuesWithTheirTypesAndTexts) {
    const std::string admx = ReadFile(VP_POLICY_TEMPLATES "/Vantapicker.admx");
    const std::string adml = ReadFile(VP_POLICY_TEMPLATES "/en-US/Vantapicker.adml");
    const std::vector<Tag> tags = Tags(admx);
    ASSERT_FALSE(tags.empty());
    ASSERT_FALSE(adml.empty());

    // Each registry value as "key|name|range", "key|name|text" or "subkey||list".
    std::set<std::string> entries;
    std::string key;  // of the policy being read
    for (std::size_t i = 0; i < tags.size(); ++i) {
        auto [name, at] = tags[i];
        // The decimals up to this element's end: enabled and disabled values, enum items.
        std::vector<std::uint32_t> values;
        for (std::size_t j = i + 1; j < tags.size() && tags[j].first != "/" + name; ++j) {
            if (tags[j].second.count("value") != 0) {
                values.push_back(
                    static_cast<std::uint32_t>(std::stoul(tags[j].second.at("value"))));
            }
        }
        const std::string entry = (name == "list" ? at["key"] : key) + "|" + at["valueName"] + "|";
        if (name == "policy") {
            key = at["key"];
            EXPECT_EQ(at["class"], "Both") << at["name"];  // the machine's hive and the user's
            if (!at["valueName"].empty()) {
                EXPECT_EQ(values, (std::vector<std::uint32_t>{1, 0})) << at["name"];
                entries.insert(key + "|" + at["valueName"] + "|0-1");
            }
        } else if (name == "boolean") {
            EXPECT_EQ(values, (std::vector<std::uint32_t>{1, 0})) << at["id"];
            entries.insert(entry + "0-1");
        } else if (name == "enum") {
            for (std::size_t n = 0; n < values.size(); ++n) {
                EXPECT_EQ(values[n], n) << at["id"];
            }
            entries.insert(entry + "0-" + std::to_string(values.size() - 1));
        } else if (name == "decimal" && !at["valueName"].empty()) {
            entries.insert(entry + at["minValue"] + "-" + at["maxValue"]);
        } else if (name == "text") {
            entries.insert(entry + "text");
        } else if (name == "list") {
            EXPECT_EQ(at.count("valuePrefix") != 0 ? at["valuePrefix"] : "-", "") << "1, 2, ...";
            entries.insert(entry + "list");
        }
    }

    // Both ways: the template's values are the table's, with the same keys and types.
    std::set<std::string> table;
    for (const PolicyDefinition& policy : kPolicies) {
        const std::string name = policy.name;
        table.insert(policy.type == PolicyType::List
                         ? std::string(kPolicyKey) + "\\" + name + "||list"
                         : std::string(kPolicyKey) + "|" + name + "|" +
                               (policy.type == PolicyType::Text
                                    ? "text"
                                    : "0-" + std::to_string(policy.maximum)));
    }
    EXPECT_EQ(entries, table);

    // Every text and presentation the template names is in the English resources, and
    // every control there belongs to an element of the template.
    for (std::size_t at = admx.find("$("); at != std::string::npos; at = admx.find("$(", at + 1)) {
        const std::string reference = admx.substr(at + 2, admx.find(')', at) - at - 2);
        const std::size_t dot = reference.find('.');
        EXPECT_NE(
            adml.find("<" + reference.substr(0, dot) + " id=\"" + reference.substr(dot + 1) + "\""),
            std::string::npos)
            << reference;
    }
    for (const auto& [name, at] : Tags(adml)) {
        if (at.count("refId") != 0) {
            EXPECT_NE(admx.find(" id=\"" + at.at("refId") + "\""), std::string::npos) << name;
        }
    }

    // Each language's resources hold the same texts, presentations and controls as the
    // English ones, in the same order.
    const auto names = [](const std::string& resources) {
        std::vector<std::string> found;
        for (const auto& [name, at] : Tags(resources)) {
            for (const char* attribute : {"id", "refId"}) {
                if (at.count(attribute) != 0) {
                    found.push_back(name + " " + at.at(attribute));
                }
            }
        }
        return found;
    };
    for (const char* language :
         {"de-DE", "fr-FR", "es-ES", "it-IT", "pt-BR", "ru-RU", "ja-JP", "zh-CN"}) {
        const std::string translated = ReadFile(
            (std::string(VP_POLICY_TEMPLATES "/") + language + "/Vantapicker.adml").c_str());
        EXPECT_EQ(names(translated), names(adml)) << language;
    }
}

}  // namespace
}  // namespace vp
