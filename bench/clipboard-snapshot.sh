#!/usr/bin/env bash
# Measures the cost of keeping the clipboard at a trigger: the snapshot of a text-only
# clipboard, of a 20 MB bitmap and of an owner with 30 formats rendered on request, and
# how many of those formats it had rendered. Builds the mingw build's program and runs it
# under Wine in a test session of its own.
#   bench/clipboard-snapshot.sh [STATE]   STATE: the session's folder (default
#                                         build/mingw/clipboard-snapshot-session)
root=$(cd "$(dirname "$0")/.." && pwd)
exec "$root/bench/wine-session.sh" "${1:-$root/build/mingw/clipboard-snapshot-session}" vp_clipboard_snapshot_bench
