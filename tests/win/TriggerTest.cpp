// From a gesture or hot key to an opened search, driven from outside as a user would:
// a fixture application holds selected text in the foreground, the shell's http and
// https commands point at a recorder.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/WebAddresses.h"
#include "base/ProgramNames.h"
#include "core/Autostart.h"
#include "core/RegistryKeys.h"
#include "hook/Messages.h"
#include "hook/VPHook.h"
#include "tests/win/AppProcess.h"
#include "tests/win/Fixtures.h"
#include "tests/win/Protocol.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"
#include "tests/win/WindowSearch.h"
#include "win/Registry.h"
#include "win/WinText.h"

namespace vp {
namespace {

class Triggers : public RecordedSearchTest {};

// Waits until the search box shows `expected`.
bool WaitForSearchText(const RunningApp& app, const std::string& expected, DWORD timeoutMs = 3000) {
    return WaitUntil([&] { return app.SearchText() == expected; }, timeoutMs);
}

// The whole effect of a popup trigger: the text in the search box and the popup shown in
// front. The popup appears a moment after the text, so a test that went on before that
// would find it taking the foreground from the next selection.
::testing::AssertionResult WaitForPopupWith(const RunningApp& app, const std::string& expected) {
    if (!WaitForSearchText(app, expected)) {
        return ::testing::AssertionFailure() << "search text [" << app.SearchText() << "]";
    }
    if (!WaitUntil([&] {
            return ::IsWindowVisible(app.MainWindow()) &&
                   ::GetForegroundWindow() == app.MainWindow();
        })) {
        return ::testing::AssertionFailure() << "the popup is not in front";
    }
    return ::testing::AssertionSuccess();
}

TEST_F(Triggers, DefaultSiteHotKeyAndGestureOpenTheDefaultSiteWithTheSelection) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("selected words");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();

    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(1))
        << "copy keys at the selection: " << fixture.InsertPresses();
    EXPECT_EQ(recorder_.Urls()[0], defaultUrl_ + "selected words");

    fixture.ResetCounts();
    POINT center = CenterOf(fixture.Edit());
    ClickAt(center, 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(recorder_.WaitForUrls(2));
    EXPECT_EQ(recorder_.Urls()[1], defaultUrl_ + "selected words");
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 0);
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONUP), 0);

    ClickAt(center, 0);  // a plain click still reaches the application
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 1);
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONUP), 1);

    // An application that peeks at each message before it removes it gets neither half
    // of the gesture either, and the gesture triggers once.
    SelectionFixture peeking("peeked", {.peekFirst = true});
    ASSERT_TRUE(peeking.Ready()) << peeking.Problem();
    ClickAt(CenterOf(peeking.Edit()), 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(recorder_.WaitForUrls(3));
    EXPECT_EQ(recorder_.Urls()[2], defaultUrl_ + "peeked");
    EXPECT_EQ(peeking.ClickCount(WM_LBUTTONDOWN), 0);
    EXPECT_EQ(peeking.ClickCount(WM_LBUTTONUP), 0);
    ASSERT_TRUE(app.WaitPastCaptureWindow());
    EXPECT_EQ(recorder_.Urls().size(), 3u);
}

TEST_F(Triggers, PopupHotKeyAndGesturePutTheSelectionIntoTheSearchBox) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("look me up");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();

    app.SetSearchText("earlier text");
    PressKeys({VK_CONTROL}, VK_F1);
    EXPECT_TRUE(WaitForPopupWith(app, "look me up"));

    // Back to the fixture for the gesture (the popup took the foreground).
    SelectionFixture second("second selection");
    ASSERT_TRUE(second.Ready()) << second.Problem();
    app.SetSearchText("earlier text");
    ClickAt(CenterOf(second.Edit()), 1, {VK_CONTROL});
    EXPECT_TRUE(WaitForPopupWith(app, "second selection"));
    EXPECT_EQ(second.ClickCount(WM_RBUTTONDOWN), 0);
    EXPECT_EQ(second.ClickCount(WM_RBUTTONUP), 0);
    EXPECT_TRUE(recorder_.Urls().empty());
}

TEST_F(Triggers, CapturedTextIsCutTo255BytesAndLosesTrailingBlanksOnlyOnEitherRoad) {
    std::string longText;
    for (int i = 0; i < 300; ++i) {
        longText += static_cast<char>('a' + i % 26);
    }
    const std::pair<std::string, std::string> cases[] = {
        {longText, longText.substr(0, 255)},
        {"trailing blanks   ", "trailing blanks"},
        {"trailing tab\t", "trailing tab\t"},
        {"     ", ""},
        {"", ""},  // nothing selected: the copy changes nothing, and the box is emptied
    };
    for (const bool direct : {true, false}) {
        WriteTestDword(kSettingsKey, "ReadSelectionDirectly", direct ? 1 : 0);
        RunningApp app;
        ASSERT_TRUE(app.Ready());
        for (const auto& [selection, expected] : cases) {
            SelectionFixture fixture(selection);
            ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
            app.SetSearchText("not yet");
            PressKeys({VK_CONTROL}, VK_F1);
            EXPECT_TRUE(WaitForPopupWith(app, expected)) << (direct ? "direct" : "copied");
            // With nothing selected there is nothing to read: the copy decides.
            EXPECT_EQ(fixture.InsertPresses(), direct && !selection.empty() ? 0 : 1);
        }
        ASSERT_EQ(app.ExitThroughTrayMenu(), 0);
    }
}

// Which copies a capture takes, and for how long, is the capture session's table.
TEST_F(Triggers, ALaterCopyWithinTheCaptureWindowReplacesThePopupText) {
    WriteTestDword(kSettingsKey, "ReadSelectionDirectly", 0);  // a copied text is not final
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("first copy");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    PressKeys({VK_CONTROL}, VK_F1);
    ASSERT_TRUE(WaitForSearchText(app, "first copy"));
    ASSERT_TRUE(SetClipboardText("copied again"));  // well within 1200 ms
    EXPECT_TRUE(WaitForPopupWith(app, "copied again"));
}

TEST_F(Triggers, HotKeysFromTheRegistryAreHonoured) {
    WriteTestDword(kSettingsKey, "ReadSelectionDirectly", 0);   // the synthesized copy's keys
    WriteTestDword(kSettingsKey, "PopupWindowHotModifier", 2);  // Ctrl+Shift
    WriteTestDword(kSettingsKey, "PopupWindowHotKey", 36);      // Q
    WriteTestDword(kSettingsKey, "DefaultActionHotKey", 46);    // no such key
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("shifted");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();

    app.SetSearchText("old");
    PressKeys({VK_CONTROL, VK_SHIFT}, 'Q');
    EXPECT_TRUE(WaitForPopupWith(app, "shifted"));
    EXPECT_FALSE(fixture.WasPasted());  // the held Shift did not turn the copy into a paste
    EXPECT_EQ(fixture.Text(), "shifted");

    // The default-site hot key registered nothing: the combination is free.
    EXPECT_TRUE(::RegisterHotKey(nullptr, 7, MOD_CONTROL, VK_F2));
    ::UnregisterHotKey(nullptr, 7);
    EXPECT_TRUE(::RegisterHotKey(nullptr, 8, MOD_CONTROL, VK_F1));  // no longer Ctrl+F1
    ::UnregisterHotKey(nullptr, 8);
}

TEST_F(Triggers, InactiveProgramTriggersNothing) {
    WriteTestDword(kSettingsKey, "ActiveState", 0);
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("inactive");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();

    EXPECT_TRUE(::RegisterHotKey(nullptr, 9, MOD_CONTROL, VK_F1));
    ::UnregisterHotKey(nullptr, 9);
    app.SetSearchText("unchanged");
    const ULONGLONG triggered = ::GetTickCount64();
    PressKeys({VK_CONTROL}, VK_F2);
    POINT center = CenterOf(fixture.Edit());
    ClickAt(center, 1, {VK_CONTROL});
    ClickAt(center, 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(app.WaitPastCaptureWindow(triggered));
    EXPECT_TRUE(recorder_.Urls().empty());
    EXPECT_EQ(app.SearchText(), "unchanged");
    // The gestures' clicks went through.
    EXPECT_EQ(fixture.ClickCount(WM_RBUTTONDOWN), 1);
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 1);
}

TEST_F(Triggers, WithoutDefaultSiteNothingIsOpenedButTheTextIsKept) {
    WriteTestDword(kSettingsKey, "DefaultSite", 999);
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    for (const char* selection : {"C:\\Windows\\System32\\notepad.exe", "\\\\server\\share"}) {
        SelectionFixture fixture(selection);
        ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
        PressKeys({VK_CONTROL}, VK_F2);
        ASSERT_TRUE(app.WaitPastCaptureWindow());
    }
    EXPECT_TRUE(recorder_.Urls().empty());
    EXPECT_EQ(WaitForTopLevelWindow("Notepad", nullptr, 0), nullptr);
    ASSERT_EQ(app.ExitThroughTrayMenu(), 0);
    EXPECT_EQ(StoredHistory(), (std::vector<std::string>{"\\\\server\\share",
                                                         "C:\\Windows\\System32\\notepad.exe"}));
}

TEST_F(Triggers, GestureHeldAcrossARestartDoesNotFireInTheNewProgram) {
    SelectionFixture fixture("held");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    POINT center = CenterOf(fixture.Edit());
    {
        RunningApp first;
        ASSERT_TRUE(first.Ready());
        ::SetCursorPos(center.x, center.y);
        HoldKey(VK_CONTROL);
        HoldKey(VK_SHIFT);
        PressButton(0);
        ASSERT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 0);  // swallowed: the gesture is pending
        ASSERT_TRUE(::TerminateProcess(first.Process().Process(), 1));
        ASSERT_GE(first.Process().WaitForExit(), 0);
    }
    RunningApp second;  // the fixture still maps the hook library and its state
    ASSERT_TRUE(second.Ready());
    ReleaseButton(0);
    ReleaseKey(VK_SHIFT);
    ReleaseKey(VK_CONTROL);
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONUP), 1);
    ASSERT_TRUE(second.WaitPastCaptureWindow());
    EXPECT_TRUE(recorder_.Urls().empty());

    ClickAt(center, 0, {VK_CONTROL, VK_SHIFT});  // a whole gesture still works
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], defaultUrl_ + "held");
}

// Kills the program's host of the 32-bit hook; the process id of the one that the program
// starts in its place, once its hooks are in place, or 0.
DWORD KillHookHost32(const RunningApp& app, DWORD host) {
    win::KernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, host));
    if (!process || !::TerminateProcess(process.Get(), 9)) {
        return 0;
    }
    ::WaitForSingleObject(process.Get(), 5000);
    return app.WaitForHookHost32(host);
}

// The host of the hook in 32-bit applications: started again when it dies, with working
// gestures; ended by Exit; ending by itself when the program's process is ended.
TEST_F(Triggers, HookHost32ComesBackWhenKilledAndEndsWithTheProgram) {
    if (!Runs32BitPrograms()) {
        GTEST_SKIP() << "this machine runs no 32-bit programs";
    }
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    const DWORD first = app.WaitForHookHost32();
    ASSERT_NE(first, 0u) << "no VPHookHost32.exe beside the program";
    SelectionFixture fixture("host again");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    const DWORD second = KillHookHost32(app, first);
    ASSERT_NE(second, 0u) << "the host was not started again";
    ClickAt(CenterOf(fixture.Edit()), 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], defaultUrl_ + "host again");
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 0);
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONUP), 0);

    ASSERT_EQ(app.ExitThroughTrayMenu(), 0);
    EXPECT_FALSE(ProcessRuns(second)) << "Exit left the host running";

    RunningApp crashing;
    ASSERT_TRUE(crashing.Ready());
    const DWORD orphan = crashing.WaitForHookHost32();
    ASSERT_NE(orphan, 0u);
    ASSERT_TRUE(::TerminateProcess(crashing.Process().Process(), 3));
    EXPECT_TRUE(WaitUntil([&] { return !ProcessRuns(orphan); }, 5000))
        << "the host outlived the program";
    // The next test's program would take a window left behind for a running copy.
    ::WaitForSingleObject(crashing.Process().Process(), 5000);
    EXPECT_TRUE(
        WaitUntil([] { return ::FindWindowA(test::kMainWindowClassName, nullptr) == nullptr; }));
}

// Windows calls a hook of the other bitness out of context: on the installing thread,
// with another process's message. The hook must leave such a gesture to that process's
// own library, while one of its own thread's messages still acts.
TEST_F(Triggers, HookLeavesMessagesOfOtherProcessesAlone) {
    SelectionFixture other("other process");
    ASSERT_TRUE(other.Ready()) << other.Problem();
    const HWND window =
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetPopupWindowButton(0, 1, true);  // Ctrl+right button
    win::HookHandle hook(SetVPThreadHook(window, ::GetCurrentThreadId()));
    ASSERT_TRUE(hook);
    MSG triggered;
    for (const UINT button : {WM_RBUTTONDOWN, WM_RBUTTONUP}) {
        MSG foreign{other.Edit(), button, MK_CONTROL, 0, 0, {}};
        VPHookProc(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&foreign));
        EXPECT_EQ(foreign.message, button) << "another process's click was taken";
    }
    EXPECT_FALSE(
        ::PeekMessageA(&triggered, window, VP_WM_POPUP_TRIGGER, VP_WM_POPUP_TRIGGER, PM_REMOVE));
    for (const UINT button : {WM_RBUTTONDOWN, WM_RBUTTONUP}) {
        ::PostMessageA(window, button, MK_CONTROL, 0);
        MSG own{};
        ASSERT_TRUE(::PeekMessageA(&own, window, 0, 0, PM_REMOVE));
        EXPECT_EQ(own.message, static_cast<UINT>(WM_NULL)) << "this thread's click went through";
    }
    EXPECT_TRUE(
        ::PeekMessageA(&triggered, window, VP_WM_POPUP_TRIGGER, VP_WM_POPUP_TRIGGER, PM_REMOVE));
    hook.Reset();
    ::DestroyWindow(window);
}

// Another program of the desktop that loads the hook library and calls every export
// that writes (gestures off, its own program excluded, the triggers to a window of its
// own) changes nothing: only the program writes the hook's state.
TEST_F(Triggers, AnotherProgramCallingTheHookLibraryChangesNothing) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("still mine");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    // This program loads the library that the build put beside the program's.
    const HWND own =
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetPopupWindowButton(0, 1, false);
    SetDefaultActionButton(2, 0, false);
    const std::u16string name =
        FixtureBitness() == 32 ? u"SelectionFixture32.exe" : u"SelectionFixture.exe";
    const unsigned long long excluded = HashProgramName(name.data(), name.size());
    SetGestureExclusions(&excluded, 1);
    EXPECT_EQ(SetVPHook(own), nullptr);
    win::HookHandle threadHook(SetVPThreadHook(own, ::GetCurrentThreadId()));
    UnhookVPHook();

    ::SendMessageA(fixture.Window(), test::selection_fixture::kComeForward, 0, 0);
    ClickAt(CenterOf(fixture.Edit()), 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], defaultUrl_ + "still mine");
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 0);
    MSG trigger;
    EXPECT_FALSE(
        ::PeekMessageA(&trigger, own, VP_WM_POPUP_TRIGGER, VP_WM_DEFAULT_TRIGGER, PM_REMOVE));
    threadHook.Reset();
    ::DestroyWindow(own);
}

// Installed into a folder whose name the ANSI code page cannot hold, the program starts,
// its gestures work (with a 32-bit application, through its 32-bit host), start at logon
// names it and Online Help opens the guide beside it.
TEST_F(Triggers, GesturesWorkFromAFolderNamedInGreek) {
    const std::string tail = std::to_string(::GetTickCount()) + "\\";
    const std::u16string folder =
        AnsiToUtf16(TempFolder()) + u"\u0392\u03AC\u03BD\u03C4\u03B1 " + AnsiToUtf16(tail);
    const std::string utf8Folder =
        TempFolder() + "\xCE\x92\xCE\xAC\xCE\xBD\xCF\x84\xCE\xB1 " + tail;
    ASSERT_TRUE(::CreateDirectoryW(WidePointer(folder), nullptr));
    for (const char16_t* file : {u"Vantapicker.exe", u"VPHook.dll", u"VPHook32.dll",
                                 u"VPHookHost32.exe", u"UserGuide.html"}) {
        ::CopyFileW(WidePointer(AnsiToUtf16(TestProgramFolder()) + file),
                    WidePointer(folder + file), FALSE);
    }
    RunKeyGuard runKey;
    const win::RegKey run = win::CreateKey(HKEY_CURRENT_USER, kRunKey);
    ::RegDeleteValueA(run.Get(), kAutostartValue);
    ASSERT_TRUE(AddPolicy("HKCU", "RunAtLogon", "REG_DWORD", "1"));
    RunningApp app("", folder + u"Vantapicker.exe");
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("greek folder");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    ClickAt(CenterOf(fixture.Edit()), 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], defaultUrl_ + "greek folder");
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 0);

    EXPECT_EQ(win::ReadWideString(run.Get(), kAutostartValue),
              u"\"" + folder + u"Vantapicker.exe\"");
    ASSERT_TRUE(app.ChooseTrayMenuItem('h'));
    ASSERT_TRUE(recorder_.WaitForUrls(2));
    EXPECT_EQ(recorder_.Utf8Urls().back(), utf8Folder + "UserGuide.html");
    EXPECT_EQ(app.ExitThroughTrayMenu(), 0);
}

// A thread whose only window is a child of another thread's window (a document view on a
// worker thread) gets the gestures too.
TEST_F(Triggers, GestureReachesAChildWindowOfASecondThread) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("child of a worker",
                             {.control = SelectionControl::EditOfSecondThread});
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    ASSERT_NE(::GetWindowThreadProcessId(fixture.Edit(), nullptr),
              ::GetWindowThreadProcessId(fixture.Window(), nullptr));
    ClickAt(CenterOf(fixture.Edit()), 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], defaultUrl_ + "child of a worker");
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 0);
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONUP), 0);
}

// A new host knows the programs without gestures before it hooks anything: an excluded
// 32-bit application keeps its clicks right after the host was started again.
TEST_F(Triggers, HookHost32LeavesAnExcludedApplicationAloneFromItsStart) {
    if (!Runs32BitPrograms() || FixtureBitness() != 32) {
        GTEST_SKIP() << "needs a 32-bit application";
    }
    WriteTestWideString(kSettingsKey, "GestureExclusions", u"selectionfixture32.EXE");
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("excluded");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    ASSERT_NE(KillHookHost32(app, app.HookHost32()), 0u);
    ClickAt(CenterOf(fixture.Edit()), 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(app.WaitPastCaptureWindow());
    EXPECT_TRUE(recorder_.Urls().empty());
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 1);
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONUP), 1);
}

// Wine's own notepad (the 64-bit one, like the program) with a file open, in front with
// the focus in its edit control. Ended when destroyed.
class Notepad {
public:
    explicit Notepad(const std::string& text) : file_(NewTempFile()) {
        char system[MAX_PATH] = {};
        ::GetSystemDirectoryA(system, MAX_PATH);
        DWORD id = 0;
        if (!WriteFileBytes(file_, text) ||
            !(process_ = StartHelperProgram(
                  std::string("\"") + system + "\\notepad.exe\" \"" + file_ + "\"", &id))) {
            return;
        }
        WaitUntil(
            [&] {
                HWND front = ::GetForegroundWindow();
                DWORD owner = 0;
                ::GetWindowThreadProcessId(front, &owner);
                if (front == nullptr || owner != id) {
                    return false;
                }
                window_ = front;
                edit_ = ::FindWindowExA(front, nullptr, "Edit", nullptr);
                return edit_ != nullptr && FocusOfThreadOf(front) == edit_;
            },
            15000);
    }
    ~Notepad() {
        EndHelperProgram(process_);
        ::DeleteFileA(file_.c_str());
    }
    Notepad(const Notepad&) = delete;
    Notepad& operator=(const Notepad&) = delete;

    bool Ready() const { return edit_ != nullptr; }
    HWND Edit() const { return edit_; }
    void Select(int start, int end) const {
        ::SendMessageA(edit_, EM_SETSEL, static_cast<WPARAM>(start), end);
    }
    // In front again with the focus in its edit control (the popup hides when it loses
    // the foreground).
    bool ComeForward() const {
        test::TakeForeground(window_);
        return WaitUntil([&] {
            return ::GetForegroundWindow() == window_ && FocusOfThreadOf(window_) == edit_;
        });
    }

private:
    std::string file_;
    win::KernelHandle process_;
    HWND window_ = nullptr;
    HWND edit_ = nullptr;
};

TEST_F(Triggers, NotepadSelectionIsSearchedByEveryTriggerWithoutTouchingTheClipboard) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    ASSERT_TRUE(SetClipboardText("the user's own"));
    Notepad notepad("first line\r\nsome selected words\r\nlast");
    ASSERT_TRUE(notepad.Ready());
    notepad.Select(17, 31);  // "selected words": positions count the CR LF as two
    const DWORD sequence = ::GetClipboardSequenceNumber();

    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder_.WaitForUrls(1));
    EXPECT_EQ(recorder_.Urls()[0], defaultUrl_ + "selected words");
    POINT center = CenterOf(notepad.Edit());
    ASSERT_TRUE(notepad.ComeForward());
    ClickAt(center, 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(recorder_.WaitForUrls(2));
    EXPECT_EQ(recorder_.Urls()[1], defaultUrl_ + "selected words");

    ASSERT_TRUE(notepad.ComeForward());
    app.SetSearchText("earlier text");
    PressKeys({VK_CONTROL}, VK_F1);
    EXPECT_TRUE(WaitForPopupWith(app, "selected words"));
    ASSERT_TRUE(notepad.ComeForward());
    notepad.Select(0, 5);
    app.SetSearchText("earlier text");
    ClickAt(center, 1, {VK_CONTROL});
    EXPECT_TRUE(WaitForPopupWith(app, "first"));
    // Nothing is copied later either (that a text read directly is final is the capture
    // session's table).
    ASSERT_TRUE(app.WaitPastCaptureWindow());
    EXPECT_EQ(::GetClipboardSequenceNumber(), sequence);
}

TEST_F(Triggers, RichEditIsReadDirectlyAndAPasswordFieldOnlyThroughItsCopy) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    {
        // The 1.0 control counts each line end as two characters, as an edit control does.
        SelectionFixture rich1("alpha\r\nbeta\r\ngamma", {.control = SelectionControl::RichEdit1});
        ASSERT_TRUE(rich1.Ready()) << rich1.Problem();
        rich1.Select(13, 18);
        PressKeys({VK_CONTROL}, VK_F2);
        ASSERT_TRUE(recorder_.WaitForUrls(1));
        EXPECT_EQ(recorder_.Urls()[0], defaultUrl_ + "gamma");
        EXPECT_EQ(rich1.InsertPresses(), 0);
    }
    {
        SelectionFixture rich("first line\r\nsecond line\r\nthird",
                              {.control = SelectionControl::RichEdit});
        ASSERT_TRUE(rich.Ready()) << rich.Problem();
        rich.Select(11, 17);  // "second": the control counts each line end once
        const DWORD sequence = ::GetClipboardSequenceNumber();
        PressKeys({VK_CONTROL}, VK_F2);
        ASSERT_TRUE(recorder_.WaitForUrls(2));
        EXPECT_EQ(recorder_.Urls()[1], defaultUrl_ + "second");
        ::SendMessageA(rich.Window(), test::selection_fixture::kComeForward, 0, 0);
        rich.Select(6, 17);  // across a line end, which comes as CR LF as in a copy
        app.SetSearchText("earlier text");
        PressKeys({VK_CONTROL}, VK_F1);
        EXPECT_TRUE(WaitUntil([&] {
            return app.SearchText().rfind("line", 0) == 0 &&
                   app.SearchText().find("second") != std::string::npos;
        })) << app.SearchText();
        EXPECT_EQ(rich.InsertPresses(), 0);
        ASSERT_TRUE(app.WaitPastCaptureWindow());
        EXPECT_EQ(::GetClipboardSequenceNumber(), sequence);
    }
    // A password field is never read: the trigger copies, as it always did, and gets what
    // the field lets a copy have (Windows' edit control gives nothing, Wine's the text).
    SelectionFixture secret("secret words", {.control = SelectionControl::Password});
    ASSERT_TRUE(secret.Ready()) << secret.Problem();
    const DWORD sequence = ::GetClipboardSequenceNumber();
    PressKeys({VK_CONTROL}, VK_F2);
    EXPECT_TRUE(WaitUntil([&] { return secret.InsertPresses() == 1; }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return ::GetClipboardSequenceNumber() != sequence; }, 5000));
}

TEST_F(Triggers, HungApplicationFallsBackToTheCopyWhileTheProgramStaysResponsive) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("hung selection");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    // Wine can lose the keys queued for a hung application as the popup takes the foreground:
    // the trigger is then tried again. Without the keys or the search, all three fail.
    bool searched = false;
    for (int attempt = 1; attempt <= 3 && fixture.InsertPresses() == 0; ++attempt) {
        if (attempt > 1) {  // past the attempt whose keys were lost, the fixture in front
            ASSERT_TRUE(app.WaitPastCaptureWindow());
            ::SendMessageA(fixture.Window(), test::selection_fixture::kComeForward, 0, 0);
        }
        SettleInput();  // the fixture cannot answer the settling once it hangs
        fixture.Hang();
        app.SetSearchText("earlier text");
        PressKeysAtOnce({VK_CONTROL}, VK_F1);
        // The popup comes while the application still hangs: nothing was read, and the
        // program answers.
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(app.MainWindow()) != FALSE; }, 5000));
        DWORD_PTR answer = 0;
        EXPECT_NE(
            ::SendMessageTimeoutA(app.MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer),
            0);
        EXPECT_EQ(app.SearchText(), "");
        // Once it goes on, it copies on the synthesized keys within the capture window.
        fixture.Release();
        searched = WaitForSearchText(app, "hung selection");
    }
    EXPECT_TRUE(searched);
    EXPECT_EQ(fixture.InsertPresses(), 1);
}

TEST_F(Triggers, TrayMenuOpensTheHomePageTheUserGuideAndSupport) {
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    const std::pair<char, std::string> items[] = {
        {'p', kHomePageAddress}, {'s', kSupportAddress}, {'h', "UserGuide.html"}};
    std::size_t count = 0;
    for (const auto& [mnemonic, expected] : items) {
        ASSERT_TRUE(app.ChooseTrayMenuItem(mnemonic));
        ASSERT_TRUE(recorder_.WaitForUrls(++count)) << mnemonic;
        const std::string opened = recorder_.Urls().back();
        if (mnemonic == 'h') {  // the guide installed beside the program
            std::string guide = ProgramPath();
            guide.replace(guide.find_last_of('\\') + 1, std::string::npos, expected);
            EXPECT_EQ(_stricmp(opened.c_str(), guide.c_str()), 0) << opened;
        } else {
            EXPECT_EQ(opened, expected);
        }
    }
}

}  // namespace
}  // namespace vp
