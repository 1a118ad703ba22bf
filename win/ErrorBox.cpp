#include "win/ErrorBox.h"

#include <windows.h>

#include "base/ErrorCode.h"
#include "resources/resource.h"
#include "win/QhError.h"
#include "win/WinText.h"

namespace vp {
namespace {
ExceptionReporter installedReporter = nullptr;
}

void ShowErrorBox(std::int32_t code, const std::string& text) {
    if (code >= 0) {
        return;
    }
    std::string caption = LoadResourceString(IDS_PRODUCT_NAME);
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
        ShowErrorBox(kResultUnexpected, VP_TEXT_UNKNOWN_EXCEPTION);
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
