#include "base/SearchHistory.h"

#include <algorithm>

namespace vp {

bool AddToSearchHistory(SearchHistoryList& history, const SearchText& text) {
    if (text.empty()) {
        return false;
    }
    std::erase_if(history, [&](const SearchText& entry) { return entry == text; });
    history.insert(history.begin(), text);
    return true;
}

}  // namespace vp
