// The search box and the stored search history, in this process.
#include "popup/SearchBox.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include "core/RegistryKeys.h"
#include "core/SearchHistoryStore.h"
#include "tests/win/RegistryFixture.h"

namespace vp {
namespace {

class SearchBoxHistory : public RegistryTest {};

void StoreEntry(const char* position, const std::string& text) {
    WriteTestValue(kHistoryKey, position, REG_SZ, text.c_str(),
                   static_cast<DWORD>(text.size() + 1));
}

TEST_F(SearchBoxHistory, LoadingStopsAtTheFirstGapOrOverlongValue) {
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

TEST_F(SearchBoxHistory, SavingWritesTheFirstTwentyAndRemovesLaterPositions) {
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

TEST_F(SearchBoxHistory, BoxShowsTheHistoryAndItsTextInDarkBlue) {
    HWND parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 220, 200, nullptr, nullptr,
                                    nullptr, nullptr);
    SearchBox box;
    ASSERT_TRUE(box.CreateIn(parent));
    EXPECT_EQ(::GetDlgCtrlID(box.Handle()), 99);
    box.Fill({"newest", "older"});
    ASSERT_EQ(::SendMessageA(box.Handle(), CB_GETCOUNT, 0, 0), 2);
    char text[64] = {};
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_TEXT;
    item.iItem = 1;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(box.Handle(), CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, "older");
    box.Fill({"only"});
    EXPECT_EQ(::SendMessageA(box.Handle(), CB_GETCOUNT, 0, 0), 1);

    box.SetText("typed text");
    EXPECT_EQ(box.Text(), "typed text");
    ASSERT_NE(box.EditControl(), nullptr);

    HDC dc = ::GetDC(box.EditControl());
    LRESULT brush = ::SendMessageA(box.Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(box.EditControl()));
    EXPECT_EQ(::GetTextColor(dc), RGB(0, 20, 140));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), ::GetSysColorBrush(COLOR_WINDOW));
    ::ReleaseDC(box.EditControl(), dc);
    ::DestroyWindow(parent);
}

}  // namespace
}  // namespace vp
