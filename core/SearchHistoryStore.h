// The search history between runs: the MRU key, "0" newest, REG_SZ values.
#pragma once

#include "base/SearchHistory.h"

namespace vp {

// `mayKeep` is the KeepSearchHistory policy in force.

// The stored history, newest first (at most 20 entries, up to the first gap); empty
// while the history may not be kept.
SearchHistoryList LoadSearchHistory(bool mayKeep);
// Stores the first 20 entries; failures are silent. Nothing is stored while the history
// may not be kept.
void SaveSearchHistory(const SearchHistoryList& history, bool mayKeep);

// Removes the stored history: done at each load of the configuration that finds that it
// may not be kept.
void RemoveSearchHistory();

}  // namespace vp
