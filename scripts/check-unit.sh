#!/usr/bin/env bash
# Checks the package's systemd user unit with systemd-analyze verify, where that command exists:
# against the package extracted into a temporary root, its ExecStart aimed at the binary there and
# its man page found there. Any word from systemd-analyze is a failure.
set -euo pipefail
command -v systemd-analyze >/dev/null || { echo "no systemd-analyze here: the unit is not checked"; exit 0; }
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$1" "$root/package"
mkdir -m 700 "$root/runtime" "$root/units"
sed "s|^ExecStart=/|ExecStart=$root/package/|" "$root/package/usr/lib/systemd/user/tunedesk-mpris.service" \
    >"$root/units/tunedesk-mpris.service"
said=$(MANPATH="$root/package/usr/share/man" XDG_RUNTIME_DIR="$root/runtime" \
       systemd-analyze --user verify "$root/units/tunedesk-mpris.service" 2>&1) || true
if [[ -n $said ]]; then
    echo "systemd-analyze verify: $said"
    exit 1
fi
echo "systemd-analyze verify: the user unit is sound"
