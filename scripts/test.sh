#!/usr/bin/env bash
# Builds every preset, the release zips and the Linux package, and runs every test: the host unit
# tests, plain and under ASan and UBSan, a second build of the release that must give the same
# bytes, the check of the executables' resources, lintian and systemd-analyze on the package,
# short fuzz runs, then the acceptance scenarios, which run the real tunedesk.exe under Wine
# against a stand-in player: the win64 build, tunedesk-mpris end to end, as built and as
# packaged, then the win32 build in a 32-bit Wine and the win64 build against a 32-bit player
# (both skipped, with a line that says why, where binfmt_misc can't be had), then the win64 build
# and tunedesk-mpris under Debian 13's Wine 10, and the companion's code built there against
# TagLib 2.0 (skipped, with a line, where that root can't be made).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-tools.sh
for preset in host host-asan; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)"
    ctest --preset "$preset"
done
scripts/package.sh  # both Windows builds, their release zips, the .deb and SHA256SUMS
scripts/reproduce.sh  # the same bytes from a second build elsewhere
deb=(build/release/tunedesk-mpris_*.deb)
lintian --fail-on error,warning "${deb[@]}"
scripts/check-unit.sh "${deb[@]}"
/usr/bin/python3 tests/resources/check.py build/win64/tunedesk.exe build/win32/tunedesk.exe
python3 res/make_icons.py --picture build/icons.png
cmp build/icons.png docs/icons.png || { echo "docs/icons.png is out of date: res/make_icons.py --picture docs/icons.png"; exit 1; }
scripts/fuzz.sh 20
python3 tests/acceptance/run.py
python3 tests/mpris/run.py  # tunedesk-mpris with playerctl on a private session bus
python3 tests/mpris/run.py --packaged "${deb[@]}"  # the same, as the package lays it out
# The passes in Wines of their own, each where its root can be had here (its script says why
# not otherwise): the win32 build in a 32-bit Wine, then the win64 build against the 32-bit
# stand-in on one wineserver; the win64 build and tunedesk-mpris in Debian 13's Wine 10.
thirty_two_bit() {
    python3 tests/acceptance/run.py --pairing win32
    python3 tests/acceptance/run.py --pairing mixed
}
wine_ten() {
    python3 tests/acceptance/run.py --pairing wine10
    python3 tests/mpris/run.py --pairing wine10
    # The companion's code as Debian 13 builds it, against TagLib 2.0: its unit tests, and the
    # tags and covers it reads there.
    scripts/wine10.sh run sh -c "cmake -S . -B build/debian13 >/dev/null &&
        cmake --build build/debian13 -j $(nproc) --target mpris_model_test tags-probe >/dev/null &&
        build/debian13/tests/mpris/mpris_model_test --gtest_brief=1"
    python3 tests/mpris/run.py --tags scripts/wine10.sh run build/debian13/tests/mpris/tags-probe
}
where_root_is_had() {
    local status=0
    "$1" setup || status=$?
    if ((status == 0)); then
        "$2"
    elif ((status != 3)); then
        exit "$status"
    fi
}
where_root_is_had scripts/wine32.sh thirty_two_bit
where_root_is_had scripts/wine10.sh wine_ten
