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

void StoreWideEntry(const wchar_t* position, const std::u16string& text) {
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Quenhollow\\Vantapicker\\MRU",
                                position, REG_SZ, text.c_str(),
                                static_cast<DWORD>((text.size() + 1) * sizeof(char16_t))),
              ERROR_SUCCESS);
}

TEST_F(SearchHistoryStore, LoadingStopsAtTheFirstGapOrUnreadableValueAndTakesAnyLength) {
    EXPECT_TRUE(LoadSearchHistory(true).empty());  // first run: no key
    StoreEntry("0", "zero");
    StoreEntry("1", "one");
    StoreEntry("3", "three");
    EXPECT_EQ(LoadSearchHistory(true), (SearchHistoryList{"zero", "one"}));

    // Longer than 260 bytes, as a text saved as UTF-16 can be once the code page has more
    // bytes per character: it loads, and so does what follows it.
    StoreEntry("2", std::string(300, 'x'));
    SearchHistoryList loaded = LoadSearchHistory(true);
    ASSERT_EQ(loaded.size(), 4u);
    EXPECT_EQ(loaded[2], SearchText(std::string(300, 'x')));
    EXPECT_EQ(loaded[3], SearchText("three"));

    // A wide text the code page cannot hold comes back wide, whatever its length.
    const std::u16string japanese(150, u'\u65e5');
    StoreWideEntry(L"1", japanese);
    loaded = LoadSearchHistory(true);
    ASSERT_EQ(loaded.size(), 4u);
    EXPECT_EQ(loaded[1], SearchText::Wide(japanese));

    // A value that is not text ends the list there.
    const BYTE binary[] = {1, 2, 3};
    WriteTestValue(kHistoryKey, "2", REG_BINARY, binary, sizeof binary);
    EXPECT_EQ(LoadSearchHistory(true), (SearchHistoryList{"zero", SearchText::Wide(japanese)}));
}

TEST_F(SearchHistoryStore, SavingWritesTheFirstTwentyAndRemovesLaterPositions) {
    StoreEntry("21", "beyond");
    StoreEntry("other", "kept");
    SearchHistoryList history;
    for (int i = 0; i < 25; ++i) {
        history.push_back("text" + std::to_string(i));
    }
    SaveSearchHistory(history, true);
    SearchHistoryList loaded = LoadSearchHistory(true);
    ASSERT_EQ(loaded.size(), 20u);
    EXPECT_EQ(loaded.front(), "text0");
    EXPECT_EQ(loaded.back(), "text19");

    // A stored list with a gap: the old position 3 must not come back once 2 is written.
    DeleteProgramKeys();
    StoreEntry("0", "zero");
    StoreEntry("1", "one");
    StoreEntry("3", "three");
    StoreEntry("other", "kept");
    SaveSearchHistory({"new", "zero"}, true);
    SaveSearchHistory({"newer", "new", "zero"}, true);
    EXPECT_EQ(LoadSearchHistory(true), (SearchHistoryList{"newer", "new", "zero"}));
    char text[32] = {};
    DWORD size = sizeof text;
    EXPECT_EQ(::RegGetValueA(HKEY_CURRENT_USER, kHistoryKey, "other", RRF_RT_REG_SZ, nullptr, text,
                             &size),
              ERROR_SUCCESS);

    // A value that could not be read, and the older ones behind it, stay as they are when
    // the list does not reach them.
    DeleteProgramKeys();
    StoreEntry("0", "zero");
    const BYTE binary[] = {1, 2, 3};
    WriteTestValue(kHistoryKey, "1", REG_BINARY, binary, sizeof binary);
    StoreEntry("2", "two");
    SaveSearchHistory(LoadSearchHistory(true), true);
    BYTE data[8] = {};
    size = sizeof data;
    EXPECT_EQ(::RegGetValueA(HKEY_CURRENT_USER, kHistoryKey, "1", RRF_RT_REG_BINARY, nullptr, data,
                             &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof binary);
    size = sizeof text;
    EXPECT_EQ(
        ::RegGetValueA(HKEY_CURRENT_USER, kHistoryKey, "2", RRF_RT_REG_SZ, nullptr, text, &size),
        ERROR_SUCCESS);
}

}  // namespace
}  // namespace vp
