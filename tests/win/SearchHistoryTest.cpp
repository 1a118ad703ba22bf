// The search history: kept across runs in the registry, newest first, at most twenty
// entries, stored whichever way the program ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/RegistryKeys.h"
#include "tests/win/AppProcess.h"
#include "tests/win/Fixtures.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"

namespace vp {
namespace {

class SearchHistory : public RecordedSearchTest {
protected:
    // Searches each text on the default site, selected in a fixture, with Ctrl+F2.
    // The search box's drop-down list in order, read by choosing each entry in turn.
    static std::vector<std::string> DropDownTexts(const RunningApp& app) {
        const LRESULT count = ::SendMessageA(app.SearchBox(), CB_GETCOUNT, 0, 0);
        std::vector<std::string> texts;
        for (LRESULT i = 0; i < count; ++i) {
            ::SendMessageA(app.SearchBox(), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            texts.push_back(app.SearchText());
        }
        return texts;
    }

    void SearchAll(std::initializer_list<const char*> texts) {
        std::size_t before = recorder_.Urls().size();
        for (const char* text : texts) {
            SelectionFixture fixture(text);
            ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
            PressKeys({VK_CONTROL}, VK_F2);
            ASSERT_TRUE(recorder_.WaitForUrls(++before)) << text;
        }
    }
};

TEST_F(SearchHistory, OrderlyExitStoresItNewestFirstAndTheNextRunKeepsIt) {
    {
        RunningApp app;
        ASSERT_TRUE(app.Ready());
        SearchAll({"alpha", "beta", "alpha", "Alpha"});
        ASSERT_EQ(app.ExitThroughTrayMenu(), 0);
    }
    EXPECT_EQ(StoredHistory(), (std::vector<std::string>{"Alpha", "alpha", "beta"}));
    {
        RunningApp app;
        ASSERT_TRUE(app.Ready());
        EXPECT_EQ(DropDownTexts(app), (std::vector<std::string>{"Alpha", "alpha", "beta"}));
        SearchAll({"gamma"});
        ASSERT_EQ(app.ExitThroughTrayMenu(), 0);
    }
    EXPECT_EQ(StoredHistory(), (std::vector<std::string>{"gamma", "Alpha", "alpha", "beta"}));
}

TEST_F(SearchHistory, QuitMessageFromElsewhereStoresItAsExitDoes) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SearchAll({"quit"});
    const DWORD thread = ::GetWindowThreadProcessId(app.MainWindow(), nullptr);
    ASSERT_TRUE(::PostThreadMessageA(thread, WM_QUIT, 0, 0));
    EXPECT_EQ(app.Process().WaitForExit(), 0);
    EXPECT_EQ(StoredHistory(), std::vector<std::string>{"quit"});
}

TEST_F(SearchHistory, AtMostTwentyEntriesAreStored) {
    for (int i = 0; i < 20; ++i) {
        std::string text = "e" + std::to_string(i);
        WriteTestValue(kHistoryKey, std::to_string(i).c_str(), REG_SZ, text.c_str(),
                       static_cast<DWORD>(text.size() + 1));
    }
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SearchAll({"new"});
    ASSERT_EQ(app.ExitThroughTrayMenu(), 0);
    std::vector<std::string> stored = StoredHistory();
    ASSERT_EQ(stored.size(), 20u);
    EXPECT_EQ(stored.front(), "new");
    EXPECT_EQ(stored.back(), "e18");
}

}  // namespace
}  // namespace vp
