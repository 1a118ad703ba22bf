#!/bin/sh
# Builds the bench preset and runs the benchmarks; arguments go to the benchmark program
# (for example --benchmark_repetitions=5).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

cmake --preset bench
cmake --build build/bench --target vp_site_list_bench vp_gesture_bench
build/bench/bin/vp_site_list_bench "$@"
build/bench/bin/vp_gesture_bench "$@"
