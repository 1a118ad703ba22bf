// The error box, and the guard that user-interface entry points put around their work.
#pragma once

#include <cstdint>
#include <string>

#include "app/ErrorCode.h"
#include "app/QhError.h"
#include "resources/resource.h"

namespace vp {

// Shows text under the caption "Vantapicker", only when code is a failure (negative).
void ShowErrorBox(std::int32_t code, const std::string& text);

// Runs work; an escaping _qh_error is shown with its code and text, any other exception
// as E_UNEXPECTED with "Unknown Exception is Caught". Returns false when work failed.
template <typename Work>
bool RunReportingErrors(Work&& work) {
    try {
        work();
        return true;
    } catch (const _qh_error& error) {
        ShowErrorBox(error.Code(), error.Text());
    } catch (...) {
        ShowErrorBox(kResultUnexpected, VP_TEXT_UNKNOWN_EXCEPTION);
    }
    return false;
}

}  // namespace vp
