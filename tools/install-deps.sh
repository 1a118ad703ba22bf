#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when missing.
set -euo pipefail

# libclang-rt-14-dev holds the fuzzer and sanitizer runtimes, which clang only
# recommends; osslsigncode and openssl sign the binaries and make the test's certificate.
packages=(
    cmake ninja-build g++ python3
    googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
    mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
    wine wine64 wine32:i386 xvfb xauth xdotool x11-utils imagemagick nsis osslsigncode openssl
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
# Wine's 32-bit side (for the 32-bit hook library and 32-bit test applications) comes
# from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
