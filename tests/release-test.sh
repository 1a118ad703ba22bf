#!/usr/bin/env bash
# The release files that `cmake --build --target release` makes: the setup named with the
# version, the shipped binaries' debug information, SHA256SUMS, and the package manager's
# manifests, whose hash, version and return codes must match the setup, and whose
# uninstall entry must match the one the setup writes (it is installed under Wine).
#   release-test.sh STATE BUILD_DIR VERSION
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=$1
build=$2
version=$3
source "$here/wine/setup-session.sh"
release=$build/release
setup=$release/Vantapicker-$version-x64-setup.exe

cmake --build "$build" --target release >"$state/release.log" 2>&1
check "the release target makes the release files" test $? -eq 0
check "the setup is named with its version" test "$(file_version "$setup")" = "$version.0"
check "SHA256SUMS holds the sums of the setup and the symbols" bash -c \
    "cd '$release' && sha256sum --strict -c SHA256SUMS >/dev/null && [ \$(wc -l <SHA256SUMS) -eq 2 ]"
symbols=$state/symbols
rm -rf "$symbols" && mkdir -p "$symbols"
(cd "$symbols" && cmake -E tar xf "$release/Vantapicker-$version-x64-symbols.zip")
for name in Vantapicker.exe VPHook.dll VPHook32.dll VPHookHost32.exe; do
    check "the symbols hold $name.debug" cmp -s "$symbols/$name.debug" "$build/bin/$name.debug"
done

# The manifests, read by a YAML parser: one "name value" line per field checked here.
python3 - "$release/winget" >"$state/manifest" <<'PYTHON'
import glob, sys, yaml
files = {}
for path in glob.glob(sys.argv[1] + '/*.yaml'):
    document = yaml.safe_load(open(path, encoding='utf-8'))
    files[document['ManifestType']] = document
installer = files['installer']
entry = installer['AppsAndFeaturesEntries'][0]
print('versions', ' '.join(sorted({str(d['PackageVersion']) for d in files.values()})))
print('types', ' '.join(sorted(files)))
print('sha256', installer['Installers'][0]['InstallerSha256'].lower())
print('url', installer['Installers'][0]['InstallerUrl'])
print('codes', ' '.join(str(c['InstallerReturnCode']) for c in installer['ExpectedReturnCodes']))
print('entry', entry['ProductCode'], entry['DisplayName'], entry['Publisher'], entry['DisplayVersion'])
print('location', installer['InstallationMetadata']['DefaultInstallLocation'])
PYTHON
check "the manifests are read" test $? -eq 0
field() { sed -n "s/^$1 //p" "$state/manifest"; }
check "a version, an installer and a locale manifest" test "$(field types)" = "defaultLocale installer version"
check "each manifest names version $version" test "$(field versions)" = "$version"
check "the installer manifest holds the setup's SHA-256" test "$(field sha256)" = "$(sha256sum "$setup" | cut -d' ' -f1)"
check "the installer's address ends with the setup's name" test "$(basename "$(field url)")" = "$(basename "$setup")"
# Setup's own exit codes (the uninstaller's 3010 is no installer's).
codes=$(sed -n 's/^!define EXIT_[A-Z_]* \([0-9]*\).*/\1/p' "$here/../installer/Vantapicker.nsi" | grep -vx 3010)
check "the expected return codes are setup's own: $(echo $codes)" test "$(field codes)" = "$(echo $codes)"

# The uninstall entry that the setup writes, under the name the manifest gives.
wine "$setup" /S
check "the released setup installs" test $? -eq 0
read -r product name publisher display_version <<<"$(field entry)"
key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product"
check "the entry's name is $name" test "$(reg_value "$key" DisplayName)" = "$name"
check "the entry's publisher is $publisher" test "$(reg_value "$key" Publisher)" = "$publisher"
check "the entry's version is $display_version" test "$(reg_value "$key" DisplayVersion)" = "$display_version"
location=$(field location)
check "the default folder is where setup installs" \
    test "$(reg_value "$key" InstallLocation)" = "${location/\%ProgramFiles\%/C:\\Program Files}"
uninstall "$(reg_value "$key" InstallLocation)"
wineserver -k
wineserver -w

[ $failures -eq 0 ]
