// The helper programs see what the tests of Vantapicker.exe rely on: a selection that
// Ctrl+Insert copies byte for byte, a paste told apart from a copy, every click counted,
// and the URL that the shell opened, unchanged.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/win/Fixtures.h"

namespace vp {
namespace {

// 300 bytes with what tends to get lost on the way: tabs, quotes, a line break, and
// blanks at both ends.
std::string AwkwardText() {
    std::string text = "  Vantapicker \"quoted words\"\tafter a tab & more;\r\nsecond line #2 % + ";
    for (char c = 'a'; text.size() < 297; c = c == 'z' ? 'a' : static_cast<char>(c + 1)) {
        text += c;
    }
    text += "   ";
    return text;
}

// The selection of an edit control of another process, as (start, end).
// Pointers do not cross processes, so the packed result is used.
std::pair<int, int> SelectionOf(HWND edit) {
    LRESULT packed = ::SendMessageA(edit, EM_GETSEL, 0, 0);
    return {LOWORD(packed), HIWORD(packed)};
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) {
        joined += "[" + line + "] ";
    }
    return joined;
}

// Reads the default value of a key below HKEY_CLASSES_ROOT ("<missing>" without one).
std::string ClassesDefault(const char* path) {
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    if (::RegGetValueA(HKEY_CLASSES_ROOT, path, nullptr,
                       RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, data,
                       &size) != ERROR_SUCCESS) {
        return "<missing>";
    }
    return data;
}

TEST(Fixtures, SelectionIsInTheForegroundAndCtrlInsertCopiesItExactly) {
    const std::string text = AwkwardText();
    ASSERT_EQ(text.size(), 300u);
    EmptyClipboardNow();
    SelectionFixture fixture(text);
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    EXPECT_EQ(::GetForegroundWindow(), fixture.Window());
    EXPECT_EQ(fixture.Text(), text);
    EXPECT_EQ(SelectionOf(fixture.Edit()), std::make_pair(0, 300));
    ASSERT_EQ(ClipboardText(), std::nullopt);

    const DWORD sequence = ::GetClipboardSequenceNumber();
    PressKeys({VK_CONTROL}, VK_INSERT);
    EXPECT_TRUE(WaitForClipboardText(text, 5000))
        << "clipboard: " << ClipboardText().value_or("<no text>") << ", changed "
        << ::GetClipboardSequenceNumber() - sequence
        << " times; still in the foreground: " << (::GetForegroundWindow() == fixture.Window());
    EXPECT_EQ(::GetAsyncKeyState(VK_CONTROL) & 0x8000, 0) << "Ctrl stayed down";
    EXPECT_EQ(::GetAsyncKeyState(VK_INSERT) & 0x8000, 0) << "Insert stayed down";
    EXPECT_FALSE(fixture.WasPasted());
    EXPECT_EQ(fixture.Text(), text);
    EXPECT_EQ(fixture.InsertPresses(), 1);
    fixture.ResetCounts();
    EXPECT_EQ(fixture.InsertPresses(), 0);
}

TEST(Fixtures, ShiftInsertPastesAndIsToldFromACopy) {
    SelectionFixture fixture("selected words");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    ASSERT_TRUE(SetClipboardText("pasted"));
    EXPECT_FALSE(fixture.WasPasted());

    PressKeys({VK_SHIFT}, VK_INSERT);
    EXPECT_TRUE(fixture.WasPasted());
    EXPECT_EQ(fixture.Text(), "pasted");

    fixture.ResetCounts();
    EXPECT_FALSE(fixture.WasPasted());
}

TEST(Fixtures, ClicksOnTheSelectionAreCountedPerMessage) {
    SelectionFixture fixture("some selected words");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    const POINT center = CenterOf(fixture.Edit());
    ASSERT_EQ(::WindowFromPoint(center), fixture.Edit());

    ClickAt(center, 1);
    EXPECT_EQ(fixture.ClickCount(WM_RBUTTONDOWN), 1);
    EXPECT_EQ(fixture.ClickCount(WM_RBUTTONUP), 1);
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 0);

    // With modifiers held, as the gestures are made; a middle click too.
    ClickAt(center, 0, {VK_CONTROL, VK_SHIFT});
    ClickAt({center.x + 40, center.y}, 2, {VK_CONTROL});
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 1);
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONUP), 1);
    EXPECT_EQ(fixture.ClickCount(WM_MBUTTONDOWN), 1);
    EXPECT_EQ(fixture.ClickCount(WM_MBUTTONUP), 1);
    EXPECT_EQ(fixture.ClickCount(WM_RBUTTONDOWN), 1);
    EXPECT_EQ(::GetAsyncKeyState(VK_CONTROL) & 0x8000, 0) << "a modifier stayed down";
    EXPECT_EQ(::GetAsyncKeyState(VK_SHIFT) & 0x8000, 0) << "a modifier stayed down";

    // The clicks neither moved the selection nor opened a menu, so it still copies.
    EXPECT_EQ(SelectionOf(fixture.Edit()), std::make_pair(0, 19));
    EXPECT_EQ(::GetForegroundWindow(), fixture.Window());

    fixture.ResetCounts();
    EXPECT_EQ(fixture.ClickCount(WM_RBUTTONDOWN), 0);
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONUP), 0);
}

TEST(Fixtures, ShellExecuteOfAUrlIsRecordedUnchanged) {
    const std::string httpsBefore = ClassesDefault("https\\shell\\open\\command");
    const std::string httpBefore = ClassesDefault("http\\shell\\open\\command");
    const std::vector<std::string> urls = {
        "https://example.test/?q=a b&c#d",
        "https://example.test/search?q=%22exact+phrase%22&n=100%",
        "http://example.test/plain",
    };
    {
        UrlRecorder recorder;
        ASSERT_TRUE(recorder.Ready());
        for (size_t i = 0; i < urls.size(); ++i) {
            HINSTANCE result =
                ::ShellExecuteA(nullptr, "open", urls[i].c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            EXPECT_GT(reinterpret_cast<INT_PTR>(result), 32) << urls[i];
            // One at a time, so the log's order is the order of opening.
            EXPECT_TRUE(recorder.WaitForUrls(i + 1, 10000)) << urls[i];
        }
        EXPECT_EQ(recorder.Urls(), urls) << "command lines: " << Joined(recorder.CommandLines());
    }
    EXPECT_EQ(ClassesDefault("https\\shell\\open\\command"), httpsBefore);
    EXPECT_EQ(ClassesDefault("http\\shell\\open\\command"), httpBefore);
}

}  // namespace
}  // namespace vp
