#!/usr/bin/env bash
# Runs one Windows test program in the test session's Wine prefix and display, then
# ends every program of the prefix that is still running, so no test leaves anything
# behind for the next one.
#   run-in-wine.sh STATE PROGRAM.exe [ARGS...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=$1
shift
export WINEPREFIX=$state/prefix
source "$here/env.sh"
if [ ! -f "$state/display" ]; then
    echo "no Wine test session at $state (run the wine_session_start test first)" >&2
    exit 1
fi
export DISPLAY=$(cat "$state/display")
wine "$@"
status=$?
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
exit $status
