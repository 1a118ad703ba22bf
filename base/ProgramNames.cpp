#include "base/ProgramNames.h"

#include <algorithm>

namespace vp {
namespace {

bool IsBlank(char16_t unit) {
    return unit == u' ' || unit == u'\t';
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char16_t x, char16_t y) {
        return FoldCase(x) == FoldCase(y);
    });
}

}  // namespace

std::vector<std::u16string> ParseProgramList(std::u16string_view text) {
    std::vector<std::u16string> names;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(u';'), text.size());
        std::u16string_view entry = text.substr(0, end);
        text.remove_prefix(end < text.size() ? end + 1 : end);
        entry.remove_prefix(ProgramFileNameStart(entry.data(), entry.size()));
        while (!entry.empty() && IsBlank(entry.front())) {
            entry.remove_prefix(1);
        }
        while (!entry.empty() && IsBlank(entry.back())) {
            entry.remove_suffix(1);
        }
        if (entry.empty() || std::any_of(names.begin(), names.end(), [&](const auto& name) {
                return SameName(name, entry);
            })) {
            continue;
        }
        names.emplace_back(entry);
    }
    return names;
}

std::optional<ProgramHashes> HashProgramList(std::u16string_view text) {
    const std::vector<std::u16string> names = ParseProgramList(text);
    if (names.size() > static_cast<std::size_t>(kMaxGestureExclusions)) {
        return std::nullopt;
    }
    ProgramHashes result;
    for (const std::u16string& name : names) {
        result.hashes[static_cast<std::size_t>(result.count++)] =
            HashProgramName(name.data(), name.size());
    }
    return result;
}

}  // namespace vp
