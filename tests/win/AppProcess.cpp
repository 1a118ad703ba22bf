#include "tests/win/AppProcess.h"

#include "sites/SiteListFile.h"
#include "tests/win/Fixtures.h"
#include "tests/win/Protocol.h"
#include "tests/win/WindowSearch.h"
#include "win/WinText.h"

namespace vp {

std::string ProgramPath() {
    char installed[MAX_PATH] = {};
    DWORD length = ::GetEnvironmentVariableA("VP_TEST_PROGRAM", installed, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        return installed;
    }
    return TestProgramFolder() + VP_PROGRAM_PATH;
}

AppProcess::AppProcess(const std::string& arguments, const std::u16string& program) {
    std::u16string commandLine = u"\"";
    commandLine.append(program.empty() ? AnsiToUtf16(ProgramPath()) : program).append(u"\"");
    if (!arguments.empty()) {
        commandLine.append(u" ").append(AnsiToUtf16(arguments));
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(nullptr, reinterpret_cast<wchar_t*>(commandLine.data()), nullptr, nullptr,
                         FALSE, 0, nullptr, nullptr, &startup, &info)) {
        ::CloseHandle(info.hThread);
        process_.Reset(info.hProcess);
    }
}

AppProcess::~AppProcess() {
    if (IsRunning()) {
        ::TerminateProcess(process_.Get(), 1);
        ::WaitForSingleObject(process_.Get(), 5000);
    }
}

long AppProcess::WaitForExit(DWORD timeoutMs) {
    if (!process_ || ::WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0) {
        return -1;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process_.Get(), &code);
    return static_cast<long>(code);
}

bool AppProcess::IsRunning() const {
    return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

void InstallDefaultCatalogue() {
    RemoveSiteLists();
    const std::u16string built = AnsiToUtf16(TestProgramFolder() + "AvailableSites.qhsl");
    ::CopyFileW(WidePointer(built), WidePointer(SystemSiteListPath()), FALSE);
}

void RemoveSiteLists() {
    ::DeleteFileW(WidePointer(UserSiteListPath()));
    ::DeleteFileW(WidePointer(SystemSiteListPath()));
}

HWND WaitForMainWindow(DWORD timeoutMs) {
    return WaitForTopLevelWindow(test::kMainWindowClassName, nullptr, timeoutMs);
}

}  // namespace vp
