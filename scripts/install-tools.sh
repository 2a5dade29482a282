#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing; tunedesk-mpris
# builds with GLib and TagLib and is tested with dbus-daemon, playerctl, GLib's Python binding for
# a burst of calls, and files made with sox and tagged with mutagen; its package is built with
# dpkg-dev and checked with lintian, man and systemd's systemd-analyze. Never wine32: it takes over the wine loader, and this kernel cannot run 32-bit
# programs anyway.
set -euo pipefail

packages=(cmake make g++ libgtest-dev python3 python3-pefile clang libclang-rt-dev
          g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64
          libglib2.0-dev libtag1-dev pkg-config dbus playerctl python3-gi
          sox libsox-fmt-mp3 python3-mutagen
          dpkg-dev lintian man-db)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if ((${#missing[@]})); then
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
fi
