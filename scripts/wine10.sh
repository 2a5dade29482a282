#!/usr/bin/env bash
# The Wine that users of newer systems have: Debian 13's Wine 10, in an amd64 Debian 13 root of
# its own, so that the host's Wine 8 stays as it is.
#
#   wine10.sh setup        makes the root once (a few minutes, about 1.5 GB), with what building
#                          the companion there takes; quick when all is there. Exits 3 with one
#                          line saying why when it can't be made here.
#   wine10.sh run CMD ...  runs CMD inside the root, in the current directory, with the project
#                          folder and /tmp at the same paths as outside.
#
# The root lies in $TUNEDESK_WINE10_ROOT, default ~/.cache/tunedesk-wine10; its Wine prefix is
# /wine inside it, made with the null graphics driver. Nothing stays mounted on the host: each
# run has its own mount namespace.
set -euo pipefail

ROOT=${TUNEDESK_WINE10_ROOT:-$HOME/.cache/tunedesk-wine10}
PROJECT=$(cd "$(dirname "$0")/.." && pwd)
SUITE=trixie

PASS="Wine 10 pass"
source "$PROJECT/scripts/roots.sh"

run() { run_in_root /wine env WINEDEBUG="${WINEDEBUG:--all}" "$@"; }

# What building the companion there takes: Debian 13's compiler, GLib and TagLib 2.0.
BUILDING="g++ make cmake pkg-config libglib2.0-dev libtag-dev libgtest-dev"

setup() {
    if [[ ! -e $ROOT/.tunedesk-ready ]]; then
        [[ $(id -u) == 0 ]] || skip "making the root needs root"
        command -v debootstrap >/dev/null || {
            apt-get update >/dev/null && apt-get install -y --no-install-recommends debootstrap >/dev/null; }
        echo "making the Wine 10 root in $ROOT (a few minutes, once)"
        make_root "$SUITE" amd64 wine wine64 $BUILDING
    fi
    # A root made before the companion was built there gains what that takes.
    [[ -e $ROOT/usr/include/taglib/tag.h ]] || install_in_root $BUILDING
}

case ${1:-} in
    setup) setup ;;
    run) shift; run "$@" ;;
    *) sed -n '2,12p' "$0"; exit 2 ;;
esac
