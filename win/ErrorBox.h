// The one error policy of the user interface: the error box, the system's description of
// an error, the reporter of exceptions that reach a window or dialog procedure, and the
// guards that user-interface entry points put around their work.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace vp {

// The program's own texts that this layer shows. The program hands them over at start-up:
// its string table and its words are not this layer's to know.
struct ProgramTexts {
    std::uint32_t captionId = 0;   // string-table entry: the error box's caption
    std::string systemError;       // a failure without a message of its own
    std::string unknownException;  // an exception that is not the program's own
};
void SetProgramTexts(const ProgramTexts& texts);
const ProgramTexts& CurrentProgramTexts();

// The system's description of an error, without its line end: empty for no error (0),
// "Error N" when the system has no text for it.
std::string SystemErrorText(std::uint32_t error);

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

// Runs work whose failure the user does not hear about: the work stops where it failed
// and the command ends there, as the commands that use this are meant to.
template <typename Work>
void RunQuietly(Work&& work) {
    try {
        work();
    } catch (...) {
        // Dropped on purpose: these commands report nothing, whatever failed.
    }
}

}  // namespace vp
