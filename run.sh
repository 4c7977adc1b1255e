#!/usr/bin/env bash
# Installs what is needed, builds the utility (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTORVIK_TESTS=OFF -DTORVIK_BENCH=OFF >/dev/null
cmake --build build

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): running on a virtual X display." >&2
  exec xvfb-run -a build/torvik-setup
fi
exec build/torvik-setup
