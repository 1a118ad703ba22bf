// The error box, the reporter of exceptions that reach a window or dialog procedure, and
// the guard that user-interface entry points put around their work.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace vp {

// Shows text under the caption "Vantapicker", only when code is a failure (negative).
void ShowErrorBox(std::int32_t code, const std::string& text);

// Shows string `messageId` followed by the system's description of `error`, always as a
// failure: the string alone when the system gives no reason (error 0), never a silent box.
void ShowSystemErrorBox(std::uint32_t messageId, std::uint32_t error);

// Shows an exception as the program reports errors: a _qh_error with its code and text,
// anything else as E_UNEXPECTED with "Unknown Exception is Caught".
void ShowExceptionBox(std::exception_ptr error);

// Where exceptions that reach a window or dialog procedure go. The program installs
// ShowExceptionBox; until a reporter is installed they go there too.
using ExceptionReporter = void (*)(std::exception_ptr);
// Returns the reporter that was installed before.
ExceptionReporter SetExceptionReporter(ExceptionReporter reporter);
void ReportException(std::exception_ptr error);

// Runs work; an escaping exception is shown by ShowExceptionBox. Returns false when work
// failed.
template <typename Work>
bool RunReportingErrors(Work&& work) {
    try {
        work();
        return true;
    } catch (...) {
        ShowExceptionBox(std::current_exception());
    }
    return false;
}

}  // namespace vp
