#!/usr/bin/env bash
# Builds the release zips, build/win64/tunedesk-VERSION-win64.zip and its win32 twin, and checks
# that each holds the program, TUNEDESK.INI and README.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-tools.sh
for preset in win64 win32; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)" --target all package >/dev/null
    python3 - build/"$preset"/tunedesk-*-"$preset".zip <<'PY'
import sys, zipfile
names = sorted(zipfile.ZipFile(sys.argv[1]).namelist())
if names != ["README.txt", "TUNEDESK.INI", "tunedesk.exe"]:
    sys.exit(f"{sys.argv[1]} holds {names}")
print(f"{sys.argv[1]}: {', '.join(names)}")
PY
done
