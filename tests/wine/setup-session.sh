# What the tests that run setup in the Wine test session share. Source it with $state set
# to the session's state folder: it enters the session's prefix and display.
export WINEPREFIX=$state/prefix
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
if [ ! -f "$state/display" ]; then
    echo "no Wine test session at $state (run the wine_session_start test first)" >&2
    exit 1
fi
export DISPLAY=$(cat "$state/display")
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantapicker'
source "$(dirname "${BASH_SOURCE[0]}")/../check.sh"
# One command line exactly as typed at a command prompt: /D= and _?= take the rest of
# the line unquoted, blanks included.
typed() { wine cmd /c "$1"; }
# A registry value's data, or nothing (the 64-bit view, where the 64-bit setup writes).
reg_value() {
    wine reg query "$1" /v "$2" /reg:64 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
# Uninstalls from the folder given in Windows form, as Uninstall.exe does: from a copy,
# naming the folder with _?=, so that the run can be waited for.
uninstall() {
    local copy=$state/uninstaller
    rm -rf "$copy" && mkdir -p "$copy"
    cp "$(winepath -u "$1")/Uninstall.exe" "$copy/" || return 1
    typed "$(winepath -w "$copy/Uninstall.exe") /S _?=$1"
}
# The version in a program's version resource: a.b.c.d
file_version() {
    python3 - "$1" <<'PYTHON'
import struct, sys
data = open(sys.argv[1], 'rb').read()
at = data.index(struct.pack('<I', 0xFEEF04BD))
ms, ls = struct.unpack_from('<II', data, at + 8)
print(f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}")
PYTHON
}
