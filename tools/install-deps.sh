#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when missing.
set -euo pipefail

# libclang-rt-14-dev holds the fuzzer and sanitizer runtimes, which clang only
# recommends; osslsigncode and openssl sign the binaries and make the test's certificates
# and timestamps; SoftHSM and OpenSSL's PKCS#11 engine stand in for a signing token;
# libxml2-utils' xmllint checks the policy template; ccache lets a clean clone reuse the
# objects of an earlier build on the same machine.
packages=(
    cmake ninja-build ccache g++ python3 python3-yaml
    googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
    mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
    wine wine64 xvfb xauth xdotool x11-utils imagemagick nsis osslsigncode openssl
    softhsm2 libengine-pkcs11-openssl libxml2-utils locales fonts-wqy-microhei
)

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
# Wine's 32-bit side (for the 32-bit hook library and 32-bit test applications): the
# host's own wine32:i386 where the kernel runs 32-bit programs and it installs; elsewhere
# a Debian 12 chroot of its own (tools/wine32-chroot.sh), made once per machine. Once that
# chroot exists, the host's is not tried again.
here=$(cd "$(dirname "$0")" && pwd)
want_wine32=0
if ! installed wine32:i386 && ! "$here/wine32-chroot.sh" root >/dev/null; then
    if "$here/wine32-chroot.sh" kernel; then
        want_wine32=1
    elif [ ! -e "${TMPDIR:-/tmp}/vantapicker-no-wine32-said" ]; then
        echo "This kernel runs no 32-bit programs: Wine's 32-bit side runs in a chroot of its own," \
            "under qemu-i386."
        touch "${TMPDIR:-/tmp}/vantapicker-no-wine32-said"
    fi
fi
if [ ${#missing[@]} -gt 0 ] || [ "$want_wine32" -eq 1 ]; then
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
        $sudo apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null ||
            echo "wine32:i386 could not be installed: Wine's 32-bit side runs in a chroot of its own."
    fi
fi
# The chroot, where the host's wine32 does not run (./test.sh has it made while it builds).
if [ "${VP_WINE32_CHROOT_LATER:-0}" != 1 ]; then
    "$here/wine32-chroot.sh" make ||
        echo "Wine's 32-bit chroot could not be made: the tests against 32-bit applications are skipped."
fi
