#!/usr/bin/env bash
# Measures how long the Options dialog takes to open from the tray menu, with the default
# catalogue and with 10,000 sites: builds the mingw build's latency program and runs it
# under Wine in a test session of its own.
#   bench/options-latency.sh [STATE]   STATE: the session's folder (default
#                                      build/mingw/options-latency-session)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
state=${1:-$root/build/mingw/options-latency-session}

[ -f build/mingw/build.ninja ] || cmake --preset mingw
cmake --build build/mingw --target vp_options_latency
tests/wine/session.sh start "$state" >/dev/null
trap 'tests/wine/session.sh stop "$state" >/dev/null' EXIT
tests/wine/run-in-wine.sh "$state" build/mingw/bin/vp_options_latency.exe
