#include "base/ErrorCode.h"

#include <gtest/gtest.h>

namespace vp {
namespace {

TEST(ErrorCode, SystemErrorsBecomeFailureCodes) {
    EXPECT_EQ(static_cast<std::uint32_t>(ResultFromSystemError(5)), 0x80070005u);
    EXPECT_EQ(static_cast<std::uint32_t>(ResultFromSystemError(2)), 0x80070002u);
    // Only the low 16 bits of the error are kept.
    EXPECT_EQ(static_cast<std::uint32_t>(ResultFromSystemError(0x12345)), 0x80072345u);
    EXPECT_EQ(ResultFromSystemError(0), 0);
    EXPECT_EQ(ResultFromSystemError(-7), -7);
    EXPECT_EQ(ResultFromSystemError(kResultFail), kResultFail);
}

}  // namespace
}  // namespace vp
