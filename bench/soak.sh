#!/usr/bin/env bash
# Soak test (not part of CI): CYCLES (default 1000) Load Config + Save Config
# cycles through the real windows on Qt's offscreen platform, against
# torvik-sim. Prints open file descriptors, threads and resident memory
# after the first cycle and at the end; they should stay flat.
set -euo pipefail
cd "$(dirname "$0")/.."
cycles="${1:-1000}"
./scripts/install-deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTORVIK_TESTS=OFF >/dev/null
cmake --build build/bench --target soak torvik-sim torvik-map-port >/dev/null

work="build/soak"
rm -rf "$work"
mkdir -p "$work"
build/bench/torvik-sim --link "$work/switch.tty" --state "$work/switch.ini" >/dev/null &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -L "$work/switch.tty" ] && break; sleep 0.1; done
build/bench/torvik-map-port "$work/TORVIK.INI" COM1 "$PWD/$work/switch.tty"
QT_QPA_PLATFORM=offscreen build/bench/bench/soak "$work/TORVIK.INI" "$cycles"
