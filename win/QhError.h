// The program's one error type: a result code and a message from the string table.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace vp {

// NOLINTNEXTLINE(readability-identifier-naming): the name is the program's own.
class _qh_error {
public:
    static constexpr std::size_t kMaxTextLength = 255;

    // The given result code and string-table message (0 gives "System Error").
    _qh_error(std::int32_t code, UINT messageId);
    // The calling thread's last system error.
    static _qh_error FromLastError(UINT messageId);
    // A given system error.
    static _qh_error FromSystemError(DWORD error, UINT messageId);
    // A given system error with the system's own description as the text (string 150
    // style boxes are built by the caller); the message when the system has none.
    static _qh_error WithSystemText(DWORD error, UINT messageId);

    std::int32_t Code() const { return code_; }
    const std::string& Text() const { return text_; }

private:
    std::int32_t code_;
    std::string text_;
};

}  // namespace vp
