#!/usr/bin/env bash
# Runs the program's language choice under locales made here (German, Japanese, and
# Finnish, which the program lacks), with the user's Language value and the policy, and
# the search of a wide selection under the Japanese locale, against the real program.
#   language-test.sh STATE WIN_TESTS.exe APP_TESTS.exe
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=$1
win_tests=$2
app_tests=$3
export WINEPREFIX=$state/prefix
source "$here/env.sh"
export DISPLAY=$(cat "$state/display")

locales=$state/locales
mkdir -p "$locales"
for locale in de_DE ja_JP fi_FI; do
    [ -d "$locales/$locale.UTF-8" ] || localedef -i "$locale" -f UTF-8 "$locales/$locale.UTF-8" ||
        { echo "localedef $locale failed"; exit 1; }
done
export LOCPATH=$locales

status=0
expect() {  # LANG EXPECTED: the languages chosen with nothing stored, the value, the policy
    echo "== LANG=$1 gives $2"
    LANG=$1 VP_EXPECTED_LANGUAGES=$2 wine "$win_tests" \
        --gtest_filter=Translations.ChosenLanguage* || status=1
}
expect de_DE.UTF-8 "0407 0409 0410"
expect ja_JP.UTF-8 "0411 0409 0409"  # no Italian letters in the Japanese code page
expect fi_FI.UTF-8 "0409 0409 0410"
echo "== the search of a wide selection under LANG=ja_JP.UTF-8"
# (The test of the Western code page's own bytes is not one for this code page.)
LANG=ja_JP.UTF-8 wine "$app_tests" \
    --gtest_filter='WideSearch.ForeignScript*:WideSearch.Placeholder*' || status=1
wineserver -k 2>/dev/null
exit "$status"
