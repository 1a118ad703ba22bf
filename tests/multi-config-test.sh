#!/usr/bin/env bash
# With a multi-configuration generator (Ninja Multi-Config here, Visual Studio's kind), the
# Debug and the Release build each put the shipped files into the one folder that setup
# collects. The hook libraries and the host are built; the program's place is read from
# the generated build file, which keeps the check short.
#   multi-config-test.sh SOURCE_DIR WORK_DIR
set -uo pipefail
source_dir=$1
work=$2
source "$(dirname "$0")/check.sh"
rm -rf "$work"
cmake -S "$source_dir" -B "$work" -G "Ninja Multi-Config" -DCMAKE_CONFIGURATION_TYPES="Debug;Release" \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" -DVP_BUILD_TESTS=OFF \
    >"$work.log" 2>&1
for config in Debug Release; do
    check "$config: the program goes into bin" \
        grep -qx "build Vantapicker: phony bin/Vantapicker.exe" "$work/build-$config.ninja"
    rm -rf "$work/bin"
    cmake --build "$work" --config "$config" --target VPHook vp_32bit_companions >>"$work.log" 2>&1
    for file in VPHook.dll VPHook32.dll VPHookHost32.exe; do
        check "$config: $file is built into bin" test -f "$work/bin/$file"
    done
done

[ $failures -eq 0 ]
