// The search history between runs, in the current user's registry.
#include "core/SearchHistoryStore.h"

#include <gtest/gtest.h>

#include "core/RegistryKeys.h"
#include "tests/win/RegistryFixture.h"

namespace vp {
namespace {

class SearchHistoryStore : public RegistryTest {};

void StoreEntry(const char* position, const std::string& text) {
    WriteTestValue(kHistoryKey, position, REG_SZ, text.c_str(),
                   static_cast<DWORD>(text.size() + 1));
}

TEST_F(SearchHistoryStore, LoadingStopsAtTheFirstGapOrOverlongValue) {
    EXPECT_TRUE(LoadSearchHistory().empty());  // first run: no key
    StoreEntry("0", "zero");
    StoreEntry("1", "one");
    StoreEntry("3", "three");
    EXPECT_EQ(LoadSearchHistory(), (SearchHistoryList{"zero", "one"}));

    StoreEntry("2", std::string(300, 'x'));  // longer than 260 bytes
    EXPECT_EQ(LoadSearchHistory(), (SearchHistoryList{"zero", "one"}));
    StoreEntry("2", std::string(259, 'y'));
    EXPECT_EQ(LoadSearchHistory().size(), 4u);
}

TEST_F(SearchHistoryStore, SavingWritesTheFirstTwentyAndRemovesLaterPositions) {
    StoreEntry("21", "beyond");
    StoreEntry("other", "kept");
    SearchHistoryList history;
    for (int i = 0; i < 25; ++i) {
        history.push_back("text" + std::to_string(i));
    }
    SaveSearchHistory(history);
    SearchHistoryList loaded = LoadSearchHistory();
    ASSERT_EQ(loaded.size(), 20u);
    EXPECT_EQ(loaded.front(), "text0");
    EXPECT_EQ(loaded.back(), "text19");

    // A stored list with a gap: the old position 3 must not come back once 2 is written.
    DeleteProgramKeys();
    StoreEntry("0", "zero");
    StoreEntry("1", "one");
    StoreEntry("3", "three");
    StoreEntry("other", "kept");
    SaveSearchHistory({"new", "zero"});
    SaveSearchHistory({"newer", "new", "zero"});
    EXPECT_EQ(LoadSearchHistory(), (SearchHistoryList{"newer", "new", "zero"}));
    char text[32] = {};
    DWORD size = sizeof text;
    EXPECT_EQ(::RegGetValueA(HKEY_CURRENT_USER, kHistoryKey, "other", RRF_RT_REG_SZ, nullptr, text,
                             &size),
              ERROR_SUCCESS);
}

}  // namespace
}  // namespace vp
