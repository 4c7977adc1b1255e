#!/usr/bin/env bash
# Cross-builds the part of Qt the Windows program needs (QtCore, QtGui,
# QtWidgets and the Windows platform plugin) with MinGW-w64, from
# Debian's own Qt sources of the version the Linux build uses, into
# build/windows/qt. Run once (as root: it enables source packages and installs
# what the build needs); scripts/build-windows.sh then builds the program and
# its installer against it. Not part of test.sh: it takes far longer than CI
# allows.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
out="$root/build/windows"
prefix="$out/qt"
src="$out/qt-src"
started=$(date +%s)
jobs="${JOBS:-$(nproc)}"

# Debian's source packages: a deb-src entry for the archive the binaries come from.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  cat >/etc/apt/sources.list.d/debian-sources.sources <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  apt-get update -qq
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  dpkg-dev g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools cmake ninja-build >/dev/null

mkdir -p "$src"
if ! ls -d "$src"/qt6-base-*/ >/dev/null 2>&1; then
  (cd "$src" && apt-get source -qq qt6-base >/dev/null 2>&1)
fi
base="$(ls -d "$src"/qt6-base-*/ | head -1)"
# Qt 6.4's Windows plugin uses two things by features that stay on when what
# they stand on is off: dynamic OpenGL without OpenGL, and the DirectWrite
# font database, which QtGui builds only with Direct2D.
windows_plugin="$base/src/plugins/platforms/windows"
sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' "$windows_plugin/qwindowswindow.cpp"
sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' "$windows_plugin/qwindowsintegration.cpp"

toolchain="$root/cmake/mingw-w64-x86_64.cmake"
host=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)

# QtCore, QtGui, QtWidgets and the platform plugins; nothing the program does
# not use (no OpenGL, network, D-Bus, SQL, printing, XML, test library). No
# tablet events either: Debian's sources leave out the tablet driver header
# the Windows plugin needs for them.
cmake -S "$base" -B "$out/qtbase-build" -G Ninja "${host[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_opengl=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_sql=OFF \
  -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_testlib=OFF -DFEATURE_concurrent=OFF \
  -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF -DFEATURE_tabletevent=OFF >"$out/qtbase-configure.log"
cmake --build "$out/qtbase-build" --parallel "$jobs" >"$out/qtbase-build.log"
cmake --install "$out/qtbase-build" >/dev/null

echo "Qt for Windows in $prefix, built in $(( ($(date +%s) - started) / 60 )) min $(( ($(date +%s) - started) % 60 )) s"
