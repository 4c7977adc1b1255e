#!/usr/bin/env bash
# Cross-builds the part of Qt the Windows program and its tests need (QtCore,
# QtGui, QtWidgets, QtTest, the Windows and offscreen platform
# plugins and the Windows style) with MinGW-w64, from Debian's own sources
# of the Qt version the Linux build uses. Built once per machine into a cache
# folder outside the clone (see windows-common.sh); a second run finds it
# there and returns at once. About half an hour on two cores.
#
# What it changes on the machine (as root; it says so as it does it):
#  - adds Debian's source archive (deb-src) to apt's sources, if none is there;
#  - installs dpkg-dev (apt-get source needs it; apt may upgrade it), MinGW-w64
#    and Qt's host tools.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-common.sh

if [ -f "$windows_qt/built" ]; then
  echo "Qt for Windows: $windows_qt (built before)"
  exit 0
fi
started=$(date +%s)
jobs="${JOBS:-$(nproc)}"

if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  echo "Adding Debian's source archive to apt: /etc/apt/sources.list.d/debian-sources.sources"
  cat >/etc/apt/sources.list.d/debian-sources.sources <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  apt-get update -qq
fi
needed=(dpkg-dev g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools cmake ninja-build)
echo "Installing what the Qt build uses: ${needed[*]}"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${needed[@]}" >/dev/null

# Sources and build trees go to a scratch folder beside the cache, removed at
# the end. Qt is installed in its place, which its CMake files remember, and
# is taken for built only when the stamp "built" is written last.
work="$windows_qt.work"
rm -rf "$work" "$windows_qt"
mkdir -p "$work/src" "$windows_qt"
# The cached Qt outlives the clone it was built from: it keeps its own copy
# of the cross-compiling toolchain file.
cp cmake/mingw-w64-x86_64.cmake "$windows_qt/"
(cd "$work/src" && apt-get source -qq qt6-base >/dev/null 2>&1)
base="$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name "qt6-base-*" | head -1)"
[ -n "$base" ] || { echo "apt-get source did not unpack Qt's sources in $work/src" >&2; exit 1; }

# Qt 6.4's Windows plugin uses two things by features that stay on when what
# they stand on is off: dynamic OpenGL without OpenGL, and the DirectWrite
# font database, which QtGui builds only with Direct2D.
windows_plugin="$base/src/plugins/platforms/windows"
sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' "$windows_plugin/qwindowswindow.cpp"
sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' "$windows_plugin/qwindowsintegration.cpp"

host=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
# Nothing the program and its tests do not use: no OpenGL, network, D-Bus,
# SQL, printing, XML, JPEG or GIF. No tablet events either: Debian's sources
# leave out the tablet driver header the Windows plugin needs for them.
cmake -S "$base" -B "$work/qtbase-build" -G Ninja "${host[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$windows_qt/mingw-w64-x86_64.cmake" -DCMAKE_INSTALL_PREFIX="$windows_qt" \
  -DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_opengl=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_sql=OFF \
  -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF -DFEATURE_vulkan=OFF \
  -DFEATURE_direct2d=OFF -DFEATURE_tabletevent=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF \
  >"$work/qtbase-configure.log"
cmake --build "$work/qtbase-build" --parallel "$jobs" >"$work/qtbase-build.log" ||
  { tail -n 40 "$work/qtbase-build.log"; exit 1; }
cmake --install "$work/qtbase-build" >/dev/null

rm -rf "$work"
touch "$windows_qt/built"
echo "Qt for Windows: $windows_qt, built in $(( ($(date +%s) - started) / 60 )) min $(( ($(date +%s) - started) % 60 )) s"
