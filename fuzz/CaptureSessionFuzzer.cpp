// Feeds event sequences to the capture session and checks its rules after each one: the
// bytes choose the events, their order and the time between them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/unit/CaptureSessionDriver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t position = 0;
    auto next = [&](std::uint32_t below) -> std::uint32_t {
        std::uint32_t value = 0;
        for (std::uint32_t range = 1; range < below && position < size; range <<= 8) {
            value = (value << 8) | data[position++];
        }
        return value % below;
    };
    vp::test::CaptureSessionDriver driver;
    const std::string problem = driver.Run(next, static_cast<int>(size / 2));
    if (!problem.empty()) {
        std::fprintf(stderr, "capture session: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
