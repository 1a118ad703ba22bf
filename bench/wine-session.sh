#!/usr/bin/env bash
# Builds the mingw build's benchmark programs and runs them one after the other under
# Wine, in a test session of its own.
#   bench/wine-session.sh STATE TARGET...   STATE: the session's folder
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
state=$1
shift

[ -f build/mingw/build.ninja ] || cmake --preset mingw
cmake --build build/mingw --target "$@"
tests/wine/session.sh start "$state" >/dev/null
trap 'tests/wine/session.sh stop "$state" >/dev/null' EXIT
for target in "$@"; do
    tests/wine/run-in-wine.sh "$state" "build/mingw/bin/$target.exe"
done
