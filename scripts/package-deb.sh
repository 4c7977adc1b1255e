#!/usr/bin/env bash
# Builds the Debian package build/package/torvik-setup_<version>-1_<arch>.deb
# from a stripped Release build: the installed tree of `cmake --install`, the
# manual pages compressed, README.Debian, copyright and changelog in
# /usr/share/doc/torvik-setup, and Depends worked out by dpkg-shlibdeps.
set -euo pipefail
cd "$(dirname "$0")/.."
umask 022
out="$PWD/build/package"
build="$out/release"
# dpkg-shlibdeps expects a source package's layout: debian/control, and the
# package's files under debian/<package>, beside its DEBIAN folder.
work="$out/deb"
stage="$work/debian/torvik-setup"

# Release as run.sh builds it (GCC's optimiser warns falsely where the debug
# builds, which treat warnings as errors, do not).
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTORVIK_TESTS=OFF -DTORVIK_BENCH=OFF >/dev/null
if ! cmake --build "$build" --target torvik-setup torvik-sim torvik_icon >"$out/build.log" 2>&1; then
  cat "$out/build.log" >&2
  exit 1
fi
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
arch="$(dpkg --print-architecture)"
deb="$out/torvik-setup_${version}-1_${arch}.deb"

rm -rf "$work"
DESTDIR="$stage" cmake --install "$build" --prefix /usr --strip >/dev/null
gzip -9n "$stage"/usr/share/man/man1/*.1
doc="$stage/usr/share/doc/torvik-setup"
install -d "$doc"
install -m 644 dist/README.Debian dist/copyright "$doc/"
cat >"$work/changelog.Debian" <<CHANGELOG
torvik-setup (${version}-1) unstable; urgency=medium

  * Release ${version}: installable desktop application.

 -- Torvik Setup maintainers <maintainers@torviksetup.invalid>  $(date -R -d @"${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}")
CHANGELOG
gzip -9nc "$work/changelog.Debian" >"$doc/changelog.Debian.gz"

install -d "$stage/DEBIAN"
printf 'Source: torvik-setup\n\nPackage: torvik-setup\nArchitecture: any\n' >"$work/debian/control"
depends="$(cd "$work" && dpkg-shlibdeps -O debian/torvik-setup/usr/bin/torvik-setup debian/torvik-setup/usr/bin/torvik-sim \
  | sed -n 's/^shlibs:Depends=//p')"

cat >"$stage/DEBIAN/control" <<CONTROL
Package: torvik-setup
Version: ${version}-1
Architecture: ${arch}
Maintainer: Torvik Setup maintainers <maintainers@torviksetup.invalid>
Installed-Size: $(du -sk --exclude=DEBIAN "$stage" | cut -f1)
Depends: ${depends}
Recommends: qt6-wayland
Section: utils
Priority: optional
Description: setup utility for a cascadable KVM switch
 Reads and writes the settings of a cascadable keyboard-video-mouse switch
 over a serial line: the port selected at power-up, the hot key, the mouse
 speed and where the pointer lands after a switch. Its layout editor places
 the monitors of up to 20 computers on one shared desktop, so that the
 pointer can glide from one computer's screens to the next.
 .
 Includes torvik-sim, a simulator of the switch on a pseudo-terminal.
CONTROL
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "$deb"
