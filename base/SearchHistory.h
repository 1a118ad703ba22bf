// The rules of the search history: newest first, each text once.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vp {

using SearchHistoryList = std::vector<std::string>;

// How many entries are stored between runs (the list in memory is not limited).
inline constexpr std::size_t kStoredHistoryEntries = 20;

// Puts text at the front, removing every equal entry (byte for byte, so case and blanks
// count). An empty text changes nothing; returns whether the history changed.
bool AddToSearchHistory(SearchHistoryList& history, std::string_view text);

}  // namespace vp
