#!/usr/bin/env bash
# Checks that each layer includes only from itself and the layers below it, and that
# the portable code includes no Windows header. Prints every offending line and fails.
#   check-layers.sh [ROOT]
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root" || exit 2

layers=(base win core hook sites popup options app)
rank() {
    local i
    for i in "${!layers[@]}"; do
        [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }
    done
    echo -1
}

# Portable sources of every layer (from the one source list), their headers, and all
# of base/.
portable=$(sed -n '/^set(VP_\(BASE\|SITES_PORTABLE\)_SOURCES/,/^)/p' cmake/Sources.cmake |
    grep -oE '[a-z]+/[A-Za-z0-9_]+\.cpp')
portable="$portable $(ls base/*.h base/*.cpp hook/GestureMatch.h 2>/dev/null)"
for source in $portable; do
    [ -f "${source%.cpp}.h" ] && portable="$portable ${source%.cpp}.h"
done

status=0
for layer in "${layers[@]}"; do
    [ -d "$layer" ] || continue
    own=$(rank "$layer")
    while IFS= read -r hit; do
        [ -n "$hit" ] || continue
        included=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"${hit#*:*:}")
        other=$(rank "$included")
        if [ "$other" -gt "$own" ]; then
            echo "$hit    <- $layer/ includes from $included/, a layer above it"
            status=1
        fi
    done < <(grep -nE '^\s*#\s*include\s+"[a-z]+/' -r "$layer" --include='*.h' --include='*.cpp' \
        --include='*.rc' 2>/dev/null)
done

for file in $portable; do
    [ -f "$file" ] || continue
    while IFS= read -r hit; do
        [ -n "$hit" ] || continue
        echo "$file:$hit    <- portable code includes a Windows header"
        status=1
    done < <(grep -nE '^\s*#\s*include\s*<(windows|winuser|winbase|commctrl|shellapi|objbase|wincrypt)\.h>' "$file")
done

[ "$status" -eq 0 ] && echo "layers: every include points down"
exit "$status"
