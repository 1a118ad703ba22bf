// The popup of the real Vantapicker.exe, shown and driven from outside with real keys
// and clicks: where it appears, its links, its keys, and when it hides.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/RegistryKeys.h"
#include "tests/win/Fixtures.h"
#include "tests/win/PopupFixture.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"
#include "tests/win/WindowSearch.h"

namespace vp {
namespace {

int PopupWidth() {
    return 219 + 2 * ::GetSystemMetrics(SM_CXBORDER);
}

int CountChildrenOfClass(HWND parent, const char* className) {
    struct Search {
        const char* className;
        int count;
    } search{className, 0};
    ::EnumChildWindows(
        parent,
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            s->count += ClassOf(window) == s->className ? 1 : 0;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
}

void WriteSelectedSites(const std::vector<SiteId>& ids) {
    for (std::size_t i = 0; i < ids.size(); ++i) {
        WriteTestDword(kSelectedKey, std::to_string(i).c_str(), static_cast<std::uint32_t>(ids[i]));
    }
}

TEST_F(Popup, HotKeyShowsItAtTheCursorWithTheSelectionAndTheFocusInTheSearchBox) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    EXPECT_FALSE(::IsWindowVisible(app.MainWindow()));
    SelectionFixture fixture("look me up");
    const POINT cursor{400, 300};
    ASSERT_TRUE(ShowByHotKey(app, fixture, cursor, "look me up"));
    RECT rect = WindowRectOf(app.MainWindow());
    EXPECT_EQ(rect.left, cursor.x - 1);
    EXPECT_EQ(rect.top, cursor.y - 1);
    EXPECT_EQ(rect.right - rect.left, PopupWidth());
    EXPECT_EQ(rect.bottom - rect.top, PopupHeight(7));  // ids 0 to 6 without a Selected key
    EXPECT_TRUE(WaitForFocus(app, EditOf(app)));

    // One link per default site, 205 x 16 on an 18-pixel pitch under the search box.
    std::vector<HWND> links = LinksOf(app.MainWindow());
    ASSERT_EQ(links.size(), 7u);
    EXPECT_EQ(CountChildrenOfClass(app.MainWindow(), test::kLinkClassName), 7);
    RECT client = ClientRectOnScreen(app.MainWindow());
    for (std::size_t i = 0; i < links.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ClassOf(links[i]), test::kLinkClassName);
        EXPECT_EQ(::GetParent(links[i]), app.MainWindow());
        RECT link = WindowRectOf(links[i]);
        EXPECT_EQ(link.left - client.left, 5);
        EXPECT_EQ(link.top - client.top, 32 + 18 * static_cast<int>(i));
        EXPECT_EQ(link.right - link.left, 205);
        EXPECT_EQ(link.bottom - link.top, 16);
    }
    EXPECT_TRUE(recorder_.Urls().empty());
}

TEST_F(Popup, KeysWalkTheLinksInTheOrderOfTheSelectedKeyAndEnterOpensTheFocusedOne) {
    WriteSelectedSites({5, 3, 0});
    RunningApp app;
    SelectionFixture fixture("order");
    ASSERT_TRUE(ShowByHotKey(app, fixture, {300, 250}, "order"));

    std::vector<HWND> links = LinksOf(app.MainWindow());
    ASSERT_EQ(links.size(), 3u);
    EXPECT_EQ(CountChildrenOfClass(app.MainWindow(), test::kLinkClassName), 3);
    RECT rect = WindowRectOf(app.MainWindow());
    EXPECT_EQ(rect.bottom - rect.top, PopupHeight(3));
    const HWND edit = EditOf(app);
    ASSERT_TRUE(WaitForFocus(app, edit));

    // Nothing before the search box: Up and Shift+Tab stay, so Down reaches the first link.
    PressKeys({}, VK_UP);
    PressKeys({VK_SHIFT}, VK_TAB);
    PressKeys({}, VK_DOWN);
    ASSERT_TRUE(WaitForFocus(app, links[0]));
    PressKeys({}, VK_RETURN);
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], UrlOf(5) + "order");

    PressKeys({}, VK_TAB);
    ASSERT_TRUE(WaitForFocus(app, links[1]));
    PressKeys({}, VK_RETURN);
    ASSERT_TRUE(recorder_.WaitForUrls(2));
    EXPECT_EQ(recorder_.Urls()[1], UrlOf(3) + "order");

    PressKeys({}, VK_DOWN);
    ASSERT_TRUE(WaitForFocus(app, links[2]));
    PressKeys({}, VK_RETURN);
    ASSERT_TRUE(recorder_.WaitForUrls(3));
    EXPECT_EQ(recorder_.Urls()[2], UrlOf(0) + "order");

    // Nothing after the last link: Down and Tab stay, so Up reaches the middle one.
    PressKeys({}, VK_DOWN);
    PressKeys({}, VK_TAB);
    PressKeys({}, VK_UP);
    ASSERT_TRUE(WaitForFocus(app, links[1]));
    PressKeys({VK_SHIFT}, VK_TAB);
    ASSERT_TRUE(WaitForFocus(app, links[0]));
    PressKeys({}, VK_UP);
    ASSERT_TRUE(WaitForFocus(app, edit));

    // Enter in the search box searches the default site, with what the box now holds.
    app.SetSearchText("typed");
    PressKeys({}, VK_RETURN);
    ASSERT_TRUE(recorder_.WaitForUrls(4));
    EXPECT_EQ(recorder_.Urls()[3], UrlOf(0) + "typed");
    // Opening a site does not hide the popup.
    EXPECT_TRUE(::IsWindowVisible(app.MainWindow()));
    PumpMessagesFor(300);
    EXPECT_EQ(recorder_.Urls().size(), 4u);
}

TEST_F(Popup, EscAndCloseOnlyHideItAndKeepTheTextAndTheLinks) {
    RunningApp app;
    SelectionFixture fixture("keep me");
    ASSERT_TRUE(ShowByHotKey(app, fixture, {350, 200}, "keep me"));
    const std::vector<HWND> links = LinksOf(app.MainWindow());
    ASSERT_EQ(links.size(), 7u);

    PressKeys({}, VK_ESCAPE);
    ASSERT_TRUE(WaitForHidden(app));
    EXPECT_EQ(app.SearchText(), "keep me");
    EXPECT_EQ(LinksOf(app.MainWindow()), links);

    // Shown again as it was, then closed through its caption's message.
    ASSERT_TRUE(BringForward(fixture));
    ::PostMessageA(app.MainWindow(), test::kShowPopup, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(app.MainWindow()) != FALSE; }));
    EXPECT_EQ(app.SearchText(), "keep me");
    ::PostMessageA(app.MainWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitForHidden(app));
    EXPECT_TRUE(::IsWindow(app.MainWindow()));
    EXPECT_TRUE(app.Process().IsRunning());
    EXPECT_EQ(app.SearchText(), "keep me");
    EXPECT_EQ(LinksOf(app.MainWindow()), links);
    EXPECT_TRUE(recorder_.Urls().empty());
}

TEST_F(Popup, ClickOnALinkOpensItsSiteAndThePopupStaysUntilItLosesActivation) {
    RunningApp app;
    SelectionFixture fixture("clicked");
    ASSERT_TRUE(ShowByHotKey(app, fixture, {300, 150}, "clicked"));
    std::vector<HWND> links = LinksOf(app.MainWindow());
    ASSERT_EQ(links.size(), 7u);

    ClickAt(CenterOf(links[2]), 0);
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], UrlOf(2) + "clicked");
    EXPECT_TRUE(WaitForFocus(app, links[2]));  // the pressed link took the focus
    PumpMessagesFor(300);
    EXPECT_TRUE(::IsWindowVisible(app.MainWindow()));
    EXPECT_EQ(recorder_.Urls().size(), 1u);

    ASSERT_TRUE(BringForward(fixture));
    EXPECT_TRUE(WaitForHidden(app));
    EXPECT_EQ(app.SearchText(), "clicked");
}

TEST_F(Popup, NearTheEdgesOfTheWorkAreaItIsKeptInside) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("edges");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    const RECT work = WorkAreaAt({400, 300});
    const int width = PopupWidth();
    const int height = PopupHeight(7);

    struct Case {
        POINT cursor;
        POINT topLeft;
    };
    // (Away from the edges it opens one pixel up and left of the cursor: first test.)
    const Case cases[] = {
        // Right or bottom edge: pushed left or up until it touches it.
        {{work.right - 1, work.top + 100}, {work.right - width, work.top + 99}},
        {{work.left + 100, work.bottom - 1}, {work.left + 99, work.bottom - height}},
        // Top left corner: one pixel up and left would leave the work area.
        {{work.left, work.top}, {work.left, work.top}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cursor " << c.cursor.x << "," << c.cursor.y);
        ASSERT_TRUE(ShowByHotKey(app, fixture, c.cursor, "edges"));
        RECT rect = WindowRectOf(app.MainWindow());
        EXPECT_EQ(rect.left, c.topLeft.x);
        EXPECT_EQ(rect.top, c.topLeft.y);
        EXPECT_EQ(rect.right - rect.left, width);
        EXPECT_EQ(rect.bottom - rect.top, height);
    }
}

TEST_F(Popup, TallerThanTheWorkAreaItKeepsItsTopInside) {
    const RECT work = WorkAreaAt({400, 300});
    // Repeated ids are listed again, so enough links make it taller than the work area.
    const int links = (work.bottom - work.top) / 18 + 1;
    std::vector<SiteId> ids;
    for (int i = 0; i < links; ++i) {
        ids.push_back(i % 7);
    }
    WriteSelectedSites(ids);
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    ASSERT_EQ(LinksOf(app.MainWindow()).size(), static_cast<std::size_t>(links));
    SelectionFixture fixture("tall");
    ASSERT_TRUE(ShowByHotKey(app, fixture, {work.left + 300, work.top + 400}, "tall"));
    RECT rect = WindowRectOf(app.MainWindow());
    EXPECT_EQ(rect.top, work.top);
    EXPECT_EQ(rect.left, work.left + 299);
    EXPECT_TRUE(WaitForFocus(app, EditOf(app)));
}

}  // namespace
}  // namespace vp
