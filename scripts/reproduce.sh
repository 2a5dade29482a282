#!/usr/bin/env bash
# Builds the release a second time, from a copy of the sources in another folder, and checks that
# the zips and SHA256SUMS are byte for byte those of build/release.
set -euo pipefail
cd "$(dirname "$0")/.."

again=$(mktemp -d)
trap 'rm -rf "$again"' EXIT
tar --exclude=./build --exclude=./.git -cf - . | tar -xf - -C "$again"
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) "$again/scripts/package.sh" >/dev/null
for file in build/release/*; do
    cmp "$file" "$again/$file" || { echo "not reproducible: $file"; exit 1; }
done
echo "reproducible: a second build in $again gave the same bytes for $(ls build/release | tr '\n' ' ')"
