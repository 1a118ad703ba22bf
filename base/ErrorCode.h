// Result codes of the program's error type: negative means failure.
#pragma once

#include <cstdint>

namespace vp {

constexpr std::int32_t kResultUnexpected = static_cast<std::int32_t>(0x8000FFFFu);  // E_UNEXPECTED
constexpr std::int32_t kResultFail = static_cast<std::int32_t>(0x80004005u);        // E_FAIL

// A system error becomes a result code: 0 and negative values stay as they are,
// others become 0x8007xxxx with the error's low 16 bits.
constexpr std::int32_t ResultFromSystemError(std::int32_t error) {
    if (error <= 0) {
        return error;
    }
    return static_cast<std::int32_t>(0x80070000u | (static_cast<std::uint32_t>(error) & 0xFFFFu));
}

}  // namespace vp
