#!/usr/bin/env bash
# Builds the Linux package, build/release/tunedesk-mpris_VERSION-1_amd64.deb: tunedesk-mpris built
# with Debian's hardening flags and stripped, the win64 tunedesk.exe (build/win64 must be built)
# with its settings file as a conffile in /etc/tunedesk, the systemd user unit, the desktop entry,
# the manual page, the copyright and the changelog. Its dependencies come from dpkg-shlibdeps,
# plus wine. The same commit gives the same bytes: every time is SOURCE_DATE_EPOCH, every file is
# root's, and the build's own folder is mapped out of the binary.
set -euo pipefail
cd "$(dirname "$0")/.."

: "${SOURCE_DATE_EPOCH:?set it to the time of the last commit}"
version=$(sed -n 's/^project(tunedesk VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
build=build/deb
root=$build/root
package=build/release/tunedesk-mpris_${version}-1_amd64.deb

# The companion, with the flags Debian builds its packages with, every hardening one included.
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cmake -S . -B "$build/cmake" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS) -ffile-prefix-map=$PWD=." \
    -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" >/dev/null
cmake --build "$build/cmake" --target tunedesk-mpris -j "$(nproc)" >/dev/null

rm -rf "$root"
install -d "$root/DEBIAN" "$root/etc/tunedesk" "$root/usr/bin" "$root/usr/lib/tunedesk" \
    "$root/usr/lib/systemd/user" "$root/usr/share/applications" "$root/usr/share/man/man1" \
    "$root/usr/share/doc/tunedesk-mpris" "$root/usr/share/lintian/overrides"
install -m 755 "$build/cmake/mpris/tunedesk-mpris" "$root/usr/bin/"
strip --remove-section=.comment --remove-section=.note --strip-unneeded "$root/usr/bin/tunedesk-mpris"
# Wine runs a Windows program without the execute bit.
install -m 644 build/win64/tunedesk.exe "$root/usr/lib/tunedesk/"
install -m 644 build/win64/dist/TUNEDESK.INI "$root/etc/tunedesk/"
# The program reads TUNEDESK.INI beside itself; this link puts the conffile there.
ln -s /etc/tunedesk/TUNEDESK.INI "$root/usr/lib/tunedesk/TUNEDESK.INI"
install -m 644 mpris/tunedesk-mpris.service "$root/usr/lib/systemd/user/"
install -m 644 mpris/tunedesk-mpris.desktop "$root/usr/share/applications/"
install -m 644 dist/deb/copyright "$root/usr/share/doc/tunedesk-mpris/"
install -m 644 dist/deb/lintian-overrides "$root/usr/share/lintian/overrides/tunedesk-mpris"
gzip -9n <mpris/tunedesk-mpris.1 >"$root/usr/share/man/man1/tunedesk-mpris.1.gz"
gzip -9n <dist/deb/changelog >"$root/usr/share/doc/tunedesk-mpris/changelog.Debian.gz"
chmod 644 "$root"/usr/share/man/man1/* "$root"/usr/share/doc/tunedesk-mpris/*

# What the binary needs at run time, as dpkg-shlibdeps finds it from the shared libraries.
shlibs=$(mktemp -d)
trap 'rm -rf "$shlibs"' EXIT
mkdir "$shlibs/debian"
printf 'Source: tunedesk\n\nPackage: tunedesk-mpris\nArchitecture: amd64\n' >"$shlibs/debian/control"
depends=$(cd "$shlibs" && dpkg-shlibdeps -O "$OLDPWD/$root/usr/bin/tunedesk-mpris" |
          sed -n 's/^shlibs:Depends=//p')

install -m 644 dist/deb/conffiles "$root/DEBIAN/"
(cd "$root" && find etc usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
size=$(du -sk --exclude=DEBIAN "$root" | cut -f1)
sed -e "s/@VERSION@/$version/" -e "s/@INSTALLED_SIZE@/$size/" -e "s/@DEPENDS@/$depends/" \
    dist/deb/control >"$root/DEBIAN/control"
chmod 644 "$root/DEBIAN/"*
find "$root" -type d -exec chmod 755 {} +
find "$root" -exec touch --no-dereference --date="@$SOURCE_DATE_EPOCH" {} +
dpkg-deb --root-owner-group -Zxz --build "$root" "$package" >/dev/null
echo "$package: $(dpkg-deb --field "$package" Installed-Size) KiB installed, depends on $(dpkg-deb --field "$package" Depends)"
