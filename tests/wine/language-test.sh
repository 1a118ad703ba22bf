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
expect() {  # LANG EXPECTED [VARIABLE=VALUE...]
    local lang=$1 expected=$2
    shift 2
    echo "== LANG=$lang $* gives $expected"
    env LANG="$lang" VP_EXPECTED_LANGUAGE="$expected" "$@" wine "$win_tests" \
        --gtest_filter=Translations.ChosenLanguage* || status=1
}
expect de_DE.UTF-8 0407
expect ja_JP.UTF-8 0411
expect fi_FI.UTF-8 0409
expect de_DE.UTF-8 040c VP_LANGUAGE_VALUE=fr
expect de_DE.UTF-8 0410 VP_LANGUAGE_VALUE=fr VP_LANGUAGE_POLICY=it-IT
expect ja_JP.UTF-8 0409 VP_LANGUAGE_VALUE=en
echo "== the search of a wide selection under LANG=ja_JP.UTF-8"
# (The test of the Western code page's own bytes is not one for this code page.)
LANG=ja_JP.UTF-8 wine "$app_tests" \
    --gtest_filter='WideSearch.ForeignScript*:WideSearch.Placeholder*' || status=1
wineserver -k 2>/dev/null
exit "$status"
