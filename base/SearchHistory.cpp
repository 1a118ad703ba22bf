#include "base/SearchHistory.h"

#include <algorithm>

namespace vp {

bool AddToSearchHistory(SearchHistoryList& history, std::string_view text) {
    if (text.empty()) {
        return false;
    }
    std::erase_if(history, [&](const std::string& entry) { return entry == text; });
    history.insert(history.begin(), std::string(text));
    return true;
}

}  // namespace vp
