#!/usr/bin/env bash
# Fails the build when a hook library has a section shared between processes: every
# process of every user and session that maps the file would share its data, and any of
# them could write it. The hook's state lives in a mapping of the user's session instead.
set -euo pipefail
objdump=$(command -v x86_64-w64-mingw32-objdump || command -v objdump)
shared=$("$objdump" -h "$1" | awk '/^ +[0-9]+ /{name=$2; getline; if ($0 ~ /SHARED/) print name}')
if [[ -n $shared ]]; then
    echo "$1: section ${shared//$'\n'/, } is shared between processes" >&2
    exit 1
fi
