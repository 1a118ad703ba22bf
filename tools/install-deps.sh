#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when missing.
set -euo pipefail

# libclang-rt-14-dev holds the fuzzer and sanitizer runtimes, which clang only
# recommends; osslsigncode and openssl sign the binaries and make the test's certificates
# and timestamps; SoftHSM and OpenSSL's PKCS#11 engine stand in for a signing token;
# libxml2-utils' xmllint checks the policy template.
packages=(
    cmake ninja-build g++ python3 python3-yaml
    googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
    mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
    wine wine64 xvfb xauth xdotool x11-utils imagemagick nsis osslsigncode openssl
    softhsm2 libengine-pkcs11-openssl libxml2-utils locales fonts-wqy-microhei
)

# Runs a hand-made 32-bit ELF program that only exits: some virtual machines' kernels
# refuse 32-bit programs, and there Wine's 32-bit side would install for nothing.
kernel_runs_32bit() {
    local probe
    probe=$(mktemp)
    # ELF header, one loadable segment, then: xor ebx,ebx; mov eax,1; int 0x80 (exit 0).
    printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000' >"$probe"
    printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$probe"
    printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000' >>"$probe"
    printf '\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010' >>"$probe"
    printf '\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000' >>"$probe"
    printf '\000\020\000\000\061\333\270\001\000\000\000\315\200' >>"$probe"
    chmod +x "$probe"
    local status=0
    "$probe" 2>/dev/null || status=$?
    rm -f "$probe"
    return "$status"
}

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
# Wine's 32-bit side (for the 32-bit hook library and 32-bit test applications) comes
# from the i386 architecture.
want_wine32=0
if ! installed wine32:i386; then
    if kernel_runs_32bit; then
        want_wine32=1
    elif [ ! -e "${TMPDIR:-/tmp}/vantapicker-no-wine32-said" ]; then
        echo "This kernel runs no 32-bit programs: Wine's 32-bit side is not installed," \
            "and the tests against 32-bit applications are skipped."
        touch "${TMPDIR:-/tmp}/vantapicker-no-wine32-said"
    fi
fi
[ ${#missing[@]} -eq 0 ] && [ "$want_wine32" -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
if [ "$want_wine32" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
# A mirror in the middle of a sync can fail one index; what the others hold still serves.
$sudo apt-get update -qq || echo "apt-get update reported errors; installing from the lists it has"
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if [ "$want_wine32" -eq 1 ]; then
    echo "Installing: wine32:i386"
    # Without it the program still builds and runs; only the 32-bit tests are skipped.
    $sudo apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null ||
        echo "wine32:i386 could not be installed: the tests against 32-bit applications are skipped."
fi
