#!/usr/bin/env bash
# Runs the DPI-dependent tests at 144 and 192 DPI in the test session's prefix (its
# LogPixels): the real program's popup, and the Sites page's pictures and every dialog of
# every language in process. Puts the prefix back to 96 DPI afterwards, also when a run
# fails.
#   dpi-test.sh STATE APP_TESTS.exe WIN_TESTS.exe
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=$1
app_tests=$2
win_tests=$3
export WINEPREFIX=$state/prefix
source "$here/env.sh"
export DISPLAY=$(cat "$state/display")

set_dpi() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
        >/dev/null 2>&1
    wineserver -w 2>/dev/null  # the next program starts a server that reads the new DPI
}
trap 'set_dpi 96' EXIT

status=0
for dpi in 144 192; do
    echo "== at $dpi DPI"
    set_dpi "$dpi"
    wine "$app_tests" --gtest_filter=PopupLook.ScaledForTheScreensDpiWithEveryLinkReadable || status=1
    wine "$win_tests" --gtest_filter='SitesPageTest.ShowsTheTree*:Translations.EveryDialog*' || status=1
    wineserver -k 2>/dev/null
done
exit "$status"
