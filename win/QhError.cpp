#include "win/QhError.h"

#include <utility>

#include "base/ErrorCode.h"
#include "win/ErrorBox.h"
#include "win/WinText.h"

namespace vp {

_qh_error::_qh_error(std::int32_t code, UINT messageId)
    : code_(code),
      text_(messageId == 0 ? CurrentProgramTexts().systemError
                           : LoadResourceString(messageId)) {}

_qh_error _qh_error::FromLastError(UINT messageId) {
    return FromSystemError(::GetLastError(), messageId);
}

_qh_error _qh_error::FromSystemError(DWORD error, UINT messageId) {
    return _qh_error(ResultFromSystemError(static_cast<std::int32_t>(error)), messageId);
}

_qh_error _qh_error::WithSystemText(DWORD error, UINT messageId) {
    _qh_error result = FromSystemError(error, messageId);
    if (std::string text = SystemErrorText(error); !text.empty()) {
        result.text_ = std::move(text);
    }
    return result;
}

}  // namespace vp
