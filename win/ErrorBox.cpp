#include "win/ErrorBox.h"

#include <windows.h>

#include <string>

#include "base/ErrorCode.h"
#include "win/QhError.h"
#include "win/WinText.h"

namespace vp {
namespace {
ExceptionReporter installedReporter = nullptr;
ProgramTexts programTexts;
}  // namespace

void SetProgramTexts(const ProgramTexts& texts) {
    programTexts = texts;
}

const ProgramTexts& CurrentProgramTexts() {
    return programTexts;
}

std::string SystemErrorText(std::uint32_t error) {
    if (error == 0) {
        return {};
    }
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length != 0 ? std::string(buffer, length) : std::string();
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text.empty() ? "Error " + std::to_string(error) : text;
}

void ShowErrorBox(std::int32_t code, const std::string& text) {
    if (code >= 0) {
        return;
    }
    std::string caption = LoadResourceString(programTexts.captionId);
    ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_ICONINFORMATION);
}

void ShowSystemErrorBox(std::uint32_t messageId, std::uint32_t error) {
    const std::string reason = SystemErrorText(error);
    ShowErrorBox(error != 0 ? ResultFromSystemError(static_cast<std::int32_t>(error)) : kResultFail,
                 LoadResourceString(messageId) + (reason.empty() ? "" : "\r\n\r\n" + reason));
}

void ShowExceptionBox(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const _qh_error& qhError) {
        ShowErrorBox(qhError.Code(), qhError.Text());
    } catch (...) {
        ShowErrorBox(kResultUnexpected, programTexts.unknownException);
    }
}

ExceptionReporter SetExceptionReporter(ExceptionReporter reporter) {
    ExceptionReporter previous = installedReporter;
    installedReporter = reporter;
    return previous;
}

void ReportException(std::exception_ptr error) {
    try {
        (installedReporter != nullptr ? installedReporter : ShowExceptionBox)(error);
    } catch (...) {
        // A reporter that fails itself has nowhere left to report to.
    }
}

}  // namespace vp
