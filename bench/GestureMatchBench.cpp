// Cost of the gesture hook's decision for one retrieved message. The hook runs on every
// message of every application's threads, so this must stay a few nanoseconds.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "hook/GestureMatch.h"

namespace vp::hook {
namespace {

// A mix as applications retrieve it: mostly other messages, some mouse traffic and
// the gesture itself now and then.
constexpr std::array<std::uint32_t, 16> kMessages = {
    0x000F, 0x0200, 0x0200, 0x0113, 0x0100, 0x0101, kLeftButtonDown, kLeftButtonUp,
    0x0200, kRightButtonDown, kRightButtonUp, 0x0020, 0x0084, 0x020A, 0x0200, 0x0400};

void BM_MatchGesture(benchmark::State& state) {
    const Gesture popup{kRightButtonDown, kControlKey, true};
    const Gesture defaultSite{kLeftButtonDown, kControlKey | kShiftKey, true};
    bool popupPending = false;
    bool defaultPending = false;
    std::size_t index = 0;
    for (auto _ : state) {
        std::uint64_t keyState = (index & 4) != 0 ? kControlKey : 0;
        GestureOutcome outcome = MatchGesture(kMessages[index % kMessages.size()], keyState, popup,
                                              defaultSite, popupPending, defaultPending);
        benchmark::DoNotOptimize(outcome);
        ++index;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MatchGesture);

}  // namespace
}  // namespace vp::hook

BENCHMARK_MAIN();
