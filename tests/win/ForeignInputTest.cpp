// What other programs of the desktop can do to the running program: post it messages of
// every private number, and make the gesture hook's state before it does.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "core/RegistryKeys.h"
#include "hook/HookState.h"
#include "tests/win/Protocol.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"
#include "tests/win/WindowSearch.h"

namespace vp {
namespace {

// Ctrl+F1 and the default-site gesture of a program with its defaults both search.
void ExpectGestureAndHotKeySearch(RunningApp& app, UrlRecorder& recorder, const std::string& url) {
    SelectionFixture fixture("still searched");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    PressKeys({VK_CONTROL}, VK_F1);
    EXPECT_TRUE(WaitUntil([&] { return app.SearchText() == "still searched"; }, 10000));
    ::SendMessageA(fixture.Window(), test::selection_fixture::kComeForward, 0, 0);
    ClickAt(CenterOf(fixture.Edit()), 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(recorder.WaitForUrls(1));
    EXPECT_EQ(recorder.Urls().back(), url + "still searched");
}

class ForeignInput : public RecordedSearchTest {};

// Another program made the hook's state first, writable by anyone, with a plain left click
// as the popup gesture: no hook on it, hot keys kept; once it has ended, gestures work again.
TEST_F(ForeignInput, AHookStateMadeByAnotherProgramGetsNoHook) {
    alignas(TOKEN_USER) BYTE user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE] = {};
    HANDLE token = nullptr;
    DWORD size = 0;
    wchar_t name[hook::kSidTextUnits] = {};
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token) &&
                ::GetTokenInformation(token, TokenUser, user, sizeof user, &size));
    ::CloseHandle(token);
    PSID sid = reinterpret_cast<TOKEN_USER*>(user)->User.Sid;
    ASSERT_TRUE(hook::SidText(hook::kHookStatePrefix, static_cast<const std::uint8_t*>(sid),
                              ::GetLengthSid(sid), "", name, hook::kSidTextUnits));
    SECURITY_DESCRIPTOR everyone{};  // no access list: anyone may do anything
    ::InitializeSecurityDescriptor(&everyone, SECURITY_DESCRIPTOR_REVISION);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &everyone, FALSE};
    HANDLE squatter = ::CreateFileMappingW(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0,
                                           sizeof(hook::HookState), name);
    ASSERT_NE(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS))
        << "the state exists already: run this suite alone, this test first, in a new session";
    auto* state = static_cast<hook::HookState*>(
        ::MapViewOfFile(squatter, FILE_MAP_WRITE, 0, 0, sizeof(hook::HookState)));
    *state = hook::InitialHookState();
    state->popup = hook::PackGesture({WM_LBUTTONDOWN, 0, true});
    {
        RunningApp app;
        ASSERT_TRUE(app.Ready());
        EXPECT_TRUE(WaitUntil(  // the balloon at the icon says why
            [] {
                const auto tips = TopLevelWindows("tooltips_class32");
                return std::any_of(tips.begin(), tips.end(), [](HWND tip) {
                    return WindowText(tip).find("Mouse Gestures Are Off") != std::string::npos;
                });
            },
            5000));
        SelectionFixture fixture("not taken");
        ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
        ClickAt(CenterOf(fixture.Edit()), 0);
        ClickAt(CenterOf(fixture.Edit()), 1, {VK_CONTROL});
        EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 1);
        EXPECT_EQ(fixture.ClickCount(WM_RBUTTONDOWN), 1);
        PressKeys({VK_CONTROL}, VK_F1);
        EXPECT_TRUE(WaitUntil([&] { return app.SearchText() == "not taken"; }));
        EXPECT_EQ(state->writerProcess, 0u) << "the program wrote into it";
        EXPECT_EQ(app.ExitThroughTrayMenu(), 0);
    }
    ::UnmapViewOfFile(state);
    ::CloseHandle(squatter);
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    ExpectGestureAndHotKeySearch(app, recorder_, defaultUrl_);
}

TEST_F(ForeignInput, RandomPrivateMessagesNeitherEndNorSteerTheProgram) {
    WriteTestValue(kHistoryKey, "0", REG_SZ, "kept", 5);
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    // The main window, which is the popup, the search box with its combo box, and a link.
    const HWND targets[] = {
        app.MainWindow(), app.SearchBox(), ::GetWindow(app.SearchBox(), GW_CHILD),
        ::FindWindowExA(app.MainWindow(), nullptr, test::kLinkClassName, nullptr)};
    std::mt19937_64 random(33);
    const auto number = [&] {  // 0, -1, pointers into the image or the heap, any number
        const std::uint64_t kinds[] = {0, ~0ull, 0x140000000ull + random() % 0x100000 * 8,
                                       0x10000ull + random() % 0x1000000 * 16, random()};
        return kinds[random() % 5];
    };
    for (int i = 0; i < 10000; ++i) {
        const UINT message = (random() % 2 ? WM_APP : WM_USER) + random() % 0x101;
        const HWND target = targets[random() % std::size(targets)];
        const std::uint64_t wParam = number(), lParam = number();
        while (!::PostMessageA(target, message, static_cast<WPARAM>(wParam),
                               static_cast<LPARAM>(lParam)) &&
               ::IsWindow(target) && app.Process().IsRunning()) {
            ::Sleep(10);  // a full queue
        }
    }
    ::WaitForInputIdle(app.Process().Process(), 60000);  // the program has taken them all
    app.WaitPastCaptureWindow();                         // whatever they began has ended
    ASSERT_TRUE(app.Process().IsRunning()) << "exit code " << app.Process().WaitForExit(0);
    EXPECT_TRUE(recorder_.Urls().empty());
    EXPECT_EQ(StoredHistory(), std::vector<std::string>{"kept"});
    ExpectGestureAndHotKeySearch(app, recorder_, defaultUrl_);
}

}  // namespace
}  // namespace vp
