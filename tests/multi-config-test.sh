#!/usr/bin/env bash
# A build with a multi-configuration generator, as Visual Studio makes one: configured
# with Ninja Multi-Config for Debug and Release, each configuration's shipped files (the
# program, both hook libraries and the host) land in the one folder where setup collects
# them. Only the hook libraries and the host are built; where the program goes, CMake's
# file API tells, which keeps the check short.
#   multi-config-test.sh SOURCE_DIR WORK_DIR
set -uo pipefail
source_dir=$1
work=$2
source "$(dirname "$0")/check.sh"
rm -rf "$work" && mkdir -p "$work/.cmake/api/v1/query"
touch "$work/.cmake/api/v1/query/codemodel-v2"
cmake -S "$source_dir" -B "$work" -G "Ninja Multi-Config" -DCMAKE_CONFIGURATION_TYPES="Debug;Release" \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" -DVP_BUILD_TESTS=OFF \
    >"$work/configure.log" 2>&1
check "configured with Ninja Multi-Config" test $? -eq 0

python3 - "$work/.cmake/api/v1/reply" >"$work/artifacts" <<'PYTHON'
import glob, json, os, sys
reply = sys.argv[1]
index = json.load(open(sorted(glob.glob(reply + '/index-*.json'))[-1]))
codemodel = json.load(open(os.path.join(reply, index['reply']['codemodel-v2']['jsonFile'])))
for configuration in codemodel['configurations']:
    for target in configuration['targets']:
        if target['name'] in ('Vantapicker', 'VPHook'):
            for artifact in json.load(open(os.path.join(reply, target['jsonFile'])))['artifacts']:
                if artifact['path'].endswith(('.exe', '.dll')):
                    print(configuration['name'], artifact['path'])
PYTHON
for config in Debug Release; do
    for file in Vantapicker.exe VPHook.dll; do
        check "$config: $file goes into bin" grep -qx "$config bin/$file" "$work/artifacts"
    done
    rm -rf "$work/bin"
    cmake --build "$work" --config "$config" --target VPHook vp_32bit_companions \
        >"$work/build-$config.log" 2>&1
    check "$config: the hook libraries and the host are built" test $? -eq 0
    for file in VPHook.dll VPHook32.dll VPHookHost32.exe; do
        check "$config: $file is in bin" test -f "$work/bin/$file"
    done
done

[ $failures -eq 0 ]
