#!/bin/sh
# Builds the fuzz preset and runs each fuzzer for a bounded time: the site list reader and
# the capture session's rules.
# Usage: fuzz/run.sh [seconds]   (default 30, for each). Exits non-zero when a fuzzer finds a
# crash; the crashing input is then in build/fuzz/artifacts/.
set -eu

seconds=${1:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

cmake --preset fuzz
cmake --build build/fuzz --target vp_site_list_fuzzer vp_capture_session_fuzzer

artifacts=build/fuzz/artifacts
mkdir -p "$artifacts"
for fuzzer in site_list capture_session; do
    # The fuzzer adds the inputs it finds to its corpus: work on a copy.
    corpus=build/fuzz/corpus/$fuzzer
    mkdir -p "$corpus"
    if [ -d "fuzz/corpus/$fuzzer" ]; then
        cp "fuzz/corpus/$fuzzer"/* "$corpus"/
    fi
    "build/fuzz/bin/vp_${fuzzer}_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$artifacts"/ "$corpus"
done
