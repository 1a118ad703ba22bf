#!/bin/sh
# Builds the fuzz preset and runs the site list fuzzer for a bounded time.
# Usage: fuzz/run.sh [seconds]   (default 30). Exits non-zero when the fuzzer finds a crash;
# the crashing input is then in build/fuzz/artifacts/.
set -eu

seconds=${1:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

cmake --preset fuzz
cmake --build build/fuzz --target vp_site_list_fuzzer

# The fuzzer adds the inputs it finds to its corpus: work on a copy.
corpus=build/fuzz/corpus/site_list
artifacts=build/fuzz/artifacts
mkdir -p "$corpus" "$artifacts"
cp fuzz/corpus/site_list/* "$corpus"/

build/fuzz/bin/vp_site_list_fuzzer -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$artifacts"/ "$corpus"
