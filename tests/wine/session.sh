#!/usr/bin/env bash
# Starts or stops the Wine test session of one test run: a new Wine prefix and an
# Xvfb display, both under the given state folder.
#   session.sh start STATE   session.sh stop STATE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
command=$1
state=$2
export WINEPREFIX=$state/prefix
source "$here/env.sh"

stop_session() {
    if [ -d "$WINEPREFIX" ]; then
        DISPLAY=$(cat "$state/display" 2>/dev/null || echo :0) wineserver -k 2>/dev/null || true
    fi
    if [ -f "$state/xvfb.pid" ]; then
        kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
        rm -f "$state/xvfb.pid"
    fi
}

case $command in
start)
    stop_session
    rm -rf "$state"
    mkdir -p "$state"
    display=$(vp_start_xvfb "$state")
    echo "$display" >"$state/display"
    export DISPLAY=$display
    vp_make_wine_prefix
    echo "Wine session ready: prefix $WINEPREFIX, display $display"
    ;;
stop)
    stop_session
    echo "Wine session stopped"
    ;;
*)
    echo "usage: $0 start|stop STATE" >&2
    exit 2
    ;;
esac
