#!/usr/bin/env bash
# Measures how long the hot keys take over a selection (Ctrl+F1 to the visible popup,
# Ctrl+F2 to the URL the browser receives): builds the mingw build's latency program and
# runs it under Wine in a test session of its own.
#   bench/trigger-latency.sh [STATE]   STATE: the session's folder (default
#                                      build/mingw/trigger-latency-session)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
state=${1:-$root/build/mingw/trigger-latency-session}

[ -f build/mingw/build.ninja ] || cmake --preset mingw
cmake --build build/mingw --target vp_trigger_latency
tests/wine/session.sh start "$state" >/dev/null
trap 'tests/wine/session.sh stop "$state" >/dev/null' EXIT
tests/wine/run-in-wine.sh "$state" build/mingw/bin/vp_trigger_latency.exe
