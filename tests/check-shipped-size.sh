#!/usr/bin/env bash
# Fails when a shipped binary carries debug information, or when the program and its
# hook library together exceed the size limit.
#   check-shipped-size.sh LIMIT_BYTES BINARY...
set -euo pipefail
objdump=$(command -v x86_64-w64-mingw32-objdump || command -v objdump)
limit=$1
shift
status=0
total=0
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
