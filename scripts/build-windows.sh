#!/usr/bin/env bash
# Cross-builds torvik-setup.exe for 64-bit Windows against the Qt that
# scripts/build-windows-qt.sh made, and its installer with CPack's NSIS
# generator: build/windows/package/torvik-setup-<version>-win64.exe. The
# simulator stays a Linux program.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$PWD/build/windows"
toolchain="$out/qt/lib/cmake/Qt6/qt.toolchain.cmake"
if [ ! -f "$toolchain" ]; then
  echo "No Qt for Windows in $out/qt: run scripts/build-windows-qt.sh first." >&2
  exit 1
fi
command -v makensis >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq nsis >/dev/null

started=$(date +%s)
cmake -S . -B "$out/program" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DTORVIK_WERROR=ON -DTORVIK_TESTS=OFF -DTORVIK_BENCH=OFF >/dev/null
cmake --build "$out/program"
(cd "$out/program" && cpack -G NSIS -B "$out/package" >/dev/null)
installer="$(ls "$out"/package/torvik-setup-*-win64.exe)"
echo "$installer ($(du -h "$installer" | cut -f1)), built in $(( $(date +%s) - started )) s"
