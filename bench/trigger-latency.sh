#!/usr/bin/env bash
# Measures how long the popup takes to appear after Ctrl+F1 over a selection: builds the
# mingw build's latency program and runs it under Wine in a test session of its own.
#   bench/popup-latency.sh [STATE]   STATE: the session's folder (default
#                                    build/mingw/popup-latency-session)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
state=${1:-$root/build/mingw/popup-latency-session}

[ -f build/mingw/build.ninja ] || cmake --preset mingw
cmake --build build/mingw --target vp_popup_latency
tests/wine/session.sh start "$state" >/dev/null
trap 'tests/wine/session.sh stop "$state" >/dev/null' EXIT
tests/wine/run-in-wine.sh "$state" build/mingw/bin/vp_popup_latency.exe
