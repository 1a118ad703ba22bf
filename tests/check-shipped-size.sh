#!/usr/bin/env bash
# Fails when a shipped binary carries debug information, when the program (the first
# binary) exceeds its own limit, or when all of them together exceed the total limit.
#   check-shipped-size.sh TOTAL_LIMIT_BYTES PROGRAM_LIMIT_BYTES PROGRAM [BINARY...]
set -euo pipefail
objdump=$(command -v x86_64-w64-mingw32-objdump || command -v objdump)
limit=$1
programLimit=$2
shift 2
status=0
total=0
programSize=$(stat -c %s "$1")
echo "program size: $programSize bytes (limit $programLimit)"
if [ "$programSize" -gt "$programLimit" ]; then
    echo "$1 exceeds $programLimit bytes"
    status=1
fi
for binary in "$@"; do
    if "$objdump" -h "$binary" | grep -q ' \.debug_'; then
        echo "$binary carries debug information"
        status=1
    fi
    total=$((total + $(stat -c %s "$binary")))
done
echo "shipped size: $total bytes (limit $limit)"
if [ "$total" -gt "$limit" ]; then
    echo "the shipped binaries exceed $limit bytes"
    status=1
fi
exit $status
