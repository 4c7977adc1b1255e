#!/usr/bin/env bash
# Cross-builds torvik-setup.exe for 64-bit Windows against the Windows Qt
# (scripts/build-windows-qt.sh builds it when this machine has none yet), and
# its installer with CPack's NSIS generator:
# build/windows/package/torvik-setup-<version>-win64.exe. The simulator stays
# a Linux program.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$PWD/build/windows"
source scripts/windows-common.sh
./scripts/install-deps.sh
./scripts/build-windows-qt.sh

started=$(date +%s)
cmake -S . -B "$out/program" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$windows_qt_toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DTORVIK_WERROR=ON -DTORVIK_TESTS=OFF -DTORVIK_BENCH=OFF >/dev/null
cmake --build "$out/program"
(cd "$out/program" && cpack -G NSIS -B "$out/package" >/dev/null)
installer="$(ls "$out"/package/torvik-setup-*-win64.exe)"
echo "$installer ($(du -h "$installer" | cut -f1)), built in $(( $(date +%s) - started )) s"
