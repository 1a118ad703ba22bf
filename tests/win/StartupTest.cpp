// Start-up, single instance and registration switches of the real Vantapicker.exe.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/Registration.h"
#include "core/RegistryKeys.h"
#include "sites/SiteListFile.h"
#include "tests/win/AppProcess.h"
#include "tests/win/Fixtures.h"
#include "tests/win/Protocol.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"
#include "tests/win/WindowSearch.h"
#include "win/ErrorBox.h"
#include "win/Registry.h"

namespace vp {
namespace {

constexpr char kAppIdKey[] = "AppID\\{6B0E2C51-3A8F-4D72-B1C4-5E9A07D3F286}";
constexpr char kExeAppIdKey[] = "AppID\\Vantapicker.EXE";
constexpr char kTypeLibVersionKey[] = "TypeLib\\{3F1C2B7A-8E4D-4C6B-9A51-2D7E0B6C4F19}\\1.0";

bool ClassesKeyExists(const char* path) {
    return static_cast<bool>(win::OpenKey(HKEY_CLASSES_ROOT, path, KEY_READ));
}

std::string ClassesString(const char* path, const char* name) {
    return ReadTestString(HKEY_CLASSES_ROOT, path, name).value_or("<missing>");
}

// The registered type library's name and help string, or empty when not registered.
std::pair<std::wstring, std::wstring> RegisteredTypeLibrary() {
    ITypeLib* library = nullptr;
    if (FAILED(::LoadRegTypeLib(kTypeLibraryId, 1, 0, 0x409, &library))) {
        return {};
    }
    BSTR name = nullptr;
    BSTR help = nullptr;
    library->GetDocumentation(-1, &name, &help, nullptr, nullptr);
    std::pair<std::wstring, std::wstring> result{name ? name : L"", help ? help : L""};
    ::SysFreeString(name);
    ::SysFreeString(help);
    library->Release();
    return result;
}

long RunToEnd(const std::string& arguments) {
    AppProcess process(arguments);
    return process.WaitForExit();
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override {
        ::CoInitialize(nullptr);
        InstallDefaultCatalogue();
        RunToEnd("-UnregServer");  // fails when nothing is registered: only a clean start
        ASSERT_FALSE(ClassesKeyExists(kAppIdKey));
    }
    void TearDown() override { ::CoUninitialize(); }
};

TEST_F(Registration, RegServerWritesAppIdEntriesAndTypeLibrary) {
    ASSERT_FALSE(ClassesKeyExists(kAppIdKey));
    EXPECT_EQ(RunToEnd("-RegServer"), 0);
    EXPECT_EQ(ClassesString(kAppIdKey, nullptr), "Vantapicker");
    EXPECT_EQ(ClassesString(kExeAppIdKey, "AppID"), kAppIdText);
    auto [name, help] = RegisteredTypeLibrary();
    EXPECT_EQ(name, L"VANTAPICKERLib");
    EXPECT_EQ(help, L"Vantapicker 1.0 Type Library");
    EXPECT_EQ(WaitForMainWindow(0), nullptr);  // registering does not start the program
}

TEST_F(Registration, SwitchIsCaseInsensitiveAndTakesSlash) {
    EXPECT_EQ(RunToEnd("/regserver"), 0);
    EXPECT_EQ(ClassesString(kAppIdKey, nullptr), "Vantapicker");
    EXPECT_EQ(ClassesString(kExeAppIdKey, "AppID"), kAppIdText);
    EXPECT_EQ(RegisteredTypeLibrary().first, L"VANTAPICKERLib");
}

TEST_F(Registration, UnregServerRemovesExactlyWhatWasRegistered) {
    ASSERT_EQ(RunToEnd("-RegServer"), 0);
    ASSERT_TRUE(ClassesKeyExists(kTypeLibVersionKey));
    // Neighbours: another program's AppID, another version of the type library.
    constexpr char kOtherAppIdKey[] = "AppID\\{0A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9}";
    constexpr char kOtherVersionKey[] = "TypeLib\\{3F1C2B7A-8E4D-4C6B-9A51-2D7E0B6C4F19}\\2.0";
    ASSERT_TRUE(win::CreateKey(HKEY_CLASSES_ROOT, kOtherAppIdKey));
    ASSERT_TRUE(win::CreateKey(HKEY_CLASSES_ROOT, kOtherVersionKey));

    EXPECT_EQ(RunToEnd("/UNREGSERVER"), 0);
    EXPECT_FALSE(ClassesKeyExists(kAppIdKey));
    EXPECT_FALSE(ClassesKeyExists(kExeAppIdKey));
    EXPECT_FALSE(ClassesKeyExists(kTypeLibVersionKey));
    EXPECT_TRUE(RegisteredTypeLibrary().first.empty());
    EXPECT_TRUE(ClassesKeyExists(kOtherAppIdKey));
    EXPECT_TRUE(ClassesKeyExists(kOtherVersionKey));
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kOtherAppIdKey);
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kOtherVersionKey);
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "TypeLib\\{3F1C2B7A-8E4D-4C6B-9A51-2D7E0B6C4F19}");
}

TEST_F(Registration, SwitchNotAtTheEndOrWithoutPrefixStartsTheProgram) {
    for (const char* arguments : {"RegServer", "-RegServer more"}) {
        AppProcess process(arguments);
        EXPECT_NE(WaitForMainWindow(), nullptr) << arguments;
        EXPECT_TRUE(process.IsRunning()) << arguments;
        EXPECT_FALSE(ClassesKeyExists(kAppIdKey)) << arguments;
        ::TerminateProcess(process.Process(), 0);
        process.WaitForExit();
    }
}

// Setup registers while a copy may run: the switch is served and reports its result.
TEST_F(Registration, SwitchIsServedWhileAnInstanceRuns) {
    AppProcess running;
    HWND window = WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(RunToEnd("-RegServer"), 0);
    EXPECT_EQ(ClassesString(kAppIdKey, nullptr), "Vantapicker");
    EXPECT_EQ(RegisteredTypeLibrary().first, L"VANTAPICKERLib");
    EXPECT_EQ(RunToEnd("-UnregServer"), 0);
    EXPECT_FALSE(ClassesKeyExists(kAppIdKey));
    EXPECT_TRUE(running.IsRunning());
    EXPECT_EQ(WaitForMainWindow(0), window);
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override { InstallDefaultCatalogue(); }
};

TEST_F(Startup, CreatesItsHiddenMainWindowAndMutex) {
    AppProcess process;
    HWND window = WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    EXPECT_EQ(processId, ::GetProcessId(process.Process()));
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(WindowText(window), " Vantapicker");
    LONG_PTR style = ::GetWindowLongPtrA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_VISIBLE), WS_CAPTION | WS_SYSMENU);
    EXPECT_TRUE(::GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    win::KernelHandle mutex(::OpenMutexA(SYNCHRONIZE, FALSE, test::kInstanceMutexName));
    EXPECT_TRUE(mutex);
}

TEST_F(Startup, SecondStartEndsWithZeroAndLeavesTheFirstRunning) {
    AppProcess first;
    HWND window = WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    AppProcess second;
    EXPECT_EQ(second.WaitForExit(), 0);
    EXPECT_TRUE(first.IsRunning());
    EXPECT_EQ(WaitForMainWindow(0), window);
}

TEST_F(Startup, AnObjectHoldingTheMutexNameShowsTheSystemsReason) {
    // Another program's object of another kind under the mutex's name: CreateMutex fails,
    // and the user is told why the program does not start.
    win::KernelHandle squatter(::CreateEventA(nullptr, TRUE, FALSE, test::kInstanceMutexName));
    ASSERT_TRUE(squatter);
    AppProcess start;
    HWND box = WaitForTopLevelWindow("#32770", "Vantapicker", 10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), SystemErrorText(ERROR_INVALID_HANDLE));
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(start.WaitForExit(10000), 0);
    EXPECT_EQ(WaitForMainWindow(0), nullptr);
    // A mutex of the name with no copy of the program behind it: the box says whose name.
    squatter.Reset();
    squatter.Reset(::CreateMutexA(nullptr, FALSE, test::kInstanceMutexName));
    AppProcess second;
    box = WaitForTopLevelWindow("#32770", "Vantapicker", 10000);
    EXPECT_NE(MessageBoxText(box).find(test::kInstanceMutexName), std::string::npos);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(second.WaitForExit(10000), 0);
}

TEST_F(Startup, StartsAtTheSameMomentLeaveOneProgramWhoseGesturesWork) {
    ResetProgramState();
    UrlRecorder recorder;
    ASSERT_TRUE(recorder.Ready());
    std::vector<std::unique_ptr<AppProcess>> starts;
    for (int i = 0; i < 5; ++i) {
        starts.push_back(std::make_unique<AppProcess>());
    }
    int running = 0;
    for (auto& start : starts) {
        if (start->WaitForExit(4000) == -1) {
            ++running;
        } else {
            EXPECT_EQ(start->WaitForExit(0), 0);
        }
    }
    EXPECT_EQ(running, 1);
    EXPECT_EQ(CountTopLevelWindows(test::kMainWindowClassName, " Vantapicker"), 1);

    SelectionFixture fixture("one instance");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    ClickAt(CenterOf(fixture.Edit()), 0, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(recorder.WaitForUrls(1));
    EXPECT_EQ(recorder.Urls()[0], InstalledCatalogue().Find(0)->url + "one instance");
}

TEST_F(Startup, CloseOnlyHidesTheWindow) {
    AppProcess process;
    HWND window = WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(::IsWindowVisible(window));
    ::SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindowVisible(window));
    ::Sleep(300);
    EXPECT_TRUE(::IsWindow(window));
    EXPECT_TRUE(process.IsRunning());
}

TEST_F(Startup, WithoutAReadableSiteListOneMessageBoxEndsTheProgram) {
    // No site list anywhere, then a plain (unencrypted) one in the Windows directory.
    const std::string plainList =
        "Quenhollow Available Site List\r\n\r\nWeb\r\n\r\n0\r\n0\r\nSearch\r\n"
        "https://search.example/?q=\r\n1\r\n";
    for (bool plain : {false, true}) {
        SCOPED_TRACE(plain ? "plain site list" : "no site list");
        // What the user had stored stays as it was.
        DeleteProgramKeys();
        WriteTestDword(kSettingsKey, "ActiveState", 0);
        WriteTestValue(kHistoryKey, "0", REG_SZ, "kept", 5);
        RemoveSiteLists();
        if (plain) {
            ASSERT_TRUE(WriteFileBytes(SystemSiteListPath(), plainList));
        }
        AppProcess process;
        HWND box = WaitForTopLevelWindow("#32770", "Vantapicker", 10000);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(CountTopLevelWindows("#32770", "Vantapicker"), 1);
        EXPECT_EQ(MessageBoxText(box),
                  "Wrong Application Settings.\r\nReinstall the Application, Please.");
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(process.WaitForExit(), 0);
        EXPECT_EQ(WaitForMainWindow(0), nullptr);
        win::RegKey settings = win::OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_READ);
        EXPECT_EQ(settings ? win::ReadDword(settings.Get(), "ActiveState") : std::nullopt,
                  std::optional<std::uint32_t>(0));
        EXPECT_EQ(StoredHistory(), std::vector<std::string>{"kept"});
    }
    DeleteProgramKeys();
}

}  // namespace
}  // namespace vp
