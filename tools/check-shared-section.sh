#!/usr/bin/env bash
# Fails the build when VPHook.dll's .SHARSEG section is not shared between processes:
# without that, each process would see its own gesture state and no gesture would work.
set -euo pipefail
objdump=$(command -v x86_64-w64-mingw32-objdump || command -v objdump)
flags=$("$objdump" -h "$1" | awk '/ \.SHARSEG /{getline; print}')
if [[ $flags != *SHARED* ]]; then
    echo "$1: section .SHARSEG is missing or not shared (flags: ${flags:-none})" >&2
    exit 1
fi
