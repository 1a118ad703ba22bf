#include "tests/win/RunningApp.h"

#include <tlhelp32.h>

#include "base/CaptureSession.h"
#include "core/RegistryKeys.h"
#include "resources/resource.h"
#include "sites/SiteListFile.h"
#include "tests/win/Fixtures.h"
#include "tests/win/Protocol.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/WindowSearch.h"
#include "win/Registry.h"

namespace vp {

void ResetProgramState() {
    DeleteProgramKeys();
    InstallDefaultCatalogue();
}

SiteCatalogue InstalledCatalogue() {
    SiteCatalogue catalogue;
    LoadSiteList(catalogue, nullptr, SiteListPolicy());
    return catalogue;
}

std::vector<std::string> StoredHistory() {
    std::vector<std::string> entries;
    while (auto entry = ReadTestString(HKEY_CURRENT_USER, kHistoryKey,
                                       std::to_string(entries.size()).c_str())) {
        entries.push_back(*entry);
    }
    return entries;
}

RunningApp::RunningApp(const std::string& arguments, const std::u16string& program)
    : process_(arguments, program) {
    mainWindow_ = WaitForMainWindow();
    if (mainWindow_ == nullptr) {
        return;
    }
    // The search box is created during start-up; the triggers follow at once.
    WaitUntil(
        [this] {
            searchBox_ = ::GetDlgItem(mainWindow_, IDC_SEARCH_BOX);
            return searchBox_ != nullptr;
        },
        10000);
    // Start-up runs on the program's one thread: once it answers, it has finished.
    DWORD_PTR answer = 0;
    ready_ = searchBox_ != nullptr &&
             ::SendMessageTimeoutA(mainWindow_, WM_NULL, 0, 0, SMTO_BLOCK, 10000, &answer) != 0;
    // A 32-bit application needs the host of the 32-bit hook, which an active program
    // starts during start-up and which installs the hook a moment later.
    DWORD active = 1;
    DWORD size = sizeof active;
    ::RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, "ActiveState", RRF_RT_DWORD, nullptr, &active,
                   &size);
    if (ready_ && FixtureBitness() == 32 && active != 0) {
        ready_ = WaitForHookHost32() != 0;
    }
}

DWORD RunningApp::HookHost32() const {
    const DWORD program = ::GetProcessId(process_.Process());
    win::FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more =
             snapshot.Get() != INVALID_HANDLE_VALUE && ::Process32First(snapshot.Get(), &entry);
         more; more = ::Process32Next(snapshot.Get(), &entry)) {
        if (entry.th32ParentProcessID == program &&
            lstrcmpiA(entry.szExeFile, "VPHookHost32.exe") == 0 &&
            ProcessRuns(entry.th32ProcessID)) {
            return entry.th32ProcessID;
        }
    }
    return 0;
}

DWORD RunningApp::WaitForHookHost32(DWORD previous, DWORD timeoutMs) const {
    DWORD host = 0;
    if (!WaitUntil(
            [&] {
                host = HookHost32();
                return host != 0 && host != previous;
            },
            timeoutMs)) {
        return 0;
    }
    win::KernelHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, host));
    // Wine answers WAIT_FAILED to a process that has not finished its start yet: asked again
    // while the process runs.
    DWORD idle = WAIT_FAILED;
    WaitUntil(
        [&] {
            idle = process ? ::WaitForInputIdle(process.Get(), timeoutMs) : WAIT_TIMEOUT;
            return idle != WAIT_FAILED || ::WaitForSingleObject(process.Get(), 0) != WAIT_TIMEOUT;
        },
        timeoutMs);
    return idle == 0 ? host : 0;
}

bool ProcessRuns(DWORD processId) {
    win::KernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
    return process && ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

std::string RunningApp::SearchText() const {
    return WindowText(searchBox_);
}

void RunningApp::SetSearchText(const std::string& text) const {
    ::SendMessageA(searchBox_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

HWND RunningApp::OpenTrayMenu() {
    ::PostMessageA(mainWindow_, test::kTrayNotify, 1, WM_RBUTTONUP);
    // Generous: with other Wine sessions running beside this one, a menu opened from a
    // dialog's modal loop has taken over 5 s.
    return WaitForTopLevelWindow(test::kMenuClassName, nullptr, 15000, kVisibleWindows);
}

bool RunningApp::WaitPastCaptureWindow(ULONGLONG triggeredAt) const {
    // The window's timer is handled a moment after it is due, when the thread is idle.
    const ULONGLONG end = triggeredAt + kCaptureWindowMs + 150;
    const ULONGLONG now = ::GetTickCount64();
    PumpMessagesFor(end > now ? static_cast<DWORD>(end - now) : 0);
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutA(mainWindow_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer) != 0;
}

bool WaitForNoMenu() {
    return WaitUntil([] {
        return FindTopLevelWindow(test::kMenuClassName, nullptr, kVisibleWindows) == nullptr;
    });
}

bool RunningApp::ChooseTrayMenuItem(char mnemonic) {
    if (OpenTrayMenu() == nullptr) {
        return false;
    }
    PressKeys({}, static_cast<WORD>(::VkKeyScanA(mnemonic) & 0xFF));
    return true;
}

long RunningApp::ExitThroughTrayMenu() {
    if (!ChooseTrayMenuItem('x')) {
        return -1;
    }
    return process_.WaitForExit();
}

void RecordedSearchTest::SetUp() {
    ResetProgramState();
    ASSERT_TRUE(recorder_.Ready());
    defaultUrl_ = InstalledCatalogue().Find(0)->url;
}

void RecordedSearchTest::TearDown() {
    DeleteProgramKeys();
}

}  // namespace vp
