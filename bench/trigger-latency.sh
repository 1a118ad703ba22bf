#!/usr/bin/env bash
# Measures the real program under Wine, in a test session of its own: the gesture hook's
# cost in a message loop against a pass-through hook; the hot keys over a selection
# (Ctrl+F1 to the visible popup, Ctrl+F2 to the URL the browser receives, beside a direct
# ShellExecute of the same URL), with the selection read directly and with it copied by
# an application that copies 50 ms after the keys; a soak of 500 + 500 triggers (VP_BENCH_NO_SOAK=1 skips
# it; VP_BENCH_SOAK=popup or =default soaks with that trigger alone); start-up to the
# tray icon and hook (VP_BENCH_STARTUP_ONLY=1 measures only that, in about a minute).
#   bench/trigger-latency.sh [STATE]   STATE: the session's folder (default
#                                      build/mingw/trigger-latency-session)
root=$(cd "$(dirname "$0")/.." && pwd)
exec "$root/bench/wine-session.sh" "${1:-$root/build/mingw/trigger-latency-session}" vp_hook_cost vp_trigger_latency
