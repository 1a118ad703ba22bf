# Quiet, non-interactive Wine settings shared by the test session and ./run.sh.
# Source it after setting WINEPREFIX.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installers (they need the network)
export WINEARCH=win64

# Wine's 32-bit loader needs a kernel that runs 32-bit programs, and some virtual
# machines have that switched off. There `wine`, and `wine-stable` that Wine's own tools
# (winepath) call, are put ahead on the PATH as the 64-bit loader, and VP_WINE_32BIT=0
# tells the tests that no 32-bit application can run here.
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    export VP_WINE_32BIT=1
else
    export VP_WINE_32BIT=0
    export WINELOADER=/usr/lib/wine/wine64
    vp_loader_dir=${TMPDIR:-/tmp}/vantapicker-wine64-$(id -u)
    mkdir -p "$vp_loader_dir"
    for vp_name in wine wine-stable; do
        if [ ! -x "$vp_loader_dir/$vp_name" ]; then
            printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$vp_loader_dir/$vp_name.$$"
            chmod +x "$vp_loader_dir/$vp_name.$$"
            mv -f "$vp_loader_dir/$vp_name.$$" "$vp_loader_dir/$vp_name"
        fi
    done
    export PATH=$vp_loader_dir:$PATH
fi

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
