// What the real Vantapicker.exe's popup shows, read back from the screen: its size at the
// screen's DPI, its colours, its background bitmap, its themes, and what screen readers
// meet.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "popup/LinkAccessible.h"
#include "popup/PopupTheme.h"
#include "sites/SiteListFile.h"
#include "sites/SiteListFormat.h"
#include "tests/win/Fixtures.h"
#include "tests/win/PopupFixture.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"
#include "tests/win/WindowSearch.h"
#include "win/SystemFunction.h"

namespace vp {
namespace {

constexpr COLORREF kLinkBlue = RGB(0, 20, 140);
constexpr COLORREF kHoverBrown = RGB(180, 80, 0);
constexpr COLORREF kBackground = RGB(255, 250, 240);

class PopupLook : public Popup {};

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

// At the screen's DPI (the session's: 96, and 144 and 192 in the DPI runs) the popup and
// its links are the 96-DPI sizes scaled, every link's text fits its row, and the popup
// stays inside the work area at each corner.
TEST_F(PopupLook, ScaledForTheScreensDpiWithEveryLinkReadable) {
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

TEST_F(PopupLook, LinksAreDarkBlueBrownUnderTheRestingMouseAndHighlightedWithTheFocus) {
    RunningApp app;
    SelectionFixture fixture("colours");
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

TEST_F(PopupLook, BackgroundBitmapBesideTheProgramIsTiled) {
    FileBesideProgram bitmap("Background.bmp", PatternBitmapFile());
    ASSERT_TRUE(bitmap.Written());
    RunningApp app;
    SelectionFixture fixture("tiled");
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

TEST_F(PopupLook, LinkTextOf255BytesIsShownAndOf256IsBlankButStillOpens) {
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
    SelectionFixture fixture("long names");
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
TEST_F(PopupLook, ThemeFollowsTheSettingMessagesAndTheLightLookComesBackPixelForPixel) {
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

TEST_F(PopupLook, ScreenReadersMeetLinksNamedByTheirSitesWhoseDefaultActionOpensThem) {
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

}  // namespace
}  // namespace vp
