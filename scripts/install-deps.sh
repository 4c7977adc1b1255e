#!/usr/bin/env bash
# Installs every Debian package that building, testing, running and benchmarking
# torvik-setup needs. Idempotent and quiet: packages already present are skipped.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-serialport-dev libgl-dev libwayland-dev libxcb1-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix wine64 nsis
  fonts-liberation fonts-dejavu-core fontconfig
  xvfb xauth
  at-spi2-core python3-pyatspi dbus-x11 xdotool
  desktop-file-utils appstream librsvg2-bin icoutils lintian bash-completion file
)

missing=()
for pkg in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

export DEBIAN_FRONTEND=noninteractive
echo "Installing: ${missing[*]}"
if ! $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null 2>&1; then
  $SUDO apt-get update -qq >/dev/null
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
