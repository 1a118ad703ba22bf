// "Keep my clipboard as it was": the clipboard before a trigger comes back after the
// capture, unless the user copied something meanwhile; without the option the selection
// stays on the clipboard.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/RegistryKeys.h"
#include "tests/win/Fixtures.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"
#include "tests/win/WindowSearch.h"

namespace vp {
namespace {

const char kPrivateFormat[] = "Vantapicker Test Private";
const char kPrivateBytes[] = "private\0bytes";

HGLOBAL Block(const void* data, std::size_t size) {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(::GlobalLock(block), data, size);
    ::GlobalUnlock(block);
    return block;
}

// A text and a private format, as an application that copies rich data leaves them.
bool SetTextAndPrivateFormat() {
    if (!::OpenClipboard(nullptr)) {
        return false;
    }
    ::EmptyClipboard();
    ::SetClipboardData(CF_TEXT, Block("before", 7));
    ::SetClipboardData(::RegisterClipboardFormatA(kPrivateFormat),
                       Block(kPrivateBytes, sizeof kPrivateBytes));
    ::CloseClipboard();
    return true;
}

// The first bytes of a clipboard format (empty when absent).
std::string FormatBytes(const char* name, std::size_t size) {
    std::string bytes;
    if (!::OpenClipboard(nullptr)) {
        return bytes;
    }
    HANDLE data = ::GetClipboardData(::RegisterClipboardFormatA(name));
    if (data != nullptr && ::GlobalSize(data) >= size) {
        bytes.assign(static_cast<const char*>(::GlobalLock(data)), size);
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return bytes;
}

class KeepClipboard : public RecordedSearchTest {};

TEST_F(KeepClipboard, RestoredOnlyWhenAskedAndNeverOverTheUsersCopy) {
    // Only a copy changes the clipboard: the selection is not read directly here.
    WriteTestDword(kSettingsKey, "ReadSelectionDirectly", 0);
    {
        RunningApp app;  // the option is off by default: the selection stays
        ASSERT_TRUE(app.Ready());
        SelectionFixture fixture("first selection");
        ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
        ASSERT_TRUE(SetTextAndPrivateFormat());
        PressKeys({VK_CONTROL}, VK_F2);
        ASSERT_TRUE(recorder_.WaitForUrls(1));
        PumpMessagesFor(2000);
        EXPECT_EQ(ClipboardText(), std::optional<std::string>("first selection"));
        ASSERT_EQ(app.ExitThroughTrayMenu(), 0);
    }

    WriteTestDword(kSettingsKey, "RestoreClipboard", 1);
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("kept selection");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    ASSERT_TRUE(SetTextAndPrivateFormat());
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(2));
    EXPECT_EQ(recorder_.Urls()[1], defaultUrl_ + "kept selection");
    EXPECT_TRUE(WaitForClipboardText("before", 5000)) << ClipboardText().value_or("<none>");
    EXPECT_EQ(FormatBytes(kPrivateFormat, sizeof kPrivateBytes),
              std::string(kPrivateBytes, sizeof kPrivateBytes));
    EXPECT_EQ(FormatBytes("CanIncludeInClipboardHistory", 4), std::string(4, '\0'));
    EXPECT_EQ(FormatBytes("CanUploadToCloudClipboard", 4), std::string(4, '\0'));
    EXPECT_FALSE(FormatBytes("ExcludeClipboardContentFromMonitorProcessing", 1).empty());

    // A copy the user makes while the popup's capture is still open is kept.
    ::SendMessageA(fixture.Window(), WM_APP + 4, 0, 0);  // forward again
    PressKeys({VK_CONTROL}, VK_F1);
    ASSERT_TRUE(WaitUntil([&] { return app.SearchText() == "kept selection"; }));
    ASSERT_TRUE(SetClipboardText("user copy"));
    PumpMessagesFor(2500);
    EXPECT_EQ(ClipboardText(), std::optional<std::string>("user copy"));

    // An empty clipboard comes back empty.
    EmptyClipboardNow();
    ::SendMessageA(fixture.Window(), WM_APP + 4, 0, 0);  // forward again
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(3));
    EXPECT_TRUE(WaitUntil([] { return ::CountClipboardFormats() == 0; }, 5000));
}

}  // namespace
}  // namespace vp
