#!/usr/bin/env bash
# The Debian package that scripts/package-deb.sh built: its fields and files,
# and its programs unpacked into a scratch folder and started from there.
# Skipped (status 77) when the package has not been built.
# usage: package.sh PACKAGE_DIR VERSION
set -euo pipefail
here="$(dirname "$0")"
version="$2"
deb="$1/torvik-setup_${version}-1_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "No package at $deb: run scripts/package-deb.sh first."; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = "torvik-setup" ] || fail "Package"
[ "$(field Version)" = "${version}-1" ] || fail "Version"
[ "$(field Section)" = "utils" ] || fail "Section"
[ -n "$(field Maintainer)" ] || fail "Maintainer"
# grep -q stops reading at the first match; under pipefail the writer's
# SIGPIPE would fail the check, so the outputs are taken whole first.
grep -q "KVM switch" <<<"$(field Description)" || fail "Description"
depends="$(field Depends)"
for library in libqt6core6 libqt6gui6 libqt6widgets6 libc6 libstdc++6; do
  grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library: $depends"
done
# Native Wayland sessions need the platform plugin, which Depends cannot
# find: the program does not link it.
[ "$(field Recommends)" = "qt6-wayland" ] || fail "Recommends"
dpkg-deb --info "$deb" >/dev/null

contents="$(dpkg-deb --contents "$deb" | awk '{print $6}' | grep -v '/$' | sort)"
expected="./usr/bin/torvik-setup
./usr/bin/torvik-sim
./usr/share/applications/io.github.torviksetup.TorvikSetup.desktop
./usr/share/bash-completion/completions/torvik-setup
./usr/share/doc/torvik-setup/README.Debian
./usr/share/doc/torvik-setup/changelog.Debian.gz
./usr/share/doc/torvik-setup/copyright
./usr/share/icons/hicolor/48x48/apps/io.github.torviksetup.TorvikSetup.png
./usr/share/icons/hicolor/scalable/apps/io.github.torviksetup.TorvikSetup.svg
./usr/share/man/man1/torvik-setup.1.gz
./usr/share/man/man1/torvik-sim.1.gz
./usr/share/metainfo/io.github.torviksetup.TorvikSetup.metainfo.xml"
if [ "$contents" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$contents") >&2 || true
  fail "the package's files differ from the expected ones (< expected, > packaged)"
fi

# Debian's own checks; a package made outside Debian closes no bug of Debian's.
# The programs are built with Debian's hardening flags: no hardening-no-* tag,
# not even one of those lintian only tells as information.
report="$(lintian --fail-on error,warning --display-info --suppress-tags initial-upload-closes-no-bugs "$deb" 2>&1)" \
  || fail "lintian: $report"
grep -q "hardening-no-" <<<"$report" && fail "built without a hardening flag: $report"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
dpkg -x "$deb" "$scratch/root"
grep -q dialout "$scratch/root/usr/share/doc/torvik-setup/README.Debian" || fail "README.Debian does not name dialout"
magic="$(od -An -c -N4 "$scratch/root/usr/bin/torvik-setup" | tr -d ' ')"
[ "$magic" = "177ELF" ] || fail "torvik-setup is not an ELF program"
grep -q '\.debug_\|\.symtab' <<<"$(readelf -S "$scratch/root/usr/bin/torvik-setup")" && fail "torvik-setup is not stripped"

"$here/installed-program.sh" "$scratch/root/usr" "$scratch" "$version"
