#!/usr/bin/env bash
# Setup and uninstall under Wine, as a user meets them: setup without administrator rights,
# a folder with blanks chosen with /D= and upgraded there by a plain /S, a catalogue that
# cannot be written, an upgrade over a running copy while other applications (the 64-bit
# and the 32-bit notepad) still have the old hook libraries loaded, an uninstall with them
# loaded, then a restart of the Wine session that carries out the deletions left for it.
# The user's settings and site list must survive; the release files must match the setup
# and its entry. Last, a setup built with a throwaway certificate and a timestamp server
# of the test's own carries signatures that verify after the certificate expired.
#   installer-test.sh STATE SETUP.exe APP_TESTS.exe VERSION
#   (the app tests sit beside the build; VERSION is the project's, a.b.c)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=$1
setup=$2
app_tests=$3
version=$4
bin=$(dirname "$app_tests")
source_dir=$(dirname "$here")
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
approved_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
settings_key='HKCU\SOFTWARE\Quenhollow\Vantapicker\Settings'
source "$here/check.sh"
# One command line exactly as typed at a command prompt: /D= and _?= take the rest of
# the line unquoted, blanks included.
typed() { wine cmd /c "$1"; }
# A registry value's data, or nothing (the 64-bit view, where the 64-bit setup writes).
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
# The addresses that the tray menu opens, as the uninstall entry must name them.
web_address() { sed -n "s/.*$1\\[\\] = \"\\([^\"]*\\)\".*/\\1/p" "$source_dir/app/WebAddresses.h"; }
home_page=$(web_address kHomePageAddress)
support=$(web_address kSupportAddress)
# The process id of the program running from the folder given in Windows form, or
# nothing: the process of that command line that has the program mapped (not the
# launcher that waits for it).
program_pid() {
    local cmdline
    for cmdline in /proc/[0-9]*/cmdline; do
        if { tr '\0' ' ' <"$cmdline"; } 2>/dev/null | grep -qiF "$1\\Vantapicker.exe" &&
            grep -qsF /Vantapicker.exe "${cmdline%/cmdline}/maps"; then
            basename "${cmdline%/cmdline}"
            return
        fi
    done
}
# Whether the process has ended (a launcher's zombie counts as ended).
ended() { ! grep -qsF /Vantapicker.exe "/proc/$1/maps"; }
wait_for_program() {  # wait_for_program FOLDER_WIN [OTHER_THAN_PID]
    for _ in $(seq 1 100); do
        local pid
        pid=$(program_pid "$1")
        [ -n "$pid" ] && [ "$pid" != "${2-}" ] && grep -qsF /VPHook.dll "/proc/$pid/maps" && return 0
        sleep 0.1
    done
    return 1
}
all_users_menu=$drive/ProgramData/Microsoft/Windows/Start\ Menu/Programs

# --- Without an administrator's rights setup ends at once ----------------------------
# (Wine hands an exit code to Linux in 8 bits: 740 arrives as 228, 3010 as 194.)
wine "$bin/WithoutAdmin.exe" "$setup_win" /S
check "setup without an administrator's rights ends with 740, installing nothing" \
    test $? -eq $((740 % 256)) -a -z "$(reg_value "$uninstall_key" DisplayName)"

# --- A folder with blanks, start at logon asked for where Task Manager switched it off --
wine reg add "$approved_key" /v Vantapicker.exe /t REG_BINARY /d 030000001032547698badc01 /f >/dev/null 2>&1
typed "$setup_win /S /LOGON /D=$blanks_win"
check "setup into a folder with blanks succeeds" test $? -eq 0
check "program in the folder with blanks" test -f "$blanks/Vantapicker.exe"
check "hook library in the folder with blanks" test -f "$blanks/VPHook.dll"
check "32-bit hook library and host in the folder with blanks" \
    test -f "$blanks/VPHook32.dll" -a -f "$blanks/VPHookHost32.exe"
check "uninstall entry names the folder" test "$(reg_value "$uninstall_key" InstallLocation)" = "$blanks_win"
check "/LOGON starts the program at logon" \
    test "$(reg_value "$run_key" Vantapicker.exe)" = "\"$blanks_win\\Vantapicker.exe\""
check "/LOGON removes Task Manager's switched-off mark" test -z "$(reg_value "$approved_key" Vantapicker.exe)"
wine "$blanks_win\\Vantapicker.exe" &
wait_until_mapped "$blanks/VPHook.dll"
sleep 2
check "the program runs from the folder with blanks" mapped "$blanks/Vantapicker.exe"
check "the shortcut is in the all-users menu" test -f "$all_users_menu/Vantapicker.lnk"
check "no shortcut in the menu of the account that ran setup" \
    bash -c "! find '$drive/users' -path '*Start Menu/Programs/Vantapicker.lnk' | grep -q ."

# A plain /S, as a package manager runs it, upgrades the copy where it is and starts the
# copy it ended again.
echo "older copy" >>"$blanks/Vantapicker.exe"
running=$(program_pid "$blanks_win")
check "the program's process is found" test -n "$running"
wine "$setup" /S
check "upgrade into the folder with blanks succeeds" test $? -eq 0
check "upgrade replaced the program in the folder with blanks" cmp -s "$bin/Vantapicker.exe" "$blanks/Vantapicker.exe"
check "no second copy under Program Files" test ! -e "$program"
check "the entry still names the folder with blanks" test "$(reg_value "$uninstall_key" InstallLocation)" = "$blanks_win"
check "one uninstall entry after the upgrade" test "$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:64 |
    tr -d '\r' | grep -c 'DisplayName *REG_SZ *Vantapicker$')" -eq 1
check "the upgrade kept start at logon" \
    test "$(reg_value "$run_key" Vantapicker.exe)" = "\"$blanks_win\\Vantapicker.exe\""
check "the copy that the upgrade ended runs again" wait_for_program "$blanks_win" "$running"
check "the old copy ended" ended "$running"

# The one version: CMake's, in the program, the hook library, setup and the entry.
check "the program's version is $version" test "$(file_version "$blanks/Vantapicker.exe")" = "$version.0"
check "the hook library's version is $version" test "$(file_version "$blanks/VPHook.dll")" = "$version.0"
check "setup's version is $version" test "$(file_version "$setup")" = "$version.0"
check "the entry's version is $version" test "$(reg_value "$uninstall_key" DisplayVersion)" = "$version"
check "uninstall entry: home page $home_page" test "$(reg_value "$uninstall_key" URLInfoAbout)" = "$home_page"
check "uninstall entry: help $support" test "$(reg_value "$uninstall_key" HelpLink)" = "$support"
check "uninstall entry: quiet uninstall" \
    test "$(reg_value "$uninstall_key" QuietUninstallString)" = "\"$blanks_win\\Uninstall.exe\" /S"

# A catalogue that cannot be written fails setup with its own code before anything
# changed: the installed copy, its entry and the running program stay as they were.
catalogue=$drive/windows/AvailableSites.qhsl
echo "older copy" >>"$blanks/VPHook.dll"
before=$state/before-failed-setup
rm -rf "$before" && cp -r "$blanks" "$before"
cp "$catalogue" "$before.qhsl"
running=$(program_pid "$blanks_win")
wine attrib +r "$(winepath -w "$catalogue")" >/dev/null 2>&1
# The tests may run as root, whom the read-only attribute does not stop: the file is
# made immutable too.
if chattr +i "$catalogue" 2>/dev/null; then
    trap 'chattr -i "$catalogue" 2>/dev/null' EXIT
    wine "$setup" /S
    check "a read-only catalogue fails setup with exit code 11" test $? -eq 11
    chattr -i "$catalogue"
    check "the failed setup left the installed files as they were" diff -r "$before" "$blanks"
    check "the failed setup left the catalogue as it was" cmp -s "$before.qhsl" "$catalogue"
    check "the failed setup left the entry" test "$(reg_value "$uninstall_key" InstallLocation)" = "$blanks_win"
    check "the failed setup left the program running" test "$(program_pid "$blanks_win")" = "$running"
else
    echo "skipped: no immutable files here to make a catalogue that cannot be written"
fi
wine attrib -r "$(winepath -w "$catalogue")" >/dev/null 2>&1

uninstall "$blanks_win"
status=$?
check "uninstall from the folder with blanks succeeds, with 3010 when files wait for the restart" \
    test "$status" -eq "$([ -e "$blanks" ] && echo $((3010 % 256)) || echo 0)"
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
check "registered" bash -c "wine reg query 'HKCR\\AppID\\Vantapicker.EXE' /reg:64 >/dev/null 2>&1"
check "silent setup leaves start at logon off" test -z "$(reg_value "$run_key" Vantapicker.exe)"
installed_kb=$(du -sk "$program" | cut -f1)
check "uninstall entry: size of the installed files ($installed_kb KB)" \
    test "$(( $(reg_value "$uninstall_key" EstimatedSize) ))" -ge $((installed_kb * 9 / 10))

# The release files, and the package manifests against this setup and its entry.
release=$(dirname "$setup")/release
cmake --build "$(dirname "$setup")" --target release >"$state/release.log" 2>&1
check "the release target makes the release files" test $? -eq 0
check "SHA256SUMS holds the sums of the setup, the symbols and the policy template" bash -c \
    "cd '$release' && sha256sum --strict -c SHA256SUMS >/dev/null && [ \$(wc -l <SHA256SUMS) -eq 3 ]"
manifest=$(python3 - "$release/winget" <<'PYTHON'
import glob, sys, yaml
files = {d['ManifestType']: d for d in (yaml.safe_load(open(p)) for p in glob.glob(sys.argv[1] + '/*.yaml'))}
installer, = files['installer']['Installers']
entry, = files['installer']['AppsAndFeaturesEntries']
locales = sorted(yaml.safe_load(open(p))['PackageLocale'] for p in glob.glob(sys.argv[1] + '/*.locale.*.yaml'))
print(*sorted(files), *sorted({d['PackageVersion'] for d in files.values()}), installer['InstallerSha256'].lower(),
      *[c['InstallerReturnCode'] for c in files['installer']['ExpectedReturnCodes']], '|', entry['ProductCode'],
      entry['DisplayName'], entry['Publisher'], entry['DisplayVersion'],
      files['installer']['InstallationMetadata']['DefaultInstallLocation'].replace('%ProgramFiles%', 'C:\\Program Files'), '|', *locales)
PYTHON
)
# Setup's own exit codes (the uninstaller's 3010 is no installer's).
codes=$(sed -n 's/^!define EXIT_[A-Z_]* \([0-9]*\).*/\1/p' "$source_dir/installer/Vantapicker.nsi" | grep -vx 3010)
check "manifests of version $version with the setup's SHA-256 and its own exit codes" \
    test "${manifest%% |*}" = "defaultLocale installer locale version $version $(sha256sum "$setup" | cut -d' ' -f1) $(echo $codes)"
check "a description in each of the program's languages" \
    test "${manifest##*| }" = "de-DE en-US es-ES fr-FR it-IT ja-JP pt-BR ru-RU zh-CN"
manifest=${manifest% |*}
read -r product name publisher display_version location <<<"${manifest#*| }"
key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product"
check "the manifests' uninstall entry is the one setup wrote" test "$name $publisher $display_version $location" = \
    "$(reg_value "$key" DisplayName) $(reg_value "$key" Publisher) $(reg_value "$key" DisplayVersion) $(reg_value "$key" InstallLocation)"

# The installed copy becomes an older one: its files differ from the build's.
for file in Vantapicker.exe VPHook.dll VPHook32.dll VPHookHost32.exe; do
    echo "older copy" >>"$program/$file"
    touch -d 2001-01-01 "$program/$file"
done
# The 32-bit notepad is syswow64's, the 64-bit one comes from the 64-bit loader. Both
# call themselves system32\notepad.exe: their mapped program files tell them apart.
notepad_pid() {  # notepad_pid i386|x86_64
    local pid
    for pid in $(pgrep -f 'notepad\.exe'); do
        grep -qsF "/$1-windows/notepad.exe" "/proc/$pid/maps" && echo "$pid" && return
    done
}
# Each notepad loads its hook library with its next message, which comes (the caret's
# blinking) while it has the focus: they are started one after the other.
wait_for_notepad() {  # wait_for_notepad i386|x86_64 LIBRARY
    for _ in $(seq 1 100); do
        maps_file "$(notepad_pid "$1")" "$2" && return 0
        sleep 0.1
    done
    return 1
}
wine "$program_win\\Vantapicker.exe" &
wait_until_mapped "$program/Vantapicker.exe"
if [ "$VP_WINE_32BIT" = 1 ]; then
    wine 'C:\windows\syswow64\notepad.exe' &
    check "the 32-bit notepad holds the 32-bit hook library" \
        wait_for_notepad i386 "$program/VPHook32.dll"
else
    echo "skipped: the 32-bit notepad (this machine runs no 32-bit programs)"
fi
wine64 notepad.exe &
check "the 64-bit notepad holds the hook library" wait_for_notepad x86_64 "$program/VPHook.dll"

# A user's settings and own site list, which every setup leaves alone.
keep_user_data() {
    wine reg add "$settings_key" /v InstallerTest /d kept /f /reg:64 >/dev/null 2>&1
    user_list=$(find "$drive/users" -maxdepth 4 -type d -name 'Local' | head -n 1)/Quenhollow/Vantapicker
    mkdir -p "$user_list"
    # A site list that the program reads: the upgrade starts the program again.
    cp "$bin/AvailableSites.qhsl" "$user_list/AvailableSites.qhsl"
}
user_data_kept() {
    test "$(reg_value "$settings_key" InstallerTest)" = kept &&
        cmp -s "$bin/AvailableSites.qhsl" "$user_list/AvailableSites.qhsl"
}
keep_user_data

running=$(program_pid "$program_win")
wine "$setup" /S
check "upgrade succeeds" test $? -eq 0
check "upgrade ended the running program" ended "$running"
check "upgrade started the program again" wait_for_program "$program_win" "$running"
kill "$(program_pid "$program_win")" 2>/dev/null  # the trigger test starts its own
sleep 1
check "upgrade replaced the program" cmp -s "$bin/Vantapicker.exe" "$program/Vantapicker.exe"
check "upgrade replaced the hook library" cmp -s "$bin/VPHook.dll" "$program/VPHook.dll"
check "upgrade replaced the 32-bit hook library" cmp -s "$bin/VPHook32.dll" "$program/VPHook32.dll"
check "upgrade replaced the 32-bit host" cmp -s "$bin/VPHookHost32.exe" "$program/VPHookHost32.exe"
check "the old hook library waits for the restart" \
    bash -c "wine reg query 'HKLM\\System\\CurrentControlSet\\Control\\Session Manager' /v PendingFileRenameOperations | grep -qF 'Vantapicker\\VPHook.dll.old'"
if [ "$VP_WINE_32BIT" = 1 ]; then  # only a 32-bit application holds it
    check "the old 32-bit hook library waits for the restart" \
        bash -c "wine reg query 'HKLM\\System\\CurrentControlSet\\Control\\Session Manager' /v PendingFileRenameOperations | grep -qF 'Vantapicker\\VPHook32.dll.old'"
fi
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
check "uninstall succeeds and asks for the restart that removes the held files (3010)" \
    test $? -eq $((3010 % 256))
check "program removed" test ! -f "$program/Vantapicker.exe"
check "32-bit host removed" test ! -f "$program/VPHookHost32.exe"
check "catalogue removed" test ! -f "$drive/windows/AvailableSites.qhsl"
check "uninstall entry removed" test -z "$(reg_value "$uninstall_key" DisplayName)"
check "unregistered" bash -c "! wine reg query 'HKCR\\AppID\\Vantapicker.EXE' /reg:64 >/dev/null 2>&1"
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

# --- A hook library that cannot be written at all fails setup, and what setup had
# written already is undone -------------------------------------------------------------
wine "$setup" /S
echo "older copy" >>"$program/Vantapicker.exe"
echo "older catalogue" >>"$catalogue"
cp "$program/Vantapicker.exe" "$catalogue" "$state/"
if chattr +i "$program/VPHook.dll" 2>/dev/null; then
    trap 'chattr -i "$program/VPHook.dll" 2>/dev/null' EXIT
    wine "$setup" /S
    check "setup fails with exit code 10 when the hook library cannot be written" test $? -eq 10
    chattr -i "$program/VPHook.dll"
    check "the failed setup put the program back" cmp -s "$state/Vantapicker.exe" "$program/Vantapicker.exe"
    check "the failed setup put the catalogue back" cmp -s "$state/AvailableSites.qhsl" "$catalogue"
else
    echo "skipped: no immutable files here to make a file that cannot be written"
fi
wineserver -k
wineserver -w

# --- Signed with a throwaway certificate and timestamped: the program, the hook
# libraries, the host, setup and the uninstaller, as the build signs them -------------
signing=$state/signing
rm -rf "$signing" && mkdir -p "$signing/bin"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$signing/key.pem" -out "$signing/cert.pem" \
    -days 2 -subj "/CN=Vantapicker test" -addext extendedKeyUsage=codeSigning >/dev/null 2>&1
openssl pkcs12 -export -inkey "$signing/key.pem" -in "$signing/cert.pem" \
    -out "$signing/cert.pfx" -passout pass:throwaway
# The timestamp authority: a certificate for timestamping only, and `openssl ts` on 127.0.0.1.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$signing/tsa.key" -out "$signing/tsa.pem" -days 2 \
    -subj "/CN=Vantapicker test timestamps" -addext extendedKeyUsage=critical,timeStamping >/dev/null 2>&1
printf '[tsa]\ndefault_tsa = t\n[t]\nserial = %s/serial\nsigner_cert = %s/tsa.pem\nsigner_key = %s/tsa.key
signer_digest = sha256\ndefault_policy = 1.2.3.4.1\ndigests = sha256\ness_cert_id_alg = sha256\n' \
    "$signing" "$signing" "$signing" >"$signing/tsa.cnf"
python3 "$here/timestamp-server.py" "$signing/tsa.cnf" >"$signing/port" 2>"$signing/tsa.log" &
tsa_server=$!
for _ in $(seq 1 50); do [ -s "$signing/port" ] && break || sleep 0.1; done
export no_proxy=127.0.0.1 VP_SIGN_PFX=$signing/cert.pfx VP_SIGN_PASSWORD=throwaway
export VP_SIGN_TIMESTAMP_URL=http://127.0.0.1:$(cat "$signing/port")/
cp -r "$bin/Vantapicker.exe" "$bin/VPHook.dll" "$bin/VPHook32.dll" "$bin/VPHookHost32.exe" \
    "$bin/AvailableSites.qhsl" "$bin/UserGuide.html" "$bin/LICENSE.txt" \
    "$bin/THIRD-PARTY-NOTICES.txt" "$bin/images" "$signing/bin/"
cmake -P "$source_dir/tools/sign.cmake" "$signing/bin/Vantapicker.exe" "$signing/bin/VPHook.dll" \
    "$signing/bin/VPHook32.dll" "$signing/bin/VPHookHost32.exe" &&
    makensis -V2 -DBIN_DIR="$signing/bin" -DOUT_FILE="$signing/VantapickerSetup.exe" \
        -DVERSION="$version" -DHOME_PAGE="$home_page" -DSUPPORT="$support" -DSIGN_CMAKE=cmake \
        -DSIGN_SCRIPT="$source_dir/tools/sign.cmake" -DSIGN_SETTINGS= \
        "$source_dir/installer/Vantapicker.nsi" &&
    cmake -P "$source_dir/tools/sign.cmake" "$signing/VantapickerSetup.exe"
check "a setup signed with the throwaway certificate is built" test $? -eq 0
wine "$signing/VantapickerSetup.exe" /S
check "the signed setup installs" test $? -eq 0
installed=$(winepath -u "$(reg_value "$uninstall_key" InstallLocation)")
# Ten days on, both certificates have expired: only a timestamp keeps a signature valid.
verified() {
    osslsigncode verify -CAfile "$signing/cert.pem" -TSA-CAfile "$signing/tsa.pem" \
        -time $(($(date +%s) + 10 * 86400)) -in "$1" >/dev/null 2>&1
}
for file in "$signing/bin/Vantapicker.exe" "$signing/bin/VPHook.dll" "$signing/bin/VPHook32.dll" \
    "$signing/bin/VPHookHost32.exe" "$signing/VantapickerSetup.exe" "$installed/Uninstall.exe"; do
    check "$(basename "$file") carries a timestamped signature that outlives the certificate" \
        verified "$file"
done
check "an unsigned build does not verify" bash -c "! osslsigncode verify -CAfile '$signing/cert.pem' -in '$bin/Vantapicker.exe' >/dev/null 2>&1"

# The same key in a PKCS#11 token (SoftHSM), as hardware tokens and cloud HSMs hold it.
if softhsm=$(dpkg -L libsofthsm2 2>/dev/null | grep -m1 '/libsofthsm2\.so$'); then
    export SOFTHSM2_CONF=$signing/softhsm2.conf
    mkdir -p "$signing/tokens" && echo "directories.tokendir = $signing/tokens" >"$SOFTHSM2_CONF"
    softhsm2-util --init-token --free --label vp --pin 4321 --so-pin 8765 >/dev/null &&
        softhsm2-util --import "$signing/key.pem" --token vp --label key --id 01 --pin 4321 >/dev/null &&
        cp "$bin/VPHook.dll" "$signing/token-signed.dll"
    VP_SIGN_PFX= VP_SIGN_PKCS11_MODULE=$softhsm VP_SIGN_CERT=$signing/cert.pem VP_SIGN_PASSWORD=4321 \
        VP_SIGN_PKCS11_KEY='pkcs11:token=vp;object=key;type=private' \
        cmake -P "$source_dir/tools/sign.cmake" "$signing/token-signed.dll"
    check "a key in a PKCS#11 token signs with a timestamp" verified "$signing/token-signed.dll"
else
    echo "skipped: SoftHSM is missing, no PKCS#11 token to sign with"
fi
kill "$tsa_server" 2>/dev/null
wineserver -k
wineserver -w

[ $failures -eq 0 ]
