# Quiet, non-interactive Wine settings shared by the test session and ./run.sh.
# Source it after setting WINEPREFIX.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installers (they need the network)
export WINEARCH=win64

# Makes a new prefix at $WINEPREFIX with the crash dialog switched off.
vp_make_wine_prefix() {
    wine wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
}

# Starts Xvfb on a free display; prints the display name. $1: folder for its pid and log.
vp_start_xvfb() {
    local dir=$1
    rm -f "$dir/display.fd"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display.fd" >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 1 100); do
        [ -s "$dir/display.fd" ] && break
        sleep 0.1
    done
    echo ":$(tr -d '[:space:]' <"$dir/display.fd")"
}
