// The search history between runs: the MRU key, "0" newest, REG_SZ values.
#pragma once

#include "base/SearchHistory.h"

namespace vp {

// The stored history, newest first (at most 20 entries, up to the first gap).
SearchHistoryList LoadSearchHistory();
// Stores the first 20 entries; failures are silent.
void SaveSearchHistory(const SearchHistoryList& history);

}  // namespace vp
