# Quiet, non-interactive Wine settings shared by the test session and ./run.sh.
# Source it after setting WINEPREFIX.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installers (they need the network)
export WINEARCH=win64

# Writes a small script for each NAME into folder $1 that runs the command $2, NAME in it
# replaced by the script's name, with the script's arguments; puts $1 ahead on the PATH.
vp_wrap_commands() {
    local dir=$1 body=$2 name script
    shift 2
    mkdir -p "$dir"
    for name in "$@"; do
        script=$(printf '#!/bin/sh\nexec %s "$@"\n' "${body//NAME/$name}")
        if [ "$(cat "$dir/$name" 2>/dev/null)" != "$script" ]; then
            echo "$script" >"$dir/$name.$$"
            chmod +x "$dir/$name.$$"
            mv -f "$dir/$name.$$" "$dir/$name"
        fi
    done
    export PATH=$dir:$PATH
}
vp_host_wine32() { [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; }
vp_project=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# Wine's 32-bit loader needs a kernel that runs 32-bit programs, and some virtual
# machines have that switched off; elsewhere wine32:i386 may not install. Where the
# host's own wine32 does not run, VP_WINE32_CHROOT=1 (the session of the 32-bit tests)
# runs every Wine command in Wine's 32-bit chroot (tests/wine32/run.sh), where one was
# made. Otherwise `wine`, and `wine-stable` that Wine's own tools (winepath) call, are
# put ahead on the PATH as the 64-bit loader, and VP_WINE_32BIT=0 tells the tests that no
# 32-bit application can run here. VP_WINE_LOADER64=1 makes `wine` the 64-bit loader
# also where 32-bit programs run (a 32-bit program still starts as one). `wine64` is
# always the 64-bit loader.
vp_loader_dir=${TMPDIR:-/tmp}/vantapicker-wine-$(id -u)
if [ "${VP_WINE32_CHROOT:-0}" = 1 ] && ! vp_host_wine32 &&
    "$vp_project/tools/wine32-chroot.sh" root >/dev/null; then
    export VP_WINE_32BIT=1
    vp_wrap_commands "$vp_loader_dir-$(echo "$vp_project" | cksum | cut -d' ' -f1)" \
        "$(printf %q "$vp_project/tests/wine32/run.sh") NAME" wine wine64 wine-stable wineserver winepath
else
    vp_wrap_commands "$vp_loader_dir-64" "env WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64" wine64
    if vp_host_wine32; then
        export VP_WINE_32BIT=1
    else
        export VP_WINE_32BIT=0 VP_WINE_LOADER64=1
    fi
    if [ "${VP_WINE_LOADER64:-0}" = 1 ]; then
        export WINELOADER=/usr/lib/wine/wine64
        vp_wrap_commands "$vp_loader_dir" /usr/lib/wine/wine64 wine wine-stable
    fi
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
