#!/usr/bin/env bash
# Setup and uninstall under Wine, as a user meets them: a folder with blanks chosen with
# /D=, an upgrade over a running copy while another application (the 64-bit notepad)
# still has the old hook library loaded, an uninstall with the library still loaded, then
# a restart of
# the Wine session that carries out the deletions left for it. The user's settings and
# own site list must survive the upgrade and the uninstall.
#   installer-test.sh STATE SETUP.exe APP_TESTS.exe   (the app tests sit beside the build)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=$1
setup=$2
app_tests=$3
bin=$(dirname "$app_tests")
export WINEPREFIX=$state/prefix
source "$here/wine/env.sh"
if [ ! -f "$state/display" ]; then
    echo "no Wine test session at $state (run the wine_session_start test first)" >&2
    exit 1
fi
export DISPLAY=$(cat "$state/display")
drive=$WINEPREFIX/drive_c
program=$drive/Program\ Files/Quenhollow/Vantapicker
program_win='C:\Program Files\Quenhollow\Vantapicker'
blanks=$drive/My\ Tools/Vanta\ picker
blanks_win='C:\My Tools\Vanta picker'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantapicker'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
settings_key='HKCU\SOFTWARE\Quenhollow\Vantapicker\Settings'
failures=0
check() {  # check DESCRIPTION COMMAND...
    local description=$1
    shift
    if "$@"; then
        echo "ok: $description"
    else
        echo "FAILED: $description"
        failures=$((failures + 1))
    fi
}
# One command line exactly as typed at a command prompt: /D= and _?= take the rest of
# the line unquoted, blanks included.
typed() { wine cmd /c "$1"; }
# A registry value's data, or nothing. Plain `wine reg` is the 32-bit one, which sees the
# 32-bit view of HKLM\Software; setup and the program are 64-bit.
reg_value() {
    wine reg query "$1" /v "$2" /reg:64 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
# Whether some process has the file mapped (Wine maps a loaded DLL or program file).
mapped() { grep -qsF "$1" /proc/[0-9]*/maps; }
# Whether the process with this (Unix) id has the file mapped.
maps_file() { grep -qsF "$2" "/proc/$1/maps"; }
wait_until_mapped() {
    for _ in $(seq 1 100); do
        mapped "$1" && return 0
        sleep 0.1
    done
    return 1
}
# Uninstalls from the folder given in Windows form, as Uninstall.exe does: from a copy,
# naming the folder with _?=, so that the run can be waited for.
uninstall() {
    local copy=$state/uninstaller
    rm -rf "$copy" && mkdir -p "$copy"
    cp "$(winepath -u "$1")/Uninstall.exe" "$copy/" || return 1
    typed "$(winepath -w "$copy/Uninstall.exe") /S _?=$1"
}
# The version in the program's version resource: a.b.c.d
file_version() {
    python3 - "$1" <<'EOF'
import struct, sys
data = open(sys.argv[1], 'rb').read()
at = data.index(struct.pack('<I', 0xFEEF04BD))
ms, ls = struct.unpack_from('<II', data, at + 8)
print(f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}")
EOF
}
setup_win=$(winepath -w "$setup")

# --- A folder with blanks, start at logon asked for ---------------------------------
typed "$setup_win /S /LOGON /D=$blanks_win"
check "setup into a folder with blanks succeeds" test $? -eq 0
check "program in the folder with blanks" test -f "$blanks/Vantapicker.exe"
check "hook library in the folder with blanks" test -f "$blanks/VPHook.dll"
check "32-bit hook library and host in the folder with blanks" \
    test -f "$blanks/VPHook32.dll" -a -f "$blanks/VPHookHost32.exe"
check "uninstall entry names the folder" test "$(reg_value "$uninstall_key" InstallLocation)" = "$blanks_win"
check "/LOGON starts the program at logon" \
    test "$(reg_value "$run_key" Vantapicker.exe)" = "\"$blanks_win\\Vantapicker.exe\""
wine "$blanks_win\\Vantapicker.exe" &
wait_until_mapped "$blanks/VPHook.dll"
sleep 2
check "the program runs from the folder with blanks" mapped "$blanks/Vantapicker.exe"
uninstall "$blanks_win"
check "uninstall from the folder with blanks succeeds" test $? -eq 0
check "uninstall ended the program" bash -c "! grep -qsF '$blanks/Vantapicker.exe' /proc/[0-9]*/maps"
check "start at logon removed" test -z "$(reg_value "$run_key" Vantapicker.exe)"
wineserver -k
wineserver -w

# --- Install, then upgrade over a running copy while notepad holds the hook library --
wine "$setup" /S
check "setup succeeds" test $? -eq 0
check "program installed" test -f "$program/Vantapicker.exe"
check "hook library installed" test -f "$program/VPHook.dll"
check "32-bit hook library and host installed" \
    test -f "$program/VPHook32.dll" -a -f "$program/VPHookHost32.exe"
check "user guide installed" test -f "$program/UserGuide.html"
check "catalogue in the Windows directory" test -s "$drive/windows/AvailableSites.qhsl"
check "uninstaller written" test -f "$program/Uninstall.exe"
check "registered" bash -c "wine reg query 'HKCR\\AppID\\Vantapicker.EXE' >/dev/null 2>&1"
check "silent setup leaves start at logon off" test -z "$(reg_value "$run_key" Vantapicker.exe)"
version=$(file_version "$bin/Vantapicker.exe")
check "uninstall entry shows the version $version" test "$(reg_value "$uninstall_key" DisplayVersion)" = "$version"
check "uninstall entry: home page" test -n "$(reg_value "$uninstall_key" URLInfoAbout)"
installed_kb=$(du -sk "$program" | cut -f1)
check "uninstall entry: size of the installed files ($installed_kb KB)" \
    test "$(( $(reg_value "$uninstall_key" EstimatedSize) ))" -ge $((installed_kb * 9 / 10))

# The installed copy becomes an older one: its files differ from the build's.
for file in Vantapicker.exe VPHook.dll VPHook32.dll VPHookHost32.exe; do
    echo "older copy" >>"$program/$file"
    touch -d 2001-01-01 "$program/$file"
done
# Plain `wine notepad` would start the 32-bit notepad; the 64-bit one needs the 64-bit
# loader.
WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64 notepad.exe &
wine "$program_win\\Vantapicker.exe" &
wait_until_mapped "$program/Vantapicker.exe"
for _ in $(seq 1 100); do  # notepad loads the hook library with its next message
    maps_file "$(pgrep -f 'system32\\notepad.exe' | head -n 1)" "$program/VPHook.dll" && break
    sleep 0.1
done
check "the 64-bit notepad holds the hook library" \
    maps_file "$(pgrep -f 'system32\\notepad.exe' | head -n 1)" "$program/VPHook.dll"
# (Under Wine 8 the 32-bit notepad does not reach the 32-bit hook behind the program's
# own, so whether it holds VPHook32.dll is not checked here.)

# A user's settings and own site list, which every setup leaves alone.
keep_user_data() {
    wine reg add "$settings_key" /v InstallerTest /d kept /f /reg:64 >/dev/null 2>&1
    user_list=$(find "$drive/users" -maxdepth 4 -type d -name 'Local' | head -n 1)/Quenhollow/Vantapicker
    mkdir -p "$user_list"
    echo "edited" >"$user_list/AvailableSites.qhsl"
}
user_data_kept() {
    test "$(reg_value "$settings_key" InstallerTest)" = kept && test -f "$user_list/AvailableSites.qhsl"
}
keep_user_data

wine "$setup" /S
check "upgrade succeeds" test $? -eq 0
check "upgrade ended the running program" bash -c "! grep -qsF '$program/Vantapicker.exe' /proc/[0-9]*/maps"
check "upgrade replaced the program" cmp -s "$bin/Vantapicker.exe" "$program/Vantapicker.exe"
check "upgrade replaced the hook library" cmp -s "$bin/VPHook.dll" "$program/VPHook.dll"
check "upgrade replaced the 32-bit hook library" cmp -s "$bin/VPHook32.dll" "$program/VPHook32.dll"
check "upgrade replaced the 32-bit host" cmp -s "$bin/VPHookHost32.exe" "$program/VPHookHost32.exe"
check "the old hook library waits for the restart" \
    bash -c "wine reg query 'HKLM\\System\\CurrentControlSet\\Control\\Session Manager' /v PendingFileRenameOperations | grep -qF 'Vantapicker\\VPHook.dll.old'"
check "one uninstall entry" test "$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:64 |
    tr -d '\r' | grep -c 'DisplayName *REG_SZ *Vantapicker$')" -eq 1
check "the user's settings and site list survive the upgrade" user_data_kept

# The upgraded program's gesture, with notepad still holding the old library.
VP_TEST_PROGRAM="$program_win\\Vantapicker.exe" wine "$app_tests" \
    --gtest_filter=Triggers.DefaultSiteHotKeyAndGestureOpenTheDefaultSiteWithTheSelection
check "the upgraded program's hot key and gesture work" test $? -eq 0

# --- Uninstall while notepad holds the hook library, then a restart -------------------
keep_user_data
uninstall "$program_win"
check "uninstall succeeds" test $? -eq 0
check "program removed" test ! -f "$program/Vantapicker.exe"
check "32-bit host removed" test ! -f "$program/VPHookHost32.exe"
check "catalogue removed" test ! -f "$drive/windows/AvailableSites.qhsl"
check "uninstall entry removed" test -z "$(reg_value "$uninstall_key" DisplayName)"
check "unregistered" bash -c "! wine reg query 'HKCR\\AppID\\Vantapicker.EXE' >/dev/null 2>&1"
check "the user's settings and site list survive the uninstall" user_data_kept
wineserver -k
wineserver -w
wine wineboot -r >/dev/null 2>&1
wineserver -w
check "no program folder after the restart" test ! -e "$program"
check "no maker's folder after the restart" test ! -e "$drive/Program Files/Quenhollow"
check "no folder with blanks after the restart" test ! -e "$blanks"
check "no uninstall entry after the restart" bash -c "! grep -qF 'Uninstall\\\\\\\\Vantapicker]' '$WINEPREFIX/system.reg'"
rm -f "$user_list/AvailableSites.qhsl"

# --- A hook library that cannot be written at all fails setup -------------------------
wine "$setup" /S
if chattr +i "$program/VPHook.dll" 2>/dev/null; then
    trap 'chattr -i "$program/VPHook.dll" 2>/dev/null' EXIT
    wine "$setup" /S
    check "setup fails when the hook library cannot be written" test $? -ne 0
    chattr -i "$program/VPHook.dll"
else
    echo "skipped: no immutable files here to make a file that cannot be written"
fi
wineserver -k
wineserver -w

[ $failures -eq 0 ]
