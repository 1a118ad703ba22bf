#include "base/Policies.h"

#include <limits>
#include <utility>

namespace vp {
namespace {

bool IsBlank(char16_t unit) {
    return unit == u' ' || unit == u'\t';
}

std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The text of a string value up to its first zero unit; nothing for another type.
std::optional<std::u16string> TextOf(const StoredValue& stored) {
    if (stored.type != kRegSz && stored.type != kRegExpandSz) {
        return std::nullopt;
    }
    std::u16string text;
    for (std::size_t i = 0; i + 1 < stored.bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(stored.bytes[i] | (stored.bytes[i + 1] << 8));
        if (unit == u'\0') {
            break;
        }
        text += unit;
    }
    return text;
}

// A decimal number without sign or leading zero, at most nine digits; nothing otherwise.
std::optional<std::uint32_t> PositionOf(std::u16string_view name) {
    if (name.empty() || name.size() > 9 || name[0] == u'0') {
        return std::nullopt;
    }
    std::uint32_t number = 0;
    for (char16_t unit : name) {
        if (unit < u'0' || unit > u'9') {
            return std::nullopt;
        }
        number = number * 10 + static_cast<std::uint32_t>(unit - u'0');
    }
    return number;
}

}  // namespace

std::optional<PolicyValue> ParsePolicyValue(const PolicyDefinition& policy,
                                            const StoredValue& stored) {
    PolicyValue value;
    if (policy.type == PolicyType::Text) {
        const std::optional<std::u16string> text = TextOf(stored);
        if (!text || Trimmed(*text).empty()) {
            return std::nullopt;
        }
        value.text = Trimmed(*text);
        return value;
    }
    if (policy.type == PolicyType::List || stored.type != kRegDword || stored.bytes.size() != 4) {
        return std::nullopt;
    }
    value.number = static_cast<std::uint32_t>(stored.bytes[0]) |
                   static_cast<std::uint32_t>(stored.bytes[1]) << 8 |
                   static_cast<std::uint32_t>(stored.bytes[2]) << 16 |
                   static_cast<std::uint32_t>(stored.bytes[3]) << 24;
    if (policy.type == PolicyType::Flag) {
        value.number = value.number != 0 ? 1 : 0;
    } else if (value.number > policy.maximum) {
        return std::nullopt;
    }
    return value;
}

std::optional<PolicyValue> ParsePolicyList(
    const std::vector<std::pair<std::u16string, StoredValue>>& values) {
    std::vector<std::pair<std::uint32_t, std::u16string>> entries;
    for (const auto& [name, stored] : values) {
        const std::optional<std::uint32_t> position = PositionOf(name);
        const std::optional<std::u16string> text = TextOf(stored);
        if (position && text && !Trimmed(*text).empty()) {
            entries.emplace_back(*position, Trimmed(*text));
        }
    }
    if (entries.empty()) {
        return std::nullopt;
    }
    // By position; the lists are short.
    for (std::size_t i = 1; i < entries.size(); ++i) {
        for (std::size_t j = i; j > 0 && entries[j].first < entries[j - 1].first; --j) {
            std::swap(entries[j], entries[j - 1]);
        }
    }
    PolicyValue value;
    for (auto& entry : entries) {
        value.list.push_back(std::move(entry.second));
    }
    return value;
}

void PolicySet::Offer(PolicyId id, std::optional<PolicyValue> value) {
    const auto index = static_cast<std::size_t>(id);
    if (value && Find(id) == nullptr) {
        values_[index] = std::move(*value);
        configured_ |= 1u << index;
    }
}

const PolicyValue* PolicySet::Find(PolicyId id) const {
    const auto index = static_cast<std::size_t>(id);
    return (configured_ >> index & 1u) != 0 ? &values_[index] : nullptr;
}

std::uint32_t PolicySet::Number(PolicyId id, std::uint32_t user) const {
    const PolicyValue* value = Find(id);
    return value != nullptr ? value->number : user;
}

bool PolicySet::Flag(PolicyId id, bool user) const {
    return Number(id, user ? 1 : 0) != 0;
}

std::vector<std::int32_t> ParseSiteIds(const std::vector<std::u16string>& entries) {
    std::vector<std::int32_t> ids;
    for (const std::u16string& entry : entries) {
        std::u16string_view digits = Trimmed(entry);
        const bool negative = !digits.empty() && digits[0] == u'-';
        if (!digits.empty() && (digits[0] == u'-' || digits[0] == u'+')) {
            digits.remove_prefix(1);
        }
        std::int64_t number = 0;
        bool valid = !digits.empty() && digits.size() <= 10;
        for (char16_t unit : digits) {
            valid = valid && unit >= u'0' && unit <= u'9';
            number = number * 10 + (unit - u'0');
        }
        number = negative ? -number : number;
        if (valid && number >= std::numeric_limits<std::int32_t>::min() &&
            number <= std::numeric_limits<std::int32_t>::max()) {
            ids.push_back(static_cast<std::int32_t>(number));
        }
    }
    return ids;
}

}  // namespace vp
