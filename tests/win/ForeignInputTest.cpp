// What other programs of the desktop can do to the running program: post it messages of
// every private number, and make the gesture hook's state before it does.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "hook/HookState.h"
#include "tests/win/AppProcess.h"
#include "tests/win/Fixtures.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"
#include "tests/win/WindowSearch.h"
#include "win/Handle.h"
#include "win/Registry.h"

namespace vp {
namespace {

// Every value below HKCU\<path>, by its path and name, with its type and bytes.
void ReadTree(HKEY root, const std::string& path, std::map<std::string, std::string>& values) {
    win::RegKey key = win::OpenKey(root, path.c_str(), KEY_READ);
    if (!key) {
        return;
    }
    char name[256];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (::RegEnumValueA(key.Get(), i, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
        values[path + "|" + name] =
            std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), dataSize);
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        if (::RegEnumKeyExA(key.Get(), i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        ReadTree(root, path + "\\" + name, values);
    }
}

std::map<std::string, std::string> ProgramRegistry() {
    std::map<std::string, std::string> values;
    ReadTree(HKEY_CURRENT_USER, "SOFTWARE\\Quenhollow", values);
    ReadTree(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", values);
    return values;
}

// The gesture and Ctrl+F1 of a program that runs with its defaults both search.
void ExpectGestureAndHotKeySearch(RunningApp& app, UrlRecorder& recorder,
                                  const std::string& defaultUrl) {
    SelectionFixture fixture("still searched");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    const std::size_t before = recorder.Urls().size();
    ClickAt(CenterOf(fixture.Edit()), 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(recorder.WaitForUrls(before + 1));
    EXPECT_EQ(recorder.Urls().back(), defaultUrl + "still searched");
    EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 0);

    SelectionFixture second("looked up");
    ASSERT_TRUE(second.Ready()) << second.Problem();
    app.SetSearchText("");
    PressKeys({VK_CONTROL}, VK_F1);
    EXPECT_TRUE(WaitUntil([&] { return app.SearchText() == "looked up"; }));
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(app.MainWindow()) != FALSE; }));
}

class ForeignMessages : public RecordedSearchTest {};

// Another program posts the main window (the popup) and its children 10,000 messages of
// the private ranges with arbitrary numbers, pointers among them.
TEST_F(ForeignMessages, RandomPrivateMessagesNeitherEndNorSteerTheProgram) {
    WriteTestDword("SOFTWARE\\Quenhollow\\Vantapicker\\Settings", "PopupWindowButton", 1);
    WriteTestValue("SOFTWARE\\Quenhollow\\Vantapicker\\MRU", "0", REG_SZ, "kept", 5);
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    const auto stored = ProgramRegistry();
    std::vector<HWND> targets{app.MainWindow()};
    ::EnumChildWindows(
        app.MainWindow(),
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&targets));
    ASSERT_GE(targets.size(), 3u);  // the search box and the links

    std::mt19937_64 random(33);
    const auto number = [&]() -> std::uint64_t {
        switch (random() % 6) {
            case 0:
                return 0;
            case 1:
                return ~std::uint64_t{0};
            case 2:  // a pointer into the program's image or heap
                return 0x140000000ull + (random() % 0x100000) * 8;
            case 3:
                return 0x10000ull + (random() % 0x1000000) * 16;
            case 4:
                return random() & 0xFFFFFFFFu;
            default:
                return random();
        }
    };
    for (int i = 0; i < 10000; ++i) {
        const UINT base = random() % 2 == 0 ? WM_APP : WM_USER;
        const UINT message = base + static_cast<UINT>(random() % 0x101);
        const HWND target = targets[random() % targets.size()];
        const auto wParam = static_cast<WPARAM>(number());
        const auto lParam = static_cast<LPARAM>(number());
        // A full queue takes messages again once the program has caught up.
        for (int tries = 0; !::PostMessageA(target, message, wParam, lParam) && tries < 200;
             ++tries) {
            ::Sleep(10);
        }
        if (i % 500 == 499) {
            DWORD_PTR answer = 0;
            ::SendMessageTimeoutA(app.MainWindow(), WM_NULL, 0, 0, SMTO_BLOCK, 10000, &answer);
        }
    }
    PumpMessagesFor(2000);
    ASSERT_TRUE(app.Process().IsRunning()) << "exit code " << app.Process().WaitForExit(0);
    // A menu or a popup that a message opened is closed again, as a user would.
    PressKeys({}, VK_ESCAPE);
    WaitForNoMenu();
    EXPECT_TRUE(recorder_.Urls().empty());
    EXPECT_EQ(ProgramRegistry(), stored);
    ExpectGestureAndHotKeySearch(app, recorder_, defaultUrl_);
    EXPECT_TRUE(app.Process().IsRunning());
}

// The gesture hook's state under its name in this session, as another program of the
// user's could make it before the program runs.
std::wstring HookStateName() {
    HANDLE token = nullptr;
    union {
        TOKEN_USER user;
        BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } user{};
    DWORD size = 0;
    wchar_t name[hook::kSidTextUnits] = {};
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        if (::GetTokenInformation(token, TokenUser, &user, sizeof user, &size)) {
            hook::SidText(hook::kHookStatePrefix,
                          static_cast<const std::uint8_t*>(user.user.User.Sid),
                          ::GetLengthSid(user.user.User.Sid), "", name, hook::kSidTextUnits);
        }
        ::CloseHandle(token);
    }
    return name;
}

// The texts of the balloons that the notification area shows.
std::vector<std::string> BalloonTexts() {
    std::vector<std::string> texts;
    for (HWND tip : TopLevelWindows("tooltips_class32")) {
        texts.push_back(WindowText(tip));
    }
    return texts;
}

bool BalloonSays(const std::string& words) {
    for (const std::string& text : BalloonTexts()) {
        if (text.find(words) != std::string::npos) {
            return true;
        }
    }
    return false;
}

class ForeignHookState : public RecordedSearchTest {};

// Another program made the state first, writable by everyone, and keeps it writable: it
// names a plain left click as the popup gesture. The program installs no hook on it,
// says so at its icon and keeps its hot keys; once that program has ended, the next
// start has its gestures.
TEST_F(ForeignHookState, AStateMadeByAnotherProgramGetsNoHook) {
    const std::wstring name = HookStateName();
    ASSERT_FALSE(name.empty());
    PSECURITY_DESCRIPTOR everyone = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "D:(A;;GA;;;WD)", SDDL_REVISION_1, &everyone, nullptr));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, everyone, FALSE};
    win::KernelHandle squatter(::CreateFileMappingW(INVALID_HANDLE_VALUE, &attributes,
                                                    PAGE_READWRITE, 0, sizeof(hook::HookState),
                                                    name.c_str()));
    const DWORD created = ::GetLastError();
    ::LocalFree(everyone);
    ASSERT_TRUE(squatter);
    ASSERT_NE(created, static_cast<DWORD>(ERROR_ALREADY_EXISTS))
        << "the state exists already: run this suite alone, in a new Wine session";
    auto* state = static_cast<hook::HookState*>(
        ::MapViewOfFile(squatter.Get(), FILE_MAP_WRITE, 0, 0, sizeof(hook::HookState)));
    ASSERT_NE(state, nullptr);
    *state = hook::InitialHookState();
    state->popup = hook::PackGesture({WM_LBUTTONDOWN, 0, true});
    const hook::HookState written = *state;
    {
        RunningApp app;
        ASSERT_TRUE(app.Ready());
        EXPECT_TRUE(WaitUntil([] { return BalloonSays("Mouse Gestures Are Off"); }, 5000));
        SelectionFixture fixture("not taken");
        ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
        ClickAt(CenterOf(fixture.Edit()), 0);
        ClickAt(CenterOf(fixture.Edit()), 1, {VK_CONTROL});
        EXPECT_EQ(fixture.ClickCount(WM_LBUTTONDOWN), 1);
        EXPECT_EQ(fixture.ClickCount(WM_RBUTTONDOWN), 1);
        PressKeys({VK_CONTROL}, VK_F1);
        EXPECT_TRUE(WaitUntil([&] { return app.SearchText() == "not taken"; }));
        EXPECT_EQ(std::memcmp(state, &written, sizeof written), 0) << "the program wrote to it";
        EXPECT_EQ(app.ExitThroughTrayMenu(), 0);
    }
    ::UnmapViewOfFile(state);
    squatter.Reset();

    RunningApp app;
    ASSERT_TRUE(app.Ready());
    ExpectGestureAndHotKeySearch(app, recorder_, defaultUrl_);
}

}  // namespace
}  // namespace vp
