// The rules of the search history: newest first, each text once.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "base/SearchText.h"

namespace vp {

// Each entry is ANSI or wide as its text was (see SearchText).
using SearchHistoryList = std::vector<SearchText>;

// How many entries are stored between runs (the list in memory is not limited).
inline constexpr std::size_t kStoredHistoryEntries = 20;

// Puts text at the front, removing every equal entry (byte for byte, so case and blanks
// count; an ANSI and a wide text are never equal, as no wide text fits the code page). An empty
// text changes nothing; returns whether the history changed.
bool AddToSearchHistory(SearchHistoryList& history, const SearchText& text);

}  // namespace vp
