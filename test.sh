#!/usr/bin/env bash
# Installs what is missing, builds every target and runs every test: the portable code
# natively (with AddressSanitizer and UBSan), the Windows program and its tests under
# Wine on Xvfb, and a short fuzzing run of the site list reader.
set -uo pipefail
cd "$(dirname "$0")"

VP_WINE32_CHROOT_LATER=1 tools/install-deps.sh || exit 1
# Wine's 32-bit chroot, where the host's wine32 does not run, is made (once per machine)
# while the Windows build runs.
mkdir -p build
tools/wine32-chroot.sh make >build/wine32-chroot.log 2>&1 &
wine32_chroot=$!

set -e
cmake --preset mingw >/dev/null
cmake --build --preset mingw
set +e
if ! wait "$wine32_chroot"; then
    echo "Wine's 32-bit chroot could not be made (build/wine32-chroot.log):"
    tail -n 5 build/wine32-chroot.log
fi

passed=0
failed=0
count() {  # adds the counts of one ctest summary
    local summary
    summary=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
    local failures total
    failures=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$summary")
    if [ -z "$summary" ]; then
        failed=$((failed + 1))
        return
    fi
    passed=$((passed + total - failures))
    failed=$((failed + failures))
}

log=$(mktemp -d)
# The Windows tests mostly wait for windows, timers and other programs: while they run,
# the portable code is built and tested and the fuzzer runs, at the lowest priority, so
# that the tests see the processor as on an idle machine. Three Wine sessions (two 64-bit,
# one 32-bit) run their tests at once, each one test after another.
ctest --preset mingw -j "${VP_WINE_JOBS:-3}" >"$log/mingw.txt" 2>&1 &
wine_tests=$!
echo "== Windows program under Wine: running; its report follows the others"

echo "== Portable code, native, with sanitizers"
if nice -n 19 cmake --preset native >/dev/null && nice -n 19 cmake --build --preset native; then
    nice -n 19 ctest --preset native -j2 2>&1 | tee "$log/native.txt"
fi
count "$log/native.txt"  # a failed build leaves no summary: counted as a failure
if [ -f bench/CMakeLists.txt ]; then
    echo "== Benchmarks: build"
    if ! { nice -n 19 cmake --preset bench >/dev/null && nice -n 19 cmake --build --preset bench; }; then
        echo "the benchmarks did not build"
        failed=$((failed + 1))
    fi
fi

if [ -x fuzz/run.sh ] && command -v clang++ >/dev/null; then
    echo "== Fuzzing the site list reader"
    if nice -n 19 fuzz/run.sh "${VP_FUZZ_SECONDS:-30}"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
    fi
fi

wait "$wine_tests"
echo "== Windows program under Wine"
cat "$log/mingw.txt"
count "$log/mingw.txt"

echo
# CTest counts a skipped test among the passed ones; say which they were.
grep -h '(Skipped)' "$log"/*.txt | sed 's/^ */skipped: /'
tools/wine32-chroot.sh road
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
