#!/usr/bin/env bash
# Builds all three presets and the release zips, and runs every test: the host unit tests, the
# check of the executables' resources, then the acceptance scenarios, which run the real
# tunedesk.exe under Wine against a stand-in player.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-tools.sh
cmake --preset host >/dev/null
cmake --build --preset host -j "$(nproc)"
scripts/package.sh  # both Windows builds and their release zips
ctest --preset host
python3 tests/resources/check.py build/win64/tunedesk.exe build/win32/tunedesk.exe
python3 res/make_icons.py --picture build/icons.png
cmp build/icons.png docs/icons.png || { echo "docs/icons.png is out of date: res/make_icons.py --picture docs/icons.png"; exit 1; }
python3 tests/acceptance/run.py
