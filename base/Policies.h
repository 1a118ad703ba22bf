// What an organisation fixes for its users: values under SOFTWARE\Policies\Quenhollow\Vantapicker
// in the machine's hive and in the user's. This is the one table of them that the program
// reads, with the rules that turn stored data into values. A machine policy goes before a
// user policy, which goes before the user's own setting, which goes before the default; a
// value that is missing, of another type or out of its range counts as not configured.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vp {

inline constexpr char kPolicyKey[] = "SOFTWARE\\Policies\\Quenhollow\\Vantapicker";

enum class PolicyType : std::uint8_t {
    Flag,    // REG_DWORD, on when not 0
    Number,  // REG_DWORD from 0 to the policy's maximum
    Text,    // REG_SZ or REG_EXPAND_SZ, not blank
    List,    // the REG_SZ values "1", "2", ... of the subkey named after the policy
};

enum class PolicyId : std::uint8_t {
    EnablePopupWindow,
    PopupWindowKey,
    PopupWindowButton,
    EnablePopupWindowHotKey,
    PopupWindowHotModifier,
    PopupWindowHotKey,
    EnableDefaultAction,
    DefaultActionKey,
    DefaultActionButton,
    EnableDefaultActionHotKey,
    DefaultActionHotModifier,
    DefaultActionHotKey,
    RunAtLogon,
    RestoreClipboard,
    ReadSelectionDirectly,
    GestureExclusions,
    AddToUserGestureExclusions,  // on: the policy's programs come on top of the user's
    DefaultSite,
    VisibleSites,
    SiteListPath,
    AllowSiteEditing,
    KeepSearchHistory,
    Language,
};

struct PolicyDefinition {
    PolicyId id;
    const char* name;  // the registry value's name, or the List's subkey
    PolicyType type;
    std::uint32_t maximum = 1;  // the largest Number
};

inline constexpr PolicyDefinition kPolicies[] = {
    {PolicyId::EnablePopupWindow, "EnablePopupWindow", PolicyType::Flag},
    {PolicyId::PopupWindowKey, "PopupWindowKey", PolicyType::Number, 2},
    {PolicyId::PopupWindowButton, "PopupWindowButton", PolicyType::Number, 3},
    {PolicyId::EnablePopupWindowHotKey, "EnablePopupWindowHotKey", PolicyType::Flag},
    {PolicyId::PopupWindowHotModifier, "PopupWindowHotModifier", PolicyType::Number, 2},
    {PolicyId::PopupWindowHotKey, "PopupWindowHotKey", PolicyType::Number, 45},
    {PolicyId::EnableDefaultAction, "EnableDefaultAction", PolicyType::Flag},
    {PolicyId::DefaultActionKey, "DefaultActionKey", PolicyType::Number, 2},
    {PolicyId::DefaultActionButton, "DefaultActionButton", PolicyType::Number, 3},
    {PolicyId::EnableDefaultActionHotKey, "EnableDefaultActionHotKey", PolicyType::Flag},
    {PolicyId::DefaultActionHotModifier, "DefaultActionHotModifier", PolicyType::Number, 2},
    {PolicyId::DefaultActionHotKey, "DefaultActionHotKey", PolicyType::Number, 45},
    {PolicyId::RunAtLogon, "RunAtLogon", PolicyType::Flag},
    {PolicyId::RestoreClipboard, "RestoreClipboard", PolicyType::Flag},
    {PolicyId::ReadSelectionDirectly, "ReadSelectionDirectly", PolicyType::Flag},
    {PolicyId::GestureExclusions, "GestureExclusions", PolicyType::List},
    {PolicyId::AddToUserGestureExclusions, "AddToUserGestureExclusions", PolicyType::Flag},
    {PolicyId::DefaultSite, "DefaultSite", PolicyType::Number, 0x7FFFFFFF},
    {PolicyId::VisibleSites, "VisibleSites", PolicyType::List},
    {PolicyId::SiteListPath, "SiteListPath", PolicyType::Text},
    {PolicyId::AllowSiteEditing, "AllowSiteEditing", PolicyType::Flag},
    {PolicyId::KeepSearchHistory, "KeepSearchHistory", PolicyType::Flag},
    {PolicyId::Language, "Language", PolicyType::Text},
};
inline constexpr std::size_t kPolicyCount = std::size(kPolicies);
static_assert(
    [] {
        for (std::size_t i = 0; i < kPolicyCount; ++i) {
            if (static_cast<std::size_t>(kPolicies[i].id) != i) {
                return false;
            }
        }
        return true;
    }(),
    "the table is in the order of the ids");

// Registry types as the registry reports them.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegDword = 4;

// One stored value as read: its registry type and bytes (text in UTF-16, low byte first).
struct StoredValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes;
};

// A configured policy: the number (a Flag's is 0 or 1), the text, or the list's entries.
struct PolicyValue {
    std::uint32_t number = 0;
    std::u16string text;
    std::vector<std::u16string> list;
};

// A Flag, Number or Text policy's value; nothing when the stored value does not count.
// Text loses the blanks around it.
std::optional<PolicyValue> ParsePolicyValue(const PolicyDefinition& policy,
                                            const StoredValue& stored);

// A List policy from the values of its subkey: the text values named "1", "2", ... in the
// order of their numbers (gaps allowed), blanks around an entry dropped; other names,
// other types and blank entries are passed over. Nothing when no entry is left.
std::optional<PolicyValue> ParsePolicyList(
    const std::vector<std::pair<std::u16string, StoredValue>>& values);

// The policies in force. The machine's hive is offered first: the first value a policy
// gets is the one that counts.
class PolicySet {
public:
    void Offer(PolicyId id, std::optional<PolicyValue> value);

    bool Configured(PolicyId id) const { return Find(id) != nullptr; }
    const PolicyValue* Find(PolicyId id) const;

    // The policy's value when it is configured, else the user's own (or the default).
    std::uint32_t Number(PolicyId id, std::uint32_t user) const;
    bool Flag(PolicyId id, bool user) const;

private:
    std::array<PolicyValue, kPolicyCount> values_;
    std::uint32_t configured_ = 0;  // a bit per policy, in the order of the ids
};
static_assert(kPolicyCount <= 32);

// The site ids of a list's entries, in order: decimal numbers with an optional sign in the
// signed 32-bit range; other entries are passed over.
std::vector<std::int32_t> ParseSiteIds(const std::vector<std::u16string>& entries);

}  // namespace vp
