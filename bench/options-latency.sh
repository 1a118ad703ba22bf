#!/usr/bin/env bash
# Measures how long the Options dialog takes to open from the tray menu, with the default
# catalogue and with 10,000 sites: builds the mingw build's latency program and runs it
# under Wine in a test session of its own.
#   bench/options-latency.sh [STATE]   STATE: the session's folder (default
#                                      build/mingw/options-latency-session)
root=$(cd "$(dirname "$0")/.." && pwd)
exec "$root/bench/wine-session.sh" "${1:-$root/build/mingw/options-latency-session}" vp_options_latency
