// The popup, the tray icon's menu and the About box of the real Vantapicker.exe, driven
// from outside with real keys and clicks and read back from its windows, the screen,
// the notification area and the registry.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/RegistryKeys.h"
#include "popup/LinkAccessible.h"
#include "popup/PopupTheme.h"
#include "resources/resource.h"
#include "sites/SiteListFile.h"
#include "sites/SiteListFormat.h"
#include "tests/win/Fixtures.h"
#include "tests/win/PopupFixture.h"
#include "tests/win/Protocol.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"
#include "tests/win/WindowSearch.h"
#include "win/Registry.h"
#include "win/SystemFunction.h"

namespace vp {
namespace {

using test::kAboutTitle;
using test::kTrayNotify;
constexpr COLORREF kLinkBlue = RGB(0, 20, 140);
constexpr COLORREF kHoverBrown = RGB(180, 80, 0);
constexpr COLORREF kBackground = RGB(255, 250, 240);

int PopupWidth() {
    return 219 + 2 * ::GetSystemMetrics(SM_CXBORDER);
}

int PopupHeight(int links) {
    return ::GetSystemMetrics(SM_CYSMCAPTION) + 2 * ::GetSystemMetrics(SM_CYBORDER) + 18 * links +
           38;
}

RECT WindowRectOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

// The client area in screen coordinates.
RECT ClientRectOnScreen(HWND window) {
    RECT rect{};
    ::GetClientRect(window, &rect);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT WorkAreaAt(POINT point) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
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

// Takes the mouse off the notification area and waits until no tip covers it.
void LeaveTrayArea(const RECT& area) {
    MoveMouseTo({area.right + 200, area.bottom + 200});
    WaitUntil(
        [] { return FindTopLevelWindow(TOOLTIPS_CLASSA, nullptr, kVisibleWindows) == nullptr; });
}

std::vector<COLORREF> TrayPixels() {
    const RECT area = TrayArea();
    LeaveTrayArea(area);
    return CapturePixels(nullptr, area);
}

// The tip the shell shows while the mouse rests on the program's icon, the first in the
// notification area; empty when none appeared. The mouse comes to the icon again when a
// busy shell let the first visit pass without a tip.
std::string TrayTip() {
    const RECT area = TrayArea();
    std::string tip;
    for (int visit = 0; visit < 3 && tip.empty(); ++visit) {
        LeaveTrayArea(area);  // the tip appears when the mouse comes to the icon
        MoveMouseTo(FirstTrayIcon());
        WaitUntil(
            [&tip] {
                HWND window = FindTopLevelWindow(TOOLTIPS_CLASSA, nullptr, kVisibleWindows);
                tip = window != nullptr ? WindowText(window) : "";
                return !tip.empty();
            },
            4000);
    }
    return tip;
}

void WriteSelectedSites(const std::vector<SiteId>& ids) {
    for (std::size_t i = 0; i < ids.size(); ++i) {
        WriteTestDword(kSelectedKey, std::to_string(i).c_str(), static_cast<std::uint32_t>(ids[i]));
    }
}

// ---------------------------------------------------------------------------
// What the screen shows, read through the screen's device context.
// ---------------------------------------------------------------------------
class ScreenPixels {
public:
    explicit ScreenPixels(const RECT& area) : area_(area), pixels_(CapturePixels(nullptr, area)) {}

    // The pixel at a screen point inside the area.
    COLORREF At(int x, int y) const {
        return pixels_[static_cast<std::size_t>((y - area_.top) * (area_.right - area_.left) +
                                                (x - area_.left))];
    }
    int Count(COLORREF color) const { return CountPixels(pixels_, color); }
    int Size() const { return static_cast<int>(pixels_.size()); }
    // Columns from the leftmost to the rightmost pixel of a colour; 0 when there is none.
    int Span(COLORREF color) const {
        const int width = area_.right - area_.left;
        int first = width;
        int last = -1;
        for (std::size_t i = 0; i < pixels_.size(); ++i) {
            if (pixels_[i] == color) {
                const int column = static_cast<int>(i % static_cast<std::size_t>(width));
                first = std::min(first, column);
                last = std::max(last, column);
            }
        }
        return last >= first ? last - first + 1 : 0;
    }

private:
    RECT area_;
    std::vector<COLORREF> pixels_;
};

// Waits until the screen shows at least `atLeast` pixels of a colour inside the area
// (a window reaches the screen a moment after it painted).
bool WaitForPixels(const RECT& area, COLORREF color, int atLeast, DWORD timeoutMs = 3000) {
    return WaitUntil([&] { return ScreenPixels(area).Count(color) >= atLeast; }, timeoutMs);
}

// The area right of the links and the search box, where only the background shows.
RECT EmptyStripOf(HWND popup) {
    RECT client = ClientRectOnScreen(popup);
    return RECT{client.left + 211, client.top, client.right, client.bottom};
}

// ---------------------------------------------------------------------------
// A bitmap file tiled as the popup's background: 8 x 8 pixels, each of its own colour.
// ---------------------------------------------------------------------------
COLORREF PatternPixel(int x, int y) {
    return RGB(20 + 28 * x, 20 + 28 * y, (x + y) % 2 == 0 ? 60 : 200);
}

std::string PatternBitmapFile() {
    constexpr int kSide = 8;
    constexpr DWORD kPixelBytes = kSide * kSide * 3;  // rows of 24 bytes need no padding
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + kPixelBytes;
    header.biSize = sizeof header;
    header.biWidth = kSide;
    header.biHeight = kSide;  // bottom-up
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = kPixelBytes;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    for (int row = kSide - 1; row >= 0; --row) {
        for (int x = 0; x < kSide; ++x) {
            COLORREF color = PatternPixel(x, row);
            bytes.push_back(static_cast<char>(GetBValue(color)));
            bytes.push_back(static_cast<char>(GetGValue(color)));
            bytes.push_back(static_cast<char>(GetRValue(color)));
        }
    }
    return bytes;
}

// A file beside Vantapicker.exe for as long as the object lives.
class FileBesideProgram {
public:
    FileBesideProgram(const char* name, const std::string& bytes) {
        path_ = ProgramPath();
        path_.erase(path_.find_last_of('\\') + 1);
        path_ += name;
        written_ = WriteFileBytes(path_, bytes);
    }
    ~FileBesideProgram() { ::DeleteFileA(path_.c_str()); }
    FileBesideProgram(const FileBesideProgram&) = delete;
    FileBesideProgram& operator=(const FileBesideProgram&) = delete;
    bool Written() const { return written_; }

private:
    std::string path_;
    bool written_ = false;
};

// ---------------------------------------------------------------------------

TEST_F(Popup, HotKeyShowsItAtTheCursorWithTheSelectionAndTheFocusInTheSearchBox) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    EXPECT_FALSE(::IsWindowVisible(app.MainWindow()));
    SelectionFixture fixture("look me up");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();

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
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("order");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
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
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("keep me");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
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
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("clicked");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
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

// At the screen's DPI (the session's: 96, and 144 and 192 in the DPI runs) the popup and
// its links are the 96-DPI sizes scaled, every link's text fits its row, and the popup
// stays inside the work area at each corner.
TEST_F(Popup, ScaledForTheScreensDpiWithEveryLinkReadable) {
    const double scale = ::GetDeviceCaps(win::WindowDc(nullptr).Get(), LOGPIXELSY) / 96.0;
    // The text of a link as wide as the screen DPI's GUI font draws it; that font grows
    // with the DPI (11 pixels high at 96), so text left at its 96-DPI size falls short.
    LOGFONTA guiFont{};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof guiFont, &guiFont);
    ASSERT_GE(-guiFont.lfHeight, 10 * scale);
    auto textWidth = [](const std::string& text) {
        const win::WindowDc dc(nullptr);
        const win::SelectedObject font(dc.Get(), ::GetStockObject(DEFAULT_GUI_FONT));
        SIZE size{};
        ::GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("dpi");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    const RECT work = WorkAreaAt({400, 300});
    const POINT corners[] = {{work.left, work.top},
                             {work.right - 1, work.top},
                             {work.left, work.bottom - 1},
                             {work.right - 1, work.bottom - 1}};
    for (const POINT& cursor : corners) {
        SCOPED_TRACE(testing::Message()
                     << "scale " << scale << ", cursor " << cursor.x << "," << cursor.y);
        ASSERT_TRUE(ShowByHotKey(app, fixture, cursor, "dpi"));
        const RECT rect = WindowRectOf(app.MainWindow());
        EXPECT_GE(rect.left, work.left);
        EXPECT_GE(rect.top, work.top);
        EXPECT_LE(rect.right, work.right);
        EXPECT_LE(rect.bottom, work.bottom);
        const RECT client = ClientRectOnScreen(app.MainWindow());
        EXPECT_NEAR(rect.right - rect.left, 219 * scale + 2 * ::GetSystemMetrics(SM_CXBORDER), 1);
        EXPECT_NEAR(rect.bottom - rect.top,
                    ::GetSystemMetrics(SM_CYSMCAPTION) + 2 * ::GetSystemMetrics(SM_CYBORDER) +
                        (18 * 7 + 38) * scale,
                    1);

        const std::vector<HWND> links = LinksOf(app.MainWindow());
        ASSERT_EQ(links.size(), 7u);
        for (std::size_t i = 0; i < links.size(); ++i) {
            SCOPED_TRACE(i);
            const RECT link = WindowRectOf(links[i]);
            EXPECT_NEAR(link.top - client.top, (32 + 18 * static_cast<int>(i)) * scale, 1);
            EXPECT_NEAR(link.bottom - link.top, 16 * scale, 1);
            EXPECT_NEAR(link.right - link.left, 205 * scale, 1);
            // The text is drawn, and neither its last row nor its last column is reached:
            // a cut text would run into them.
            ASSERT_TRUE(WaitForPixels(link, kLinkBlue, 1));
            const RECT lastRow{link.left, link.bottom - 1, link.right, link.bottom};
            const RECT lastColumn{link.right - 1, link.top, link.right, link.bottom};
            EXPECT_EQ(ScreenPixels(lastRow).Count(kLinkBlue), 0);
            EXPECT_EQ(ScreenPixels(lastColumn).Count(kLinkBlue), 0);
            // The text grows with the DPI: its ink spans about its advance width in the
            // GUI font of this DPI (a few pixels more as the link draws it; half of it at
            // 192 DPI, and three quarters at 144, in the 96-DPI font).
            // With no choice stored the links are sites 0 to 6.
            const std::string& name = catalogue_.Find(static_cast<SiteId>(i))->name;
            const int expected = textWidth(name);
            const int drawn = ScreenPixels(link).Span(kLinkBlue);
            EXPECT_GE(drawn, expected * 85 / 100) << name;
            EXPECT_LE(drawn, expected * 125 / 100 + 2) << name;
        }
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
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();

    ASSERT_TRUE(ShowByHotKey(app, fixture, {work.left + 300, work.top + 400}, "tall"));
    RECT rect = WindowRectOf(app.MainWindow());
    EXPECT_EQ(rect.top, work.top);
    EXPECT_EQ(rect.left, work.left + 299);
    EXPECT_TRUE(WaitForFocus(app, EditOf(app)));
}

TEST_F(Popup, LinksAreDarkBlueBrownUnderTheRestingMouseAndHighlightedWithTheFocus) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("colours");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    ASSERT_TRUE(ShowByHotKey(app, fixture, {300, 200}, "colours"));
    std::vector<HWND> links = LinksOf(app.MainWindow());
    ASSERT_EQ(links.size(), 7u);
    const RECT first = WindowRectOf(links[0]);
    const RECT second = WindowRectOf(links[1]);

    // Everywhere the background colour, the letters of every link dark blue.
    const RECT strip = EmptyStripOf(app.MainWindow());
    ASSERT_TRUE(WaitUntil([&] {
        ScreenPixels pixels(strip);
        return pixels.Size() > 0 && pixels.Count(kBackground) == pixels.Size();
    })) << "background: "
        << ScreenPixels(strip).Count(kBackground) << " of " << ScreenPixels(strip).Size()
        << ", first " << std::hex << ScreenPixels(strip).At(strip.left, strip.top);
    for (HWND link : links) {
        EXPECT_TRUE(WaitForPixels(WindowRectOf(link), kLinkBlue, 20));
    }
    EXPECT_GT(ScreenPixels(first).Count(kBackground), ScreenPixels(first).Size() / 2);

    // The mouse rests on the second link: brown; the others stay dark blue.
    MoveMouseTo(CenterOf(links[1]));
    EXPECT_TRUE(WaitForPixels(second, kHoverBrown, 20));
    EXPECT_EQ(ScreenPixels(second).Count(kLinkBlue), 0);
    EXPECT_EQ(ScreenPixels(first).Count(kHoverBrown), 0);
    EXPECT_GT(ScreenPixels(first).Count(kLinkBlue), 20);

    // It moves on within the link, then to the first one: the second is dark blue
    // again, the first brown.
    MoveMouseTo({second.left + 3, (second.top + second.bottom) / 2});
    MoveMouseTo(CenterOf(links[0]));
    EXPECT_TRUE(WaitForPixels(first, kHoverBrown, 20));
    EXPECT_TRUE(WaitForPixels(second, kLinkBlue, 20));
    EXPECT_EQ(ScreenPixels(second).Count(kHoverBrown), 0);

    // It leaves the links: dark blue again.
    MoveMouseTo({strip.left + 2, strip.top + 2});
    EXPECT_TRUE(WaitForPixels(first, kLinkBlue, 20));
    EXPECT_EQ(ScreenPixels(first).Count(kHoverBrown), 0);

    // The focus on the first link: a band of the selection colour; back in the search
    // box, the band goes.
    const COLORREF band = ::GetSysColor(COLOR_HIGHLIGHT);
    ASSERT_NE(band, kBackground);
    EXPECT_EQ(ScreenPixels(first).Count(band), 0);
    PressKeys({}, VK_TAB);
    ASSERT_TRUE(WaitForFocus(app, links[0]));
    EXPECT_TRUE(WaitForPixels(first, band, 100));
    EXPECT_EQ(ScreenPixels(first).Count(kLinkBlue), 0);
    PressKeys({VK_SHIFT}, VK_TAB);
    ASSERT_TRUE(WaitForFocus(app, EditOf(app)));
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixels(first).Count(band) == 0; }));
    EXPECT_GT(ScreenPixels(first).Count(kLinkBlue), 20);
}

TEST_F(Popup, BackgroundBitmapBesideTheProgramIsTiled) {
    FileBesideProgram bitmap("Background.bmp", PatternBitmapFile());
    ASSERT_TRUE(bitmap.Written());
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("tiled");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    ASSERT_TRUE(ShowByHotKey(app, fixture, {300, 200}, "tiled"));

    const RECT client = ClientRectOnScreen(app.MainWindow());
    const RECT strip = EmptyStripOf(app.MainWindow());
    auto tiled = [&] {
        ScreenPixels pixels(strip);
        if (pixels.Size() == 0) {
            return false;
        }
        for (int y = strip.top; y < strip.bottom; ++y) {
            for (int x = strip.left; x < strip.right; ++x) {
                if (pixels.At(x, y) != PatternPixel((x - client.left) % 8, (y - client.top) % 8)) {
                    return false;
                }
            }
        }
        return true;
    };
    EXPECT_TRUE(WaitUntil(tiled));
    // Between and around the letters too; the plain colour shows nowhere.
    std::vector<HWND> links = LinksOf(app.MainWindow());
    ASSERT_FALSE(links.empty());
    EXPECT_TRUE(WaitForPixels(WindowRectOf(links[0]), kLinkBlue, 20));
    ScreenPixels link(WindowRectOf(links[0]));
    EXPECT_GT(link.Count(PatternPixel(3, 3)), 0);
    EXPECT_EQ(ScreenPixels(client).Count(kBackground), 0);
}

TEST_F(Popup, LinkTextOf255BytesIsShownAndOf256IsBlankButStillOpens) {
    SiteCatalogue catalogue;
    // The link text is a bullet, a blank and the name.
    catalogue.Insert(0,
                     SiteRecord{"Shown " + std::string(247, 'H'), "https://long.example/shown?q="});
    catalogue.Insert(1,
                     SiteRecord{"Blank " + std::string(248, 'H'), "https://long.example/blank?q="});
    ASSERT_EQ(catalogue.Find(0)->name.size(), 253u);
    ASSERT_EQ(catalogue.Find(1)->name.size(), 254u);
    ASSERT_TRUE(WriteFileBytes(SystemSiteListPath(),
                               Encrypted(FormatSiteList(catalogue, {{"Long names"}}))));

    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("long names");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    ASSERT_TRUE(ShowByHotKey(app, fixture, {300, 200}, "long names"));
    std::vector<HWND> links = LinksOf(app.MainWindow());
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(WindowRectOf(app.MainWindow()).bottom - WindowRectOf(app.MainWindow()).top,
              PopupHeight(2));

    EXPECT_TRUE(WaitForPixels(WindowRectOf(links[0]), kLinkBlue, 20));
    ScreenPixels blank(WindowRectOf(links[1]));
    EXPECT_EQ(blank.Count(kLinkBlue), 0);
    EXPECT_EQ(blank.Count(kBackground), blank.Size());

    PressKeys({}, VK_DOWN);
    PressKeys({}, VK_DOWN);
    ASSERT_TRUE(WaitForFocus(app, links[1]));
    PressKeys({}, VK_RETURN);
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], "https://long.example/blank?q=long names");
    ClickAt(CenterOf(links[0]), 0);
    ASSERT_TRUE(recorder_.WaitForUrls(2));
    EXPECT_EQ(recorder_.Urls()[1], "https://long.example/shown?q=long names");
}

// ---------------------------------------------------------------------------
// Themes and screen readers
// ---------------------------------------------------------------------------

constexpr char kPersonalizeKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr COLORREF kDarkBackgroundColor = ColorOf(kDarkBackground);
constexpr COLORREF kDarkLinkColor = ColorOf(kDarkLinkText);

// The apps' mode of the test user (1 light, 0 dark), put back as it was at the end.
struct AppsMode {
    const std::optional<std::uint32_t> saved = ReadTestDword(kPersonalizeKey, "AppsUseLightTheme");
    void Set(std::uint32_t light) { WriteTestDword(kPersonalizeKey, "AppsUseLightTheme", light); }
    ~AppsMode() {
        if (saved) {
            Set(*saved);
        } else {
            ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kPersonalizeKey, "AppsUseLightTheme");
        }
    }
};

DWORD_PTR Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &answer);
    return answer;
}

// Wine cannot switch high contrast on: what the popup shows in it is the palette's (unit
// tests); here its message is followed like the others.
TEST_F(Popup, ThemeFollowsTheSettingMessagesAndTheLightLookComesBackPixelForPixel) {
    AppsMode mode;
    mode.Set(1);
    FileBesideProgram bitmap("Background.bmp", PatternBitmapFile());
    ASSERT_TRUE(bitmap.Written());
    RunningApp app;
    SelectionFixture fixture("dark");
    ASSERT_TRUE(ShowByHotKey(app, fixture, {300, 200}, "dark"));
    const std::vector<HWND> links = LinksOf(app.MainWindow());
    ASSERT_EQ(links.size(), 7u);
    RECT area = ClientRectOnScreen(app.MainWindow());  // under the search box's caret
    area.top = WindowRectOf(links[0]).top;
    ASSERT_TRUE(WaitForPixels(WindowRectOf(links.back()), kLinkBlue, 20));
    const std::vector<COLORREF> light = CapturePixels(nullptr, area);
    ASSERT_GT(CountPixels(light, PatternPixel(3, 3)), 0);
    const RECT strip = EmptyStripOf(app.MainWindow());
    const int stripPixels = ScreenPixels(strip).Size();

    // What Windows sends every window when the apps turn dark: the palette's background
    // without the bitmap, its link and search box colours.
    mode.Set(0);
    Send(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("ImmersiveColorSet"));
    EXPECT_TRUE(WaitForPixels(strip, kDarkBackgroundColor, stripPixels));
    for (HWND link : links) {
        EXPECT_TRUE(WaitForPixels(WindowRectOf(link), kDarkLinkColor, 20));
        EXPECT_EQ(ScreenPixels(WindowRectOf(link)).Count(kLinkBlue), 0);
    }
    EXPECT_EQ(ScreenPixels(area).Count(PatternPixel(3, 3)), 0);
    EXPECT_GT(ScreenPixels(WindowRectOf(app.SearchBox())).Count(ColorOf(kDarkSearchBackground)),
              100);
    // Light again, after a change of the system's colours: exactly what it was.
    mode.Set(1);
    Send(app.MainWindow(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return CapturePixels(nullptr, area) == light; }));

    // A setting changed without its message: painting again changes nothing. Then high
    // contrast's message.
    mode.Set(0);
    ::InvalidateRect(app.MainWindow(), nullptr, FALSE);
    PumpMessagesFor(300);
    EXPECT_TRUE(CapturePixels(nullptr, area) == light);
    Send(app.MainWindow(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_TRUE(WaitForPixels(strip, kDarkBackgroundColor, stripPixels));
    EXPECT_TRUE(WaitForPixels(WindowRectOf(links[0]), kDarkLinkColor, 20));
}

std::string Narrow(BSTR text) {
    const std::string narrow(text, text + ::SysStringLen(text));  // ASCII
    ::SysFreeString(text);
    return narrow;
}

TEST_F(Popup, ScreenReadersMeetLinksNamedByTheirSitesWhoseDefaultActionOpensThem) {
    using ObjectFromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    const auto objectFromWindow =
        win::SystemFunction<ObjectFromWindow>("oleacc.dll", "AccessibleObjectFromWindow");
    ASSERT_NE(objectFromWindow, nullptr);
    ::CoInitialize(nullptr);
    RunningApp app;
    SelectionFixture fixture("read aloud");
    ASSERT_TRUE(ShowByHotKey(app, fixture, {300, 200}, "read aloud"));
    const std::vector<HWND> links = LinksOf(app.MainWindow());
    ASSERT_EQ(links.size(), 7u);
    PressKeys({}, VK_TAB);
    PressKeys({}, VK_TAB);
    ASSERT_TRUE(WaitForFocus(app, links[1]));

    VARIANT self{};
    self.vt = VT_I4;  // CHILDID_SELF
    for (std::size_t i = 0; i < links.size(); ++i) {
        SCOPED_TRACE(i);
        IAccessible* link = nullptr;
        ASSERT_EQ(objectFromWindow(links[i], static_cast<DWORD>(OBJID_CLIENT), kAccessibleIid,
                                   reinterpret_cast<void**>(&link)),
                  S_OK);
        VARIANT role{}, state{};
        BSTR name = nullptr, action = nullptr;
        link->get_accRole(self, &role);
        link->get_accState(self, &state);
        link->get_accName(self, &name);
        link->get_accDefaultAction(self, &action);
        EXPECT_EQ(role.lVal, ROLE_SYSTEM_LINK);
        // With no choice stored the links are sites 0 to 6; the second has the focus.
        EXPECT_EQ(Narrow(name), catalogue_.Find(static_cast<SiteId>(i))->name);
        EXPECT_EQ(Narrow(action), "Open");
        EXPECT_EQ(state.lVal & (STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED),
                  STATE_SYSTEM_FOCUSABLE | (i == 1 ? STATE_SYSTEM_FOCUSED : 0));
        if (i == 3) {  // its site opens, as with a click
            EXPECT_EQ(link->accDoDefaultAction(self), S_OK);
            ASSERT_TRUE(recorder_.WaitForUrls(1));
            EXPECT_EQ(recorder_.Urls()[0], UrlOf(3) + "read aloud");
        }
        link->Release();
    }
    ::CoUninitialize();
}

// ---------------------------------------------------------------------------
// The notification-area icon and its menu
// ---------------------------------------------------------------------------

TEST_F(Popup, TrayDoubleClickAndKeyboardSelectShowItAtTheCursorWithAnEmptySearchBox) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("not taken");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    app.SetSearchText("stale");

    ::SetCursorPos(450, 350);
    ::PostMessageA(app.MainWindow(), kTrayNotify, 1, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return InFront(app, fixture); })) << State(app);
    EXPECT_EQ(app.SearchText(), "");
    RECT rect = WindowRectOf(app.MainWindow());
    EXPECT_EQ(rect.left, 449);
    EXPECT_EQ(rect.top, 349);
    EXPECT_TRUE(WaitForFocus(app, EditOf(app)));

    // Enter with the empty text opens the default site's URL alone.
    PressKeys({}, VK_RETURN);
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], UrlOf(0));
    EXPECT_EQ(app.SearchText(), "");

    // Enter or Space on the icon does what the double click does; its event is of version
    // 4, carrying the place and id. (Which event does what is the tray events' table.)
    PressKeys({}, VK_ESCAPE);
    ASSERT_TRUE(WaitForHidden(app));
    app.SetSearchText("stale");
    ASSERT_TRUE(BringForward(fixture));
    ::PostMessageA(app.MainWindow(), kTrayNotify, MAKEWPARAM(12, 31), MAKELPARAM(NIN_KEYSELECT, 1));
    ASSERT_TRUE(WaitUntil([&] { return InFront(app, fixture); })) << State(app);
    EXPECT_EQ(app.SearchText(), "");
    EXPECT_EQ(WindowRectOf(app.MainWindow()).left, 449);
}

TEST_F(Popup, OpenPopupWindowItemShowsItWithAnEmptySearchBoxDespiteASelection) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("selected elsewhere");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    app.SetSearchText("stale");

    ::SetCursorPos(500, 400);
    ASSERT_NE(app.OpenTrayMenu(), nullptr);
    PressKeys({}, VK_DOWN);  // the first item
    PressKeys({}, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(app.MainWindow()) != FALSE; }));
    EXPECT_EQ(app.SearchText(), "");
    RECT rect = WindowRectOf(app.MainWindow());
    EXPECT_EQ(rect.left, 499);
    EXPECT_EQ(rect.top, 399);
    EXPECT_EQ(rect.bottom - rect.top, PopupHeight(7));
    PumpMessagesFor(500);  // nothing is captured later either
    EXPECT_EQ(app.SearchText(), "");
    EXPECT_EQ(fixture.Text(), "selected elsewhere");
    EXPECT_TRUE(recorder_.Urls().empty());
}

TEST_F(Popup, DismissedTrayMenuDoesNothing) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    app.SetSearchText("kept");
    ASSERT_NE(app.OpenTrayMenu(), nullptr);
    PressKeys({}, VK_ESCAPE);
    ASSERT_TRUE(WaitForNoMenu());
    PumpMessagesFor(300);
    EXPECT_EQ(FindTopLevelWindow("#32770", nullptr, kVisibleWindows), nullptr);
    EXPECT_TRUE(app.Process().IsRunning());
    EXPECT_FALSE(::IsWindowVisible(app.MainWindow()));
    EXPECT_EQ(CountTopLevelWindows("#32770", kAboutTitle), 0);
    EXPECT_EQ(app.SearchText(), "kept");
    EXPECT_FALSE(HotKeyIsFree(MOD_CONTROL, VK_F1));  // still active
    EXPECT_TRUE(recorder_.Urls().empty());
}

TEST_F(Popup, DeactivateStopsEveryTriggerActivateRestoresThemAndExitStoresTheState) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    ASSERT_TRUE(TrayIconExists(app.MainWindow()));
    SelectionFixture fixture("trigger text");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    const POINT center = CenterOf(fixture.Edit());
    const std::vector<COLORREF> activeIcon = TrayPixels();
    EXPECT_EQ(TrayTip(), VP_TEXT_TIP_ACTIVE);

    Choose(app, 'd');
    EXPECT_TRUE(WaitUntil([] { return HotKeyIsFree(MOD_CONTROL, VK_F1); }));
    EXPECT_TRUE(WaitUntil([&] { return app.HookHost32() == 0; })) << "the 32-bit hook stayed";
    EXPECT_TRUE(TrayPixels() != activeIcon) << "the icon did not change";
    EXPECT_EQ(TrayTip(), VP_TEXT_TIP_INACTIVE);
    EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL, VK_F2));
    ASSERT_TRUE(BringForward(fixture));
    app.SetSearchText("unchanged");
    fixture.ResetCounts();
    PressKeys({VK_CONTROL}, VK_F1);
    PressKeys({VK_CONTROL}, VK_F2);
    ClickAt(center, 1, {VK_CONTROL});
    ClickAt(center, 0, {VK_CONTROL, VK_SHIFT});
    PumpMessagesFor(1500);
    EXPECT_TRUE(recorder_.Urls().empty());
    EXPECT_EQ(app.SearchText(), "unchanged");
    EXPECT_FALSE(::IsWindowVisible(app.MainWindow()));
    EXPECT_EQ(fixture.ClickCount(WM_RBUTTONDOWN), 1);  // the gestures' clicks went through
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 1);
    EXPECT_TRUE(TrayIconExists(app.MainWindow()));

    Choose(app, 'a');
    EXPECT_FALSE(HotKeyIsFree(MOD_CONTROL, VK_F1));
    if (FixtureBitness() == 32) {  // the 32-bit hook is back with its host
        ASSERT_NE(app.WaitForHookHost32(), 0u);
    }
    EXPECT_TRUE(TrayPixels() == activeIcon) << "the first icon did not come back";
    EXPECT_EQ(TrayTip(), VP_TEXT_TIP_ACTIVE);
    ASSERT_TRUE(BringForward(fixture));
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], UrlOf(0) + "trigger text");
    fixture.ResetCounts();
    ClickAt(center, 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(recorder_.WaitForUrls(2));
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 0);

    // Exit keeps the state it ends in and the history, and ends with 0.
    Choose(app, 'd');
    ASSERT_TRUE(WaitUntil([] { return HotKeyIsFree(MOD_CONTROL, VK_F1); }));
    ASSERT_TRUE(ExitsWithZero(app));
    EXPECT_EQ(ReadTestDword(kSettingsKey, "ActiveState"), std::optional<std::uint32_t>(0));
    EXPECT_EQ(StoredHistory(), std::vector<std::string>{"trigger text"});
}

TEST_F(Popup, TaskbarRestartPutsTheIconBack) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    ASSERT_TRUE(WaitUntil([&] { return TrayIconExists(app.MainWindow()); }));

    // The task bar forgot the icon, then announces its restart.
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = app.MainWindow();
    data.uID = 1;
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &data));
    ASSERT_FALSE(TrayIconExists(app.MainWindow()));
    const UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    ASSERT_NE(taskbarCreated, 0u);
    ::PostMessageA(app.MainWindow(), taskbarCreated, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(app.MainWindow()); }));

    // Announced while the icon is there: still one icon, and the program goes on.
    DWORD_PTR answer = 0;
    EXPECT_TRUE(
        ::SendMessageTimeoutA(app.MainWindow(), taskbarCreated, 0, 0, SMTO_BLOCK, 5000, &answer));
    EXPECT_TRUE(app.Process().IsRunning());
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &data));
    EXPECT_FALSE(TrayIconExists(app.MainWindow()));
}

TEST_F(Popup, EndOfSessionStoresHistoryAndStateWhileTheProgramGoesOn) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("session words");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    Choose(app, 'd');
    ASSERT_TRUE(WaitUntil([] { return HotKeyIsFree(MOD_CONTROL, VK_F1); }));

    DWORD_PTR answer = 0;
    // The session goes on after all: nothing stored.
    ASSERT_TRUE(::SendMessageTimeoutA(app.MainWindow(), WM_ENDSESSION, FALSE, 0, SMTO_BLOCK, 5000,
                                      &answer));
    EXPECT_EQ(ReadTestDword(kSettingsKey, "ActiveState"), std::nullopt);
    EXPECT_TRUE(StoredHistory().empty());

    ASSERT_TRUE(
        ::SendMessageTimeoutA(app.MainWindow(), WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 5000, &answer));
    EXPECT_EQ(ReadTestDword(kSettingsKey, "ActiveState"), std::optional<std::uint32_t>(0));
    EXPECT_EQ(StoredHistory(), std::vector<std::string>{"session words"});

    PumpMessagesFor(300);
    EXPECT_TRUE(app.Process().IsRunning());
    ASSERT_TRUE(BringForward(fixture));
    ::PostMessageA(app.MainWindow(), kTrayNotify, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitUntil([&] { return InFront(app, fixture); })) << State(app);
}

TEST_F(Popup, AboutItemOpensOneBoxThatEscOkAndTheCloseButtonEachClose) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    auto openAbout = [&app]() -> HWND {
        if (!app.ChooseTrayMenuItem('b')) {
            return nullptr;
        }
        HWND box = nullptr;
        WaitUntil([&] {
            return (box = FindTopLevelWindow("#32770", kAboutTitle, kVisibleWindows)) != nullptr;
        });
        return box;
    };

    HWND box = openAbout();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(CountTopLevelWindows("#32770", kAboutTitle), 1);
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == box; }));
    // Chosen again while it is open: the same box, no second one.
    ASSERT_TRUE(app.ChooseTrayMenuItem('b'));
    ASSERT_TRUE(WaitForNoMenu());
    PumpMessagesFor(500);
    EXPECT_EQ(CountTopLevelWindows("#32770", kAboutTitle), 1);
    EXPECT_EQ(FindTopLevelWindow("#32770", kAboutTitle, kVisibleWindows), box);
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == box; }));

    PressKeys({}, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return CountTopLevelWindows("#32770", kAboutTitle) == 0; }));
    EXPECT_TRUE(app.Process().IsRunning());

    box = openAbout();
    ASSERT_NE(box, nullptr);
    HWND ok = ::GetDlgItem(box, IDOK);
    ASSERT_NE(ok, nullptr);
    ClickAt(CenterOf(ok), 0);
    EXPECT_TRUE(WaitUntil([&] { return CountTopLevelWindows("#32770", kAboutTitle) == 0; }));
    EXPECT_TRUE(app.Process().IsRunning());

    box = openAbout();
    ASSERT_NE(box, nullptr);
    // What the close button sends (under Wine a synthetic click on a drawn close button
    // closes no window, not even a plain one).
    ::PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return CountTopLevelWindows("#32770", kAboutTitle) == 0; }));
    EXPECT_TRUE(app.Process().IsRunning());
    EXPECT_TRUE(ExitsWithZero(app));
}

}  // namespace
}  // namespace vp
