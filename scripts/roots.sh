# Sourced by the scripts that keep a Debian root with a Wine of its own (wine32.sh, wine10.sh):
# the host's Debian mirror, a line for a pass that can't be had, and a command run inside a root.
# They set ROOT, PROJECT and PASS (what the line names) first.

skip() {
    echo "$PASS skipped: $*"
    exit 3
}

# The Debian mirror the host's own apt uses.
mirror() {
    { grep -h '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '{print $2}'
      grep -h '^deb ' /etc/apt/sources.list 2>/dev/null | awk '{print $2}'; } |
        grep -v security | head -1
}

# What runs in a private mount namespace: given as an argument, not on standard input, which stays
# the command's own (a follower reads its lines there). The root's /usr is at ROOT/usr inside too,
# so that a Wine started as ROOT/usr/lib/wine/wine names its files by paths the host can open.
INSIDE='set -e
root=$1 project=$2 here=$3 prefix=$4
shift 4
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
mkdir -p "$root$project" "$root$root/usr"
mount --bind "$project" "$root$project"
mount --bind /tmp "$root/tmp"
mount --bind "$root/usr" "$root$root/usr"
cp /etc/resolv.conf "$root/etc/resolv.conf"
exec chroot "$root" /usr/bin/env -u TMPDIR HOME=/root WINEPREFIX="$prefix" \
    /bin/sh -c '"'"'cd "$0" && exec "$@"'"'"' "$here" "$@"'

# Runs a command in the root with the Wine prefix given, in the current directory, with the project
# folder and /tmp at the same paths as outside, in a mount namespace that ends with its last process.
run_in_root() {
    local prefix=$1
    shift
    unshare -m --propagation private /bin/bash -c "$INSIDE" inside "$ROOT" "$PROJECT" "$PWD" "$prefix" "$@"
}

# Installs Debian's packages named in the root.
install_in_root() {
    run /bin/sh -c "export DEBIAN_FRONTEND=noninteractive; apt-get update &&
        apt-get install -y --no-install-recommends $* && apt-get clean" >>"$ROOT.log" 2>&1
}

# Makes the root: Debian's SUITE for ARCH from the host's mirror, holding the packages named after
# them, and its Wine prefix /wine, with the null graphics driver before Wine's first start, so that
# no X server is needed. The script's run runs the commands inside.
make_root() {
    local suite=$1 arch=$2
    shift 2
    rm -rf "$ROOT"
    debootstrap --arch="$arch" --variant=minbase "$suite" "$ROOT" "$(mirror)" >"$ROOT.log" 2>&1
    install_in_root "$@"
    mkdir -p "$ROOT/wine"
    printf 'WINE REGISTRY Version 2\n\n[Software\\\\Wine\\\\Drivers]\n"Graphics"="null"\n' \
        >"$ROOT/wine/user.reg"
    run /bin/sh -c 'WINEDEBUG=-all wineboot -i && wineserver -w' >>"$ROOT.log" 2>&1
    touch "$ROOT/.tunedesk-ready"
}

