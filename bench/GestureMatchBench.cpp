// Cost of the gesture hook's decision for one retrieved message, beside a pass-through
// that decides nothing. The hook runs on every message of every application's threads,
// so the decision must stay within a few nanoseconds of the pass-through.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "hook/GestureMatch.h"

namespace vp::hook {
namespace {

// Messages as applications retrieve them, with no button among them.
constexpr std::array<std::uint32_t, 8> kOtherMessages = {0x000F, 0x0200, 0x0113, 0x0100,
                                                         0x0101, 0x0020, 0x0084, 0x0400};

// Mouse button traffic: gestures, plain clicks and releases of every button.
constexpr std::array<std::uint32_t, 8> kButtonMessages = {
    kLeftButtonDown, kLeftButtonUp, kRightButtonDown,  kRightButtonUp,
    kXButtonDown,    kXButtonUp,    kMiddleButtonDown, kMiddleButtonUp};

template <std::size_t N>
void RunDecision(benchmark::State& state, const std::array<std::uint32_t, N>& messages) {
    const Gesture popup{kRightButtonDown, kControlKey, true};
    const Gesture defaultSite{kLeftButtonDown, kControlKey | kShiftKey, true};
    bool popupPending = false;
    bool defaultPending = false;
    std::size_t index = 0;
    for (auto _ : state) {
        // Every other pair of messages comes with Ctrl held, so some presses match.
        std::uint64_t keyState = (index & 2) != 0 ? kControlKey : 0;
        GestureOutcome outcome = MatchGesture(messages[index % N], keyState, popup, defaultSite,
                                              popupPending, defaultPending);
        benchmark::DoNotOptimize(outcome);
        ++index;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_PassThrough(benchmark::State& state) {
    std::size_t index = 0;
    for (auto _ : state) {
        std::uint32_t message = kOtherMessages[index % kOtherMessages.size()];
        benchmark::DoNotOptimize(message);
        ++index;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PassThrough);

void BM_DecisionOtherMessage(benchmark::State& state) {
    RunDecision(state, kOtherMessages);
}
BENCHMARK(BM_DecisionOtherMessage);

void BM_DecisionMouseButton(benchmark::State& state) {
    RunDecision(state, kButtonMessages);
}
BENCHMARK(BM_DecisionMouseButton);

}  // namespace
}  // namespace vp::hook

BENCHMARK_MAIN();
