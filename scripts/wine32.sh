#!/usr/bin/env bash
# The 32-bit Wine that runs the win32 build. This kernel runs no 32-bit code itself, so an i386
# Debian root holding Debian's own 32-bit Wine runs through qemu-i386 (version 10, from
# bookworm-backports: 7.2 ignores the fixed-address reservations Wine makes) via binfmt_misc.
#
#   wine32.sh setup        makes the root once (a few minutes, about 1.5 GB) and registers
#                          binfmt_misc; quick when all is there. Exits 3 with one line saying
#                          why when binfmt_misc can't be had here.
#   wine32.sh run CMD ...  runs CMD inside the root, in the current directory, with the project
#                          folder and /tmp at the same paths as outside, and the root's /usr at
#                          ROOT/usr too, so that a 32-bit Wine started as ROOT/usr/lib/wine/wine
#                          names its files by paths that the host's wineserver can open.
#
# The root lies in $TUNEDESK_WINE32_ROOT, default ~/.cache/tunedesk-wine32; its Wine prefix is
# /wine inside it, or $TUNEDESK_WINE32_PREFIX for a prefix shared with the host's 64-bit Wine.
# Nothing stays mounted on the host: each run has its own mount namespace.
set -euo pipefail

ROOT=${TUNEDESK_WINE32_ROOT:-$HOME/.cache/tunedesk-wine32}
QEMU=$ROOT.qemu/qemu-i386
PROJECT=$(cd "$(dirname "$0")/.." && pwd)
BINFMT=/proc/sys/fs/binfmt_misc
ENTRY=tunedesk-i386
# The i386 ELF magic and mask, as qemu's own binfmt configuration registers them.
MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

PASS="32-bit pass"
source "$PROJECT/scripts/roots.sh"

# qemu-i386 from bookworm-backports, through a private apt configuration so that the host's
# sources stay as they are. Only the one static binary is kept.
fetch_qemu() {
    [[ -x $QEMU ]] && return
    local apt=$ROOT.apt
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$(dirname "$QEMU")"
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $(mirror) bookworm-backports main" >"$apt/sources.list"
    local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
                   -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache")
    apt-get "${options[@]}" update >"$apt/log" 2>&1
    (cd "$apt" && apt-get "${options[@]}" download qemu-user/bookworm-backports >>"$apt/log" 2>&1)
    dpkg-deb --fsys-tarfile "$apt"/qemu-user_*.deb | tar -xO ./usr/bin/qemu-i386 >"$QEMU.part"
    chmod +x "$QEMU.part"
    mv "$QEMU.part" "$QEMU"
    rm -rf "$apt"
}

register_binfmt() {
    if [[ ! -e $BINFMT/register ]]; then
        mount -t binfmt_misc binfmt_misc "$BINFMT" 2>/dev/null ||
            skip "binfmt_misc can't be mounted here (it needs root and a kernel that allows it)"
    fi
    [[ -e $BINFMT/$ENTRY ]] && return
    echo ":$ENTRY:M::$MAGIC:$MASK:$QEMU:F" >"$BINFMT/register" 2>/dev/null ||
        skip "qemu-i386 can't be registered with binfmt_misc"
}

run() { run_in_root "${TUNEDESK_WINE32_PREFIX:-/wine}" "$@"; }

setup() {
    [[ $(id -u) == 0 ]] || skip "making the root and registering binfmt_misc need root"
    if [[ ! -x $QEMU || ! -e $ROOT/.tunedesk-ready ]]; then
        command -v debootstrap >/dev/null || {
            apt-get update >/dev/null && apt-get install -y --no-install-recommends debootstrap >/dev/null; }
        echo "making the 32-bit Wine root in $ROOT (a few minutes, once)"
        fetch_qemu
    fi
    register_binfmt
    [[ -e $ROOT/.tunedesk-ready ]] && return
    make_root bookworm i386 wine wine32
}

case ${1:-} in
    setup) setup ;;
    run) shift; run "$@" ;;
    *) sed -n '2,13p' "$0"; exit 2 ;;
esac
