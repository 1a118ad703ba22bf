// The search history between runs: the MRU key, "0" newest, REG_SZ values.
#pragma once

#include "base/SearchHistory.h"

namespace vp {

// The stored history, newest first (at most 20 entries, up to the first gap); empty
// while the history may not be kept.
SearchHistoryList LoadSearchHistory();
// Stores the first 20 entries; failures are silent. Nothing is stored while the history
// may not be kept.
void SaveSearchHistory(const SearchHistoryList& history);

// Whether the history may be stored (the KeepSearchHistory policy); when it may not, the
// stored history is removed.
bool MayKeepSearchHistory();

}  // namespace vp
