#include "tests/win/RunningApp.h"

#include "core/RegistryKeys.h"
#include "resources/resource.h"
#include "sites/SiteListFile.h"
#include "tests/win/Fixtures.h"
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
    LoadSiteList(catalogue, nullptr);
    return catalogue;
}

std::vector<std::string> StoredHistory() {
    std::vector<std::string> entries;
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kHistoryKey, KEY_READ);
    for (;;) {
        char text[300] = {};
        DWORD size = sizeof text - 1;
        if (!key ||
            ::RegQueryValueExA(key.Get(), std::to_string(entries.size()).c_str(), nullptr, nullptr,
                               reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS) {
            return entries;
        }
        entries.push_back(text);
    }
}

RunningApp::RunningApp(const std::string& arguments) : process_(arguments) {
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
}

std::string RunningApp::SearchText() const {
    return WindowText(searchBox_);
}

HWND RunningApp::OpenTrayMenu() {
    ::PostMessageA(mainWindow_, 0x0400 + 10 /*WM_TRAY_NOTIFY*/, 1, WM_RBUTTONUP);
    return WaitForTopLevelWindow("#32768", nullptr, 5000);
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
