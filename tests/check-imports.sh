#!/usr/bin/env bash
# Fails when a Windows binary imports a DLL that is not part of Windows (for example a
# mingw runtime DLL, which a user's machine does not have).
set -euo pipefail
objdump=$(command -v x86_64-w64-mingw32-objdump || command -v objdump)
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|msvcrt|shlwapi|version|imm32|uxtheme|vphook)\.dll$'
status=0
for binary in "$@"; do
    while read -r dll; do
        lower=$(echo "$dll" | tr '[:upper:]' '[:lower:]')
        if [[ ! $lower =~ $allowed ]]; then
            echo "$binary imports $dll, which is not a system DLL"
            status=1
        fi
    done < <("$objdump" -p "$binary" | sed -n 's/^\s*DLL Name: //p')
done
[ $status -eq 0 ] && echo "only system DLLs imported: $*"
exit $status
