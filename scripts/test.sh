#!/usr/bin/env bash
# Builds all three presets and runs every test: the host unit tests, then the acceptance
# scenarios, which run the real tunedesk.exe under Wine against a stand-in player.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-tools.sh
for preset in host win64 win32; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)"
done
ctest --preset host
python3 tests/acceptance/run.py
