// Steps shared by the benchmarks that drive the real program over the selection fixture.
#pragma once

#include <windows.h>

#include "bench/LatencySupport.h"
#include "tests/fixtures/FixtureMessages.h"
#include "tests/win/Fixtures.h"
#include "tests/win/RunningApp.h"

namespace vp::bench {

// The fixture in front with its selection and the popup hidden, and the program idle
// again (hiding a window can keep its thread busy for a while under Wine).
inline bool PrepareSample(const RunningApp& app, const SelectionFixture& fixture) {
    ::PostMessageA(fixture.Window(), test::selection_fixture::kComeForward, 0, 0);
    if (!SpinUntil(
            [&] {
                return ::GetForegroundWindow() == fixture.Window() &&
                       !::IsWindowVisible(app.MainWindow());
            },
            5000)) {
        return false;
    }
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutA(app.MainWindow(), WM_NULL, 0, 0, SMTO_BLOCK, 10000, &answer) != 0;
}

}  // namespace vp::bench
