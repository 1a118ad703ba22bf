// The search history rules: newest first, each text once.
#include "base/SearchHistory.h"

#include <gtest/gtest.h>

namespace vp {
namespace {

TEST(SearchHistory, NewestFirstEachTextOnceCaseSensitive) {
    SearchHistoryList history = {"c", "b", "a"};
    EXPECT_TRUE(AddToSearchHistory(history, "b"));
    EXPECT_EQ(history, (SearchHistoryList{"b", "c", "a"}));
    EXPECT_TRUE(AddToSearchHistory(history, "B"));
    EXPECT_EQ(history, (SearchHistoryList{"B", "b", "c", "a"}));
    EXPECT_FALSE(AddToSearchHistory(history, ""));
    const SearchText wide = SearchText::Wide(u"\u65E5 b");
    AddToSearchHistory(history, wide);
    AddToSearchHistory(history, "a");
    AddToSearchHistory(history, wide);
    EXPECT_EQ(history, (SearchHistoryList{wide, "a", "B", "b", "c"}));
    SearchHistoryList duplicates = {"x", "y", "x"};
    AddToSearchHistory(duplicates, "x");
    EXPECT_EQ(duplicates, (SearchHistoryList{"x", "y"}));
    AddToSearchHistory(duplicates, "y ");  // blanks count
    EXPECT_EQ(duplicates.front(), "y ");
    EXPECT_EQ(duplicates.size(), 3u);
}

}  // namespace
}  // namespace vp
