#!/usr/bin/env bash
# Measures the memory of Vantapicker idle after its start and after 50 popups, against a
# bare tray program in the same Wine prefix. Builds the mingw build's programs and runs
# them under Wine in a test session of its own.
#   bench/memory.sh [STATE]   STATE: the session's folder (default build/mingw/memory-session)
root=$(cd "$(dirname "$0")/.." && pwd)
exec "$root/bench/wine-session.sh" "${1:-$root/build/mingw/memory-session}" vp_memory_bench
