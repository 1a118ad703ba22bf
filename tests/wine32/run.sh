#!/usr/bin/env bash
# Runs a command in the Debian 12 chroot that holds Wine's 32-bit side
# (tools/wine32-chroot.sh), with the project's Wine settings (tests/wine/env.sh): plain
# `wine` is the 64-bit loader there, and a 32-bit program still starts as one.
#   tests/wine32/run.sh CMD [ARGS...]
# The project's folder (with its build folders) and the X server's socket folder are
# mounted at the same paths inside, so the same build outputs run with the same paths;
# VP_WINE32_BIND adds more folders (separated by colons). WINEPREFIX and DISPLAY pass in
# from the caller (the prefix defaults to build/wine32/prefix). The command
# runs in the current folder when that is inside a mounted folder. Needs root, or sudo.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
project=$(dirname "$(dirname "$here")")
if [ $# -eq 0 ]; then
    echo "usage: $0 CMD [ARGS...]" >&2
    exit 2
fi
if ! root=$("$project/tools/wine32-chroot.sh" root); then
    echo "Wine's 32-bit chroot has not been made: run tools/install-deps.sh" >&2
    exit 1
fi
"$project/tools/wine32-chroot.sh" register
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo --preserve-env)
export WINEPREFIX=${WINEPREFIX:-$project/build/wine32/prefix}
# Inside: the host road of tests/wine/env.sh, with the 64-bit loader first.
export VP_WINE32_CHROOT=0 VP_WINE_LOADER64=1
exec "${sudo[@]}" unshare --mount --propagation private /bin/bash -c '
    set -e
    root=$1 project=$2 user=$3 workdir=$4
    shift 4
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    mount --rbind /sys "$root/sys"
    IFS=: read -r -a binds <<<"$project:/tmp/.X11-unix:${VP_WINE32_BIND-}"
    for folder in "${binds[@]}"; do
        [ -d "$folder" ] || continue
        mkdir -p "$root$folder"
        mount --bind "$folder" "$root$folder"
    done
    exec chroot --userspec="$user" "$root" /usr/bin/env \
        PATH=/usr/local/bin:/usr/bin:/bin HOME="$HOME" /bin/bash -c "
            cd \"\$1\" 2>/dev/null || cd /
            source \"\$2/tests/wine/env.sh\"
            shift 2
            exec \"\$@\"" bash "$workdir" "$project" "$@"
' bash "$root" "$project" "$(id -u):$(id -g)" "$PWD" "$@"
