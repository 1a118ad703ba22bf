#!/usr/bin/env bash
# Wine's 32-bit side where the host cannot give it: a Debian 12 chroot with Wine 8's two
# halves (wine64 and wine32:i386), made once per machine from the configured Debian mirror
# (bookworm and bookworm-updates; the security suite's i386 index has been broken) and
# kept under a cache folder for later runs. Where the kernel runs no 32-bit x86 programs,
# qemu-i386 from bookworm-backports (qemu 10; bookworm's own 7.2 is far too slow) is
# registered in binfmt_misc with the F flag, so that it also serves inside the chroot. The
# registration lasts until the next reboot, so every run checks it.
#   wine32-chroot.sh make       makes the chroot unless the host runs wine32 itself
#                               (a half-made one is made afresh), then checks the registration
#   wine32-chroot.sh register   checks (and makes) the registration that the chroot needs
#   wine32-chroot.sh root       prints the complete chroot's folder, or fails
#   wine32-chroot.sh road       says how 32-bit Windows programs run here; fails when they don't
#   wine32-chroot.sh kernel     whether the kernel itself runs 32-bit x86 programs
# VP_WINE32_CACHE names another cache folder; VP_WINE32_EMULATE=1 uses qemu-i386 even where
# the kernel runs 32-bit programs (to try that road on such a machine).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${VP_WINE32_CACHE:-/var/cache/vantapicker/wine32}
root=$cache/bookworm
qemu=$cache/qemu-i386
binfmt=/proc/sys/fs/binfmt_misc
entry=$binfmt/vantapicker-i386
stamp=etc/vantapicker-wine32
# What the chroot holds; a chroot made after another recipe is made afresh.
recipe="bookworm minbase: wine wine64 wine32:i386 (1)"
chroot_packages=(wine wine64 wine32:i386)

# Runs a hand-made 32-bit ELF program that only exits. Its header's last padding byte is
# not zero, which no binfmt_misc pattern for i386 programs accepts (they ask for zeros
# there) but the kernel's own loader ignores: so it is the kernel that answers, even while
# an emulator is registered.
kernel_runs_32bit() {
    local probe status=0
    probe=$(mktemp)
    # ELF header, one loadable segment, then: xor ebx,ebx; mov eax,1; int 0x80 (exit 0).
    printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\001' >"$probe"
    printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$probe"
    printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000' >>"$probe"
    printf '\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010' >>"$probe"
    printf '\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000' >>"$probe"
    printf '\000\020\000\000\061\333\270\001\000\000\000\315\200' >>"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null || status=$?
    rm -f "$probe"
    return "$status"
}

host_wine32_runs() { [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; }
needs_emulator() { [ "${VP_WINE32_EMULATE:-0}" = 1 ] || ! kernel_runs_32bit; }
complete() { [ "$(cat "$1/$stamp" 2>/dev/null)" = "$recipe" ]; }
# Whether the registration is in place: enabled, for this emulator, opened at once (F).
registered() {
    [ -f "$entry" ] && grep -qx enabled "$entry" && grep -qx "interpreter $qemu" "$entry" &&
        grep -q '^flags:.*F' "$entry"
}

as_root() {
    if [ "$(id -u)" -ne 0 ]; then
        exec sudo VP_WINE32_CACHE="$cache" VP_WINE32_EMULATE="${VP_WINE32_EMULATE:-0}" "$0" "$@"
    fi
}

# The configured mirror of bookworm, as the host's apt knows it.
mirror() {
    local site
    site=$(apt-get indextargets --format '$(SITE)' 'Release: bookworm' 'Target-Of: deb' 2>/dev/null |
        head -n 1)
    echo "${site:-http://deb.debian.org/debian}"
}

# Runs a command in the chroot at $1 in a mount namespace of its own, so that nothing
# stays mounted there when it ends, also when it is interrupted.
in_chroot() {
    local dir=$1
    shift
    unshare --mount --propagation private /bin/sh -c '
        dir=$1; shift
        mount -t proc proc "$dir/proc" && mount --rbind /dev "$dir/dev" &&
            mount --rbind /sys "$dir/sys" && exec chroot "$dir" /usr/bin/env \
            PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"' sh "$dir" "$@"
}

# Removes a chroot folder without crossing into anything mounted below it.
remove() {
    [ -e "$1" ] || return 0
    findmnt -rn -o TARGET | { grep -F "$1/" || true; } | sort -r | xargs -r -d '\n' umount -l
    rm -rf --one-file-system "$1"
}

# The host's cached packages, linked into a package cache, so that only what the host
# never fetched is downloaded (Wine's amd64 half most of all).
seed_packages() {
    mkdir -p "$1"
    find /var/cache/apt/archives -maxdepth 1 -name '*.deb' -exec ln -f -t "$1" {} + 2>/dev/null || true
}

# qemu-i386 out of bookworm-backports' qemu-user package (static since qemu 9), unpacked
# beside the chroot: the host's own qemu stays as it is.
fetch_qemu() {
    local dir=$1
    [ -x "$qemu" ] && return 0
    echo "Fetching qemu-i386 from bookworm-backports"
    in_chroot "$dir" apt-get update -qq -o Dir::Etc::SourceList=sources.list.d/backports.list \
        -o Dir::Etc::SourceParts=-
    rm -rf "$dir/tmp/qemu" && mkdir -p "$dir/tmp/qemu"
    in_chroot "$dir" sh -c 'cd /tmp/qemu && apt-get download -qq -o APT::Sandbox::User=root \
        qemu-user/bookworm-backports'
    dpkg-deb --fsys-tarfile "$dir"/tmp/qemu/qemu-user_*.deb |
        tar -x -O ./usr/bin/qemu-i386 >"$qemu.new"
    rm -rf "$dir/tmp/qemu" "$dir"/var/lib/apt/lists/*
    chmod 755 "$qemu.new"
    mv -f "$qemu.new" "$qemu"
}

register() {
    needs_emulator || return 0
    fetch_qemu "$1"
    registered && return 0
    [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
    [ -f "$entry" ] && echo -1 >"$entry"  # an older one, for another file
    echo ":vantapicker-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$qemu:F" \
        >"$binfmt/register"
    echo "Registered $qemu for 32-bit x86 programs (until the next reboot)"
}

make_chroot() {
    if complete "$root"; then
        register "$root"
        return 0
    fi
    local part=$root.part start=$SECONDS
    echo "Making Wine's 32-bit side in a Debian 12 chroot at $root (once per machine)"
    remove "$part"  # left by an interrupted run
    mkdir -p "$part"
    if ! command -v debootstrap >/dev/null; then
        apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
    fi
    local site
    site=$(mirror)
    seed_packages "$cache/debootstrap"
    unshare --mount --propagation private debootstrap --variant=minbase \
        --cache-dir="$cache/debootstrap" bookworm "$part" "$site" >"$cache/debootstrap.log" 2>&1 ||
        { tail -n 20 "$cache/debootstrap.log" >&2; return 1; }
    rm -rf "$cache/debootstrap"
    printf 'deb %s bookworm main\ndeb %s bookworm-updates main\n' "$site" "$site" \
        >"$part/etc/apt/sources.list"
    echo "deb $site bookworm-backports main" >"$part/etc/apt/sources.list.d/backports.list"
    in_chroot "$part" dpkg --add-architecture i386
    register "$part"  # before any 32-bit program of the packages runs
    in_chroot "$part" apt-get update -qq
    seed_packages "$part/var/cache/apt/archives"
    in_chroot "$part" apt-get install -y -qq --no-install-recommends "${chroot_packages[@]}" \
        >"$cache/install.log" 2>&1 || { tail -n 20 "$cache/install.log" >&2; return 1; }
    in_chroot "$part" apt-get clean
    rm -rf "$part"/var/lib/apt/lists/*
    in_chroot "$part" /usr/lib/wine/wine --version >/dev/null
    echo "$recipe" >"$part/$stamp"
    remove "$root"  # one of an older recipe
    mv "$part" "$root"
    echo "Wine's 32-bit chroot made in $((SECONDS - start)) s: $(du -sh --one-file-system "$root" | cut -f1)"
}

case ${1-} in
make)
    host_wine32_runs && exit 0
    as_root "$@"
    mkdir -p "$cache"
    exec 9>"$cache/lock"
    flock 9
    make_chroot
    ;;
register)
    complete "$root" || exit 0
    if needs_emulator && ! registered; then
        as_root "$@"
        mkdir -p "$cache"
        exec 9>"$cache/lock"
        flock 9
        register "$root"
    fi
    ;;
root)
    complete "$root" && echo "$root"
    ;;
road)
    if host_wine32_runs; then
        echo "32-bit Windows programs run with the host's own wine32"
    elif ! complete "$root"; then
        echo "32-bit Windows programs cannot run here: the host has no working wine32 and" \
            "Wine's 32-bit chroot was not made (tools/install-deps.sh makes it)"
        exit 1
    elif needs_emulator; then
        echo "32-bit Windows programs run in the chroot at $root, under qemu-i386"
    else
        echo "32-bit Windows programs run in the chroot at $root"
    fi
    ;;
kernel)
    kernel_runs_32bit
    ;;
*)
    echo "usage: $0 make|register|root|road|kernel" >&2
    exit 2
    ;;
esac
