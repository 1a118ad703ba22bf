// Selections that the ANSI code page (1252 here) cannot hold, and sites whose URL takes
// the text in place of "{q}": driven from outside with the fixture application and the
// recorder, as a user would.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/RegistryKeys.h"
#include "sites/SiteListFile.h"
#include "sites/SiteListFormat.h"
#include "tests/win/Fixtures.h"
#include "tests/win/Protocol.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"
#include "tests/win/WindowSearch.h"
#include "win/Registry.h"

namespace vp {
namespace {

const char kJapanese[] = "\xEF\xBB\xBF日本語 テスト";  // UTF-8 with its byte order mark
const char kEmoji[] = "\xEF\xBB\xBFsmile \xF0\x9F\x98\x80 ok";

std::wstring FromUtf8(std::string utf8) {
    if (utf8.rfind("\xEF\xBB\xBF", 0) == 0) {
        utf8.erase(0, 3);
    }
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                              static_cast<int>(wide.size()))));
    return wide;
}

std::string WithoutMark(const char* utf8) {
    return std::string(utf8).substr(3);
}

// The search box's edit field as Unicode (read across processes).
std::wstring WideSearchText(const RunningApp& app) {
    auto edit = reinterpret_cast<HWND>(::SendMessageW(app.SearchBox(), CBEM_GETEDITCONTROL, 0, 0));
    wchar_t text[300] = {};
    ::SendMessageW(edit, WM_GETTEXT, 300, reinterpret_cast<LPARAM>(text));
    return text;
}

// A stored history value read with the wide functions, with its type.
std::wstring StoredWide(int position, DWORD* type) {
    wchar_t text[300] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kHistoryKey, KEY_READ);
    const std::wstring name = std::to_wstring(position);
    if (!key || ::RegQueryValueExW(key.Get(), name.c_str(), nullptr, type,
                                   reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    return text;
}

class WideSearch : public RecordedSearchTest {};

TEST_F(WideSearch, ForeignScriptAndEmojiReachSearchBoxSiteAndHistoryIntact) {
    {
        WriteTestDword(kSettingsKey, "ReadSelectionDirectly", 0);  // copied first
        RunningApp app;
        ASSERT_TRUE(app.Ready());
        SelectionFixture japanese(kJapanese);
        ASSERT_TRUE(japanese.Ready()) << japanese.Problem();
        PressKeys({VK_CONTROL}, VK_F1);
        EXPECT_TRUE(WaitUntil([&] { return WideSearchText(app) == FromUtf8(kJapanese); }))
            << "search box holds " << app.SearchText();
        ::SendMessageA(japanese.Window(), test::selection_fixture::kComeForward, 0, 0);
        PressKeys({VK_CONTROL}, VK_F2);
        ASSERT_TRUE(recorder_.WaitForUrls(1));
        SelectionFixture emoji(kEmoji);
        ASSERT_TRUE(emoji.Ready()) << emoji.Problem();
        PressKeys({VK_CONTROL}, VK_F2);
        ASSERT_TRUE(recorder_.WaitForUrls(2));
        const std::vector<std::string> urls = recorder_.Utf8Urls();
        ASSERT_EQ(urls.size(), 2u);
        EXPECT_EQ(urls[0], defaultUrl_ + WithoutMark(kJapanese));
        EXPECT_EQ(urls[1], defaultUrl_ + WithoutMark(kEmoji));
        ASSERT_EQ(app.ExitThroughTrayMenu(), 0);
    }
    DWORD type = 0;
    EXPECT_EQ(StoredWide(0, &type), FromUtf8(kEmoji));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(StoredWide(1, &type), FromUtf8(kJapanese));

    // After a restart the entries are loaded and stored again unchanged behind a new one.
    // The selection is now read without the clipboard, to the same wide text.
    WriteTestDword(kSettingsKey, "ReadSelectionDirectly", 1);
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    {
        SelectionFixture japanese(kJapanese);
        ASSERT_TRUE(japanese.Ready()) << japanese.Problem();
        PressKeys({VK_CONTROL}, VK_F1);
        EXPECT_TRUE(WaitUntil([&] { return WideSearchText(app) == FromUtf8(kJapanese); }))
            << "search box holds " << app.SearchText();
        EXPECT_EQ(japanese.InsertPresses(), 0);
    }
    SelectionFixture plain("plain");
    ASSERT_TRUE(plain.Ready()) << plain.Problem();
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(3));
    ASSERT_EQ(app.ExitThroughTrayMenu(), 0);
    EXPECT_EQ(StoredHistory().at(0), "plain");
    EXPECT_EQ(StoredWide(1, &type), FromUtf8(kEmoji));
    EXPECT_EQ(StoredWide(2, &type), FromUtf8(kJapanese));
}

TEST_F(WideSearch, TextTheCodePageHoldsKeepsItsAnsiBytes) {
    WriteTestDword(kSettingsKey, "ReadSelectionDirectly", 0);  // the applications' own copies
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    const std::string text = "caf\xE9 \x80 & co";  // Windows-1252: é and the euro sign
    SelectionFixture fixture(text);
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], defaultUrl_ + text);

    // An application's own ANSI text (another code page's, or its own replacement of
    // every non-ASCII character) is not what was selected: the Unicode text decides.
    SelectionFixture ownAnsi("\xEF\xBB\xBFM\xC3\xBCller", {.ownAnsiCopy = true});
    ASSERT_TRUE(ownAnsi.Ready()) << ownAnsi.Problem();
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(2));
    EXPECT_EQ(ClipboardText(), std::optional<std::string>("M?ller"));
    EXPECT_EQ(recorder_.Urls()[1], defaultUrl_ + "M\xFCller");
    ASSERT_EQ(app.ExitThroughTrayMenu(), 0);
    EXPECT_EQ(StoredHistory(), (std::vector<std::string>{"M\xFCller", text}));
}

TEST_F(WideSearch, PlaceholderSitesGetTheTextPercentEncodedInTheMiddle) {
    SiteCatalogue catalogue;
    catalogue.Insert(0, SiteRecord{"Translate", "https://example.org/t?text={q}&lang=en"});
    ASSERT_TRUE(
        WriteFileBytes(SystemSiteListPath(), Encrypted(FormatSiteList(catalogue, {{"Test"}}))));

    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture ansi("AT&T C++ 100%");
    ASSERT_TRUE(ansi.Ready()) << ansi.Problem();
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    SelectionFixture wide(kJapanese);
    ASSERT_TRUE(wide.Ready()) << wide.Problem();
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(2));
    EXPECT_EQ(recorder_.Urls(),
              (std::vector<std::string>{
                  "https://example.org/t?text=AT%26T%20C%2B%2B%20100%25&lang=en",
                  "https://example.org/t?text=%E6%97%A5%E6%9C%AC%E8%AA%9E%20%E3%83%86%E3%82%B9%E3%"
                  "83%88&lang=en"}));
}

}  // namespace
}  // namespace vp
