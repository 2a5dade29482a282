#!/usr/bin/env bash
# The demo: builds tunedesk.exe and a stand-in player, starts the player under Wine, sends it a
# few switches with tunedesk, and shows what the player received.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-tools.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$(nproc)" >/dev/null
exec python3 tests/acceptance/run.py --demo
