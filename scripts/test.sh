#!/usr/bin/env bash
# Builds all three presets and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-tools.sh
for preset in host win64 win32; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)"
done
ctest --preset host
