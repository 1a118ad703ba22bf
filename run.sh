#!/usr/bin/env bash
# Installs what is missing, builds Vantapicker and starts it under Wine, where it keeps
# running in the background. With no X display it runs on Xvfb and saves a screenshot.
#   VP_WINEPREFIX   the Wine prefix to use (default: ~/.local/share/vantapicker/wine)
#   VP_DPI          the screen's DPI to set in that prefix (for example 144); unset, the
#                   prefix keeps its own
#   VP_LANG         the locale to run in (for example de_DE.UTF-8 or ja_JP.UTF-8), made
#                   in the build folder when missing: the program speaks its language
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)

tools/install-deps.sh
cmake --preset mingw >/dev/null
# The user guide too: the tray menu's Online Help opens it beside the program.
cmake --build --preset mingw --target Vantapicker vp_catalogue vp_user_guide SelectionFixture

bin=$root/build/mingw/bin
state=$root/build/run
mkdir -p "$state"
export WINEPREFIX=${VP_WINEPREFIX:-$HOME/.local/share/vantapicker/wine}
source tests/wine/env.sh

if [ -z "${DISPLAY:-}" ]; then
    if [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
        DISPLAY=$(cat "$state/display")
    else
        DISPLAY=$(vp_start_xvfb "$state")
        echo "$DISPLAY" >"$state/display"
    fi
    export DISPLAY
    headless=1
else
    headless=0
fi

if [ ! -d "$WINEPREFIX" ]; then
    echo "Making the Wine prefix $WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    vp_make_wine_prefix
fi

# A new build replaces a running copy.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
if [ -n "${VP_DPI:-}" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$VP_DPI" /f \
        >/dev/null 2>&1
    wineserver -w 2>/dev/null || true
fi
scale=${VP_DPI:-96}
at() {  # a length of the 96-DPI demo, at the demo's DPI
    echo $(($1 * scale / 96))
}

if [ -n "${VP_LANG:-}" ]; then
    export LOCPATH=$state/locales LANG=$VP_LANG
    mkdir -p "$LOCPATH"
    [ -d "$LOCPATH/$VP_LANG" ] || localedef -i "${VP_LANG%%.*}" -f UTF-8 "$LOCPATH/$VP_LANG"
fi

# The installer puts the default catalogue into the Windows directory.
cp "$bin/AvailableSites.qhsl" "$WINEPREFIX/drive_c/windows/AvailableSites.qhsl"

setsid wine "$bin/Vantapicker.exe" >"$state/vantapicker.log" 2>&1 </dev/null &
for _ in $(seq 1 100); do
    pgrep -f 'Vantapicker.exe' >/dev/null && break
    sleep 0.1
done
sleep 3
if ! pgrep -f 'Vantapicker.exe' >/dev/null; then
    echo "Vantapicker did not keep running; see $state/vantapicker.log" >&2
    exit 1
fi
echo "Vantapicker is running under Wine (prefix $WINEPREFIX, display $DISPLAY)."
if [ "$headless" -eq 1 ]; then
    # The Xvfb that this script started stays for the next run until it is stopped too.
    echo "Stop it with: WINEPREFIX=$WINEPREFIX wineserver -k; kill \$(cat $state/xvfb.pid)"
else
    echo "Stop it with: WINEPREFIX=$WINEPREFIX wineserver -k"
fi

if [ "$headless" -eq 1 ]; then
    # A short demo as a user meets the program: text selected in an application,
    # Ctrl+F1, the popup at the cursor; then the tray menu.
    printf 'Vantapicker' >"$state/selection.txt"
    setsid wine "$bin/SelectionFixture.exe" "$(winepath -w "$state/selection.txt")" \
        >>"$state/vantapicker.log" 2>&1 </dev/null &
    sleep 3
    import -window root "$state/screenshot.png"
    xdotool mousemove 300 220
    xdotool key ctrl+F1
    sleep 1.5
    import -window root "$state/popup.png"
    xdotool key Escape
    sleep 0.5
    xdotool mousemove "$(at 12)" "$(at 31)" click 3  # the icon in Wine's system tray, top left
    sleep 1.5
    import -window root "$state/tray-menu.png"
    xdotool key Escape
    sleep 0.5
    # The Options dialog from the tray menu: its General page, then its Sites page.
    xdotool mousemove "$(at 12)" "$(at 31)" click 3
    sleep 1.5
    xdotool key o
    options=""
    for _ in $(seq 1 50); do
        # The dialog's caption in English, German or Japanese.
        options=$(xdotool search --onlyvisible --name \
            '^(Vantapicker Options|Vantapicker-Optionen|Vantapicker のオプション)$' 2>/dev/null | head -1) &&
            [ -n "$options" ] && break
        sleep 0.2
    done
    if [ -n "$options" ]; then
        sleep 1
        import -window "$options" "$state/options-general.png"
        # The "Sites" tab, right of "General" (coordinates in the dialog's X window).
        xdotool mousemove --window "$options" "$(at 90)" "$(at 14)" click 1
        sleep 1
        # The first category opened, with its visible and hidden sites.
        xdotool mousemove --window "$options" "$(at 30)" "$(at 77)" click 1
        sleep 1
        import -window "$options" "$state/options-sites.png"
        xdotool key Escape
        echo "Screenshots: $state/options-general.png $state/options-sites.png"
    else
        echo "The Options dialog did not open; no screenshots of it" >&2
    fi
    echo "Screenshots: $state/screenshot.png $state/popup.png $state/tray-menu.png"
fi
