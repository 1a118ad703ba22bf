#!/usr/bin/env bash
# Installs Vantapicker silently in the test session's Wine prefix, checks what setup put
# in place, then uninstalls and checks that the program is gone while the user's own
# site list stays.
#   installer-test.sh STATE SETUP.exe
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=$1
setup=$2
run() { "$here/wine/run-in-wine.sh" "$state" "$@"; }
export WINEPREFIX=$state/prefix
drive=$WINEPREFIX/drive_c
program=$drive/Program\ Files/Quenhollow/Vantapicker
failures=0
check() {  # check DESCRIPTION COMMAND...
    local description=$1
    shift
    if "$@"; then
        echo "ok: $description"
    else
        echo "FAILED: $description"
        failures=$((failures + 1))
    fi
}

run "$setup" /S
status=$?
check "setup succeeds" test $status -eq 0
check "program installed" test -f "$program/Vantapicker.exe"
check "hook library installed" test -f "$program/VPHook.dll"
check "user guide installed" test -f "$program/UserGuide.html"
check "catalogue in the Windows directory" test -s "$drive/windows/AvailableSites.qhsl"
check "uninstaller written" test -f "$program/Uninstall.exe"
check "registered" grep -qi 'Vantapicker.EXE' "$WINEPREFIX/system.reg"

# A user's edited site list must survive uninstalling.
user_list=$(find "$drive/users" -path '*Quenhollow/Vantapicker' -type d 2>/dev/null | head -n 1)
if [ -z "$user_list" ]; then
    user_list=$(find "$drive/users" -maxdepth 4 -type d -name 'Local' | head -n 1)/Quenhollow/Vantapicker
    mkdir -p "$user_list"
fi
echo "edited" >"$user_list/AvailableSites.qhsl"

# The uninstaller copies itself away and runs from there: wait for every program.
(
    source "$here/wine/env.sh"
    export DISPLAY=$(cat "$state/display")
    wine "$program/Uninstall.exe" /S
    wineserver -w
)
check "program removed" test ! -f "$program/Vantapicker.exe"
check "catalogue removed" test ! -f "$drive/windows/AvailableSites.qhsl"
check "unregistered" bash -c "! grep -qi 'Vantapicker.EXE' '$WINEPREFIX/system.reg'"
check "the user's site list kept" test -f "$user_list/AvailableSites.qhsl"
rm -f "$user_list/AvailableSites.qhsl"

[ $failures -eq 0 ]
