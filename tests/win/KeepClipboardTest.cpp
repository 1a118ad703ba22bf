// "Keep my clipboard as it was": the clipboard before a trigger comes back after the
// capture, unless the user copied something meanwhile; without the option the selection
// stays on the clipboard. What is kept, and that taking it waits on no one.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/RegistryKeys.h"
#include "tests/win/Fixtures.h"
#include "tests/win/Protocol.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"
#include "tests/win/WindowSearch.h"
#include "win/ClipboardSnapshot.h"

namespace vp {
namespace {

const char kPrivateFormat[] = "Vantapicker Test Private";
const char kPrivateBytes[] = "private\0bytes";
using test::GlobalBlock;
using test::selection_fixture::kComeForward;

// A text and a private format, as an application that copies rich data leaves them, and
// OLE's bookkeeping formats, which point at the copying program's data object.
bool SetTextAndPrivateFormat() {
    if (!::OpenClipboard(nullptr)) {
        return false;
    }
    ::EmptyClipboard();
    ::SetClipboardData(CF_TEXT, GlobalBlock("before", 7));
    ::SetClipboardData(::RegisterClipboardFormatA(kPrivateFormat),
                       GlobalBlock(kPrivateBytes, sizeof kPrivateBytes));
    const void* object = &kPrivateBytes;  // an address that means nothing elsewhere
    ::SetClipboardData(::RegisterClipboardFormatA("DataObject"),
                       GlobalBlock(&object, sizeof object));
    ::SetClipboardData(::RegisterClipboardFormatA("Ole Private Data"),
                       GlobalBlock(&object, sizeof object));
    ::CloseClipboard();
    return true;
}

// The bytes of a clipboard format, at most `size` of them (empty when absent).
std::string FormatBytes(UINT format, std::size_t size = ~std::size_t{0}) {
    std::string bytes;
    if (!::OpenClipboard(nullptr)) {
        return bytes;
    }
    HANDLE data = ::GetClipboardData(format);
    if (data != nullptr && ::GlobalSize(data) != 0) {
        bytes.assign(static_cast<const char*>(::GlobalLock(data)),
                     std::min<std::size_t>(size, ::GlobalSize(data)));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return bytes;
}

std::string FormatBytes(const char* name, std::size_t size) {
    return FormatBytes(::RegisterClipboardFormatA(name), size);
}

bool Available(const char* name) {
    return ::IsClipboardFormatAvailable(::RegisterClipboardFormatA(name)) != FALSE;
}

// A window of the test program: what it copies is another known program's copy.
struct OtherProgramWindow {
    HWND window =
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ~OtherProgramWindow() { ::DestroyWindow(window); }
};

// Only a copy changes the clipboard: the selection is not read directly here.
class KeepClipboard : public RecordedSearchTest {
protected:
    void SetUp() override {
        RecordedSearchTest::SetUp();
        WriteTestDword(kSettingsKey, "ReadSelectionDirectly", 0);
    }
};

TEST_F(KeepClipboard, RestoredOnlyWhenAskedAndNeverOverTheUsersCopy) {
    {
        RunningApp app;  // the option is off by default: the selection stays
        ASSERT_TRUE(app.Ready());
        SelectionFixture fixture("first selection");
        ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
        ASSERT_TRUE(SetTextAndPrivateFormat());
        const ULONGLONG triggered = ::GetTickCount64();
        PressKeys({VK_CONTROL}, VK_F2);
        ASSERT_TRUE(recorder_.WaitForUrls(1));
        ASSERT_TRUE(app.WaitPastCaptureWindow(triggered));
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
    // OLE's bookkeeping would point at an object that no longer exists.
    EXPECT_FALSE(Available("DataObject"));
    EXPECT_FALSE(Available("Ole Private Data"));
    EXPECT_EQ(FormatBytes("CanIncludeInClipboardHistory", 4), std::string(4, '\0'));
    EXPECT_EQ(FormatBytes("CanUploadToCloudClipboard", 4), std::string(4, '\0'));
    EXPECT_FALSE(FormatBytes("ExcludeClipboardContentFromMonitorProcessing", 1).empty());

    // A copy the user makes in another program while the popup's capture is still open is
    // theirs: kept, and not searched. (Which changes are whose is the capture session's
    // table; here, that another program's copy is told from the application's.)
    const OtherProgramWindow other;
    ::SendMessageA(fixture.Window(), kComeForward, 0, 0);
    const ULONGLONG triggered = ::GetTickCount64();
    PressKeys({VK_CONTROL}, VK_F1);
    ASSERT_TRUE(WaitUntil([&] { return app.SearchText() == "kept selection"; }));
    ASSERT_TRUE(SetClipboardText("user copy", other.window));
    ASSERT_TRUE(app.WaitPastCaptureWindow(triggered));
    EXPECT_EQ(ClipboardText(), std::optional<std::string>("user copy"));
    EXPECT_EQ(app.SearchText(), "kept selection");

    // An empty clipboard (emptied by another program: the user's) comes back empty.
    EmptyClipboardNow(other.window);
    ::SendMessageA(fixture.Window(), kComeForward, 0, 0);
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(3));
    EXPECT_TRUE(WaitUntil([] { return ::CountClipboardFormats() == 0; }, 5000));
}

TEST_F(KeepClipboard, ACopyWithoutOwnerIsUndoneAndTheUsersOwnCopyStays) {
    WriteTestDword(kSettingsKey, "RestoreClipboard", 1);
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    {
        // An application that copies with no owner window: its copy is searched, then undone.
        SelectionFixture ownerless("ownerless selection", {.noOwnerCopy = true});
        ASSERT_TRUE(ownerless.Ready()) << ownerless.Problem();
        ASSERT_TRUE(SetClipboardText("before"));
        PressKeys({VK_CONTROL}, VK_F2);
        ASSERT_TRUE(recorder_.WaitForUrls(1));
        EXPECT_EQ(recorder_.Urls()[0], defaultUrl_ + "ownerless selection");
        EXPECT_TRUE(WaitForClipboardText("before", 5000)) << ClipboardText().value_or("<none>");
    }
    // Nothing selected: no copy comes, and a late one is awaited. The user then selects
    // and copies in the same application: that copy is theirs, and stays.
    SelectionFixture fixture("the user's copy");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    fixture.Select(0, 0);
    ASSERT_TRUE(SetClipboardText("before"));
    const ULONGLONG triggered = ::GetTickCount64();
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(WaitUntil([&] { return fixture.InsertPresses() == 1; }));
    ASSERT_TRUE(app.WaitPastCaptureWindow(triggered));
    fixture.Select(0, -1);
    PressKeys({VK_CONTROL}, 'C');
    ASSERT_TRUE(WaitForClipboardText("the user's copy", 3000));
    ASSERT_TRUE(app.WaitPastCaptureWindow());
    EXPECT_EQ(ClipboardText(), std::optional<std::string>("the user's copy"));
    EXPECT_EQ(recorder_.Urls().size(), 1u);
}

TEST_F(KeepClipboard, OwnersThatRenderOnRequestGetAskedOnlyForWhatIsKeptAndNeverWaitedOn) {
    WriteTestDword(kSettingsKey, "RestoreClipboard", 1);
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    ClipboardOwnerFixture owner;
    ASSERT_TRUE(owner.Ready());
    SelectionFixture fixture("over delayed formats");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    ASSERT_TRUE(owner.TakeClipboard());
    DWORD sequence = ::GetClipboardSequenceNumber();
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], defaultUrl_ + "over delayed formats");
    EXPECT_TRUE(WaitForClipboardText("delayed text", 5000)) << ClipboardText().value_or("<none>");
    EXPECT_EQ(owner.KeptRenders(), 18);
    EXPECT_EQ(owner.OtherRenders(), 0);
    EXPECT_FALSE(FormatBytes("HTML Format", 100).empty());
    EXPECT_FALSE(FormatBytes("Vantapicker Test Delayed 13", 100).empty());
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_ENHMETAFILE));
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_DIBV5));
    EXPECT_FALSE(Available("Ole Private Data"));

    // An owner that has stopped answering is not asked at all: the program stays
    // responsive, and as the clipboard cannot be kept nothing is copied over it.
    ::SendMessageA(fixture.Window(), kComeForward, 0, 0);
    fixture.ResetCounts();
    ASSERT_TRUE(owner.TakeClipboard());
    owner.StopAnswering(4000);
    PumpMessagesFor(300);
    sequence = ::GetClipboardSequenceNumber();
    PressKeys({VK_CONTROL}, VK_F2);
    PumpMessagesFor(300);
    DWORD_PTR answer = 0;
    EXPECT_NE(::SendMessageTimeoutA(app.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 1500, &answer), 0)
        << "the program waits on the clipboard's owner";
    EXPECT_TRUE(WaitUntil([&] { return owner.KeptRenders() == 0; }, 8000));
    PumpMessagesFor(1500);
    EXPECT_EQ(fixture.InsertPresses(), 0);
    EXPECT_EQ(::GetClipboardSequenceNumber(), sequence);
    EXPECT_EQ(recorder_.Urls().size(), 1u);
    EXPECT_EQ(owner.OtherRenders(), 0);
    EXPECT_EQ(ClipboardText(), std::optional<std::string>("delayed text"));
}

TEST_F(KeepClipboard, AnOwnerThatRendersSlowlyHoldsUpNeitherTheProgramNorTheCopy) {
    WriteTestDword(kSettingsKey, "RestoreClipboard", 1);
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    ClipboardOwnerFixture owner;
    ASSERT_TRUE(owner.Ready());
    SelectionFixture fixture("behind a slow owner");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    owner.SetRenderTime(8000);
    ASSERT_TRUE(owner.TakeClipboard());
    PressKeys({VK_CONTROL}, VK_F2);
    PumpMessagesFor(100);
    // Posted: a sent request is answered even while waiting inside the clipboard.
    const ULONGLONG posted = ::GetTickCount64();
    ::PostMessageA(app.MainWindow(), test::kShowPopup, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(app.MainWindow()) != FALSE; }, 6000));
    EXPECT_LE(::GetTickCount64() - posted, 300u) << "the program waits on the clipboard's owner";
    // Refused as the snapshot: nothing is copied over the clipboard it could not keep.
    EXPECT_TRUE(WaitUntil([&] { return owner.KeptRenders() > 0; }, 12000));
    owner.SetRenderTime(0);
    EXPECT_EQ(fixture.InsertPresses(), 0);
    EXPECT_TRUE(recorder_.Urls().empty());
    EXPECT_EQ(ClipboardText(), std::optional<std::string>("delayed text"));
}

TEST_F(KeepClipboard, ALargeBitmapComesBackWholeAndCountsTowardTheCap) {
    const std::string dib = LargeDib();
    ASSERT_TRUE(SetClipboardBlock(CF_DIB, dib.data(), dib.size()));
    {
        // Only the bitmap as supplied is copied: the forms the system makes from it are not.
        auto snapshot = win::ClipboardSnapshot::Take(nullptr);
        ASSERT_TRUE(snapshot.has_value());
        EXPECT_EQ(snapshot->FormatCount(), 1u);
        EXPECT_TRUE(snapshot->Holds(CF_DIB));
        EXPECT_EQ(snapshot->Bytes(), dib.size());
        EXPECT_FALSE(win::ClipboardSnapshot::Take(nullptr, dib.size() - 1).has_value());

        // The restore checks, with the clipboard open, that no one changed it meanwhile.
        const DWORD taken = ::GetClipboardSequenceNumber();
        ASSERT_TRUE(SetClipboardText("newer"));
        EXPECT_FALSE(snapshot->Restore(nullptr, taken));
        EXPECT_EQ(ClipboardText(), std::optional<std::string>("newer"));
    }

    WriteTestDword(kSettingsKey, "RestoreClipboard", 1);
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("over a bitmap");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    ASSERT_TRUE(SetClipboardBlock(CF_DIB, dib.data(), dib.size()));
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    // The clipboard may still be open for the restore when the text is gone from it.
    EXPECT_TRUE(WaitUntil([&] { return FormatBytes(CF_DIB) == dib; }, 5000))
        << "the bitmap came back changed";
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_TEXT));
}

}  // namespace
}  // namespace vp
