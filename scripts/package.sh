#!/usr/bin/env bash
# Builds the release into build/release: tunedesk-VERSION-win64.zip and tunedesk-VERSION-win32.zip,
# each holding tunedesk.exe, TUNEDESK.INI, README.txt and LICENSE, the Linux package
# tunedesk-mpris_VERSION-1_amd64.deb (scripts/deb.sh), and SHA256SUMS beside them.
# The same commit gives the same bytes wherever and whenever it is built: the executables and the
# zip entries carry the last commit's time (SOURCE_DATE_EPOCH, which may be given instead), and
# the entries have a fixed order and fixed attributes.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-tools.sh
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
version=$(sed -n 's/^project(tunedesk VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
release=build/release
rm -rf "$release"
mkdir -p "$release"
for preset in win64 win32; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)" >/dev/null
    python3 - "$release/tunedesk-$version-$preset.zip" "build/$preset" <<'PY'
import os, sys, time, zipfile
archive_path, built = sys.argv[1:]
ZIP_EPOCH = 315532800  # 1980-01-01: a zip can't hold an earlier time
stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), ZIP_EPOCH))[:6]
with zipfile.ZipFile(archive_path, "w") as archive:
    for name in ("tunedesk.exe", "TUNEDESK.INI", "README.txt", "LICENSE"):
        entry = zipfile.ZipInfo(name, stamp)
        entry.create_system = 0  # MS-DOS attributes, as Windows' own zips have
        entry.external_attr = 0x20  # archive
        entry.compress_type = zipfile.ZIP_DEFLATED
        source = os.path.join(built, "" if name == "tunedesk.exe" else "dist", name)
        with open(source, "rb") as data:
            archive.writestr(entry, data.read(), compresslevel=9)
print(f"{archive_path}: {', '.join(zipfile.ZipFile(archive_path).namelist())}")
PY
done
scripts/deb.sh
(cd "$release" && sha256sum -- *.zip *.deb >SHA256SUMS)
echo "$release/SHA256SUMS"
