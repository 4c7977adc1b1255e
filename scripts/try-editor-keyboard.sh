#!/usr/bin/env bash
# Tries the layout editor as a keyboard and screen-reader user would: starts
# the utility on a virtual X display with the accessibility bus on, places
# and moves two monitors with `xdotool key` only, and prints what AT-SPI
# reports of the focus and of the tiles after each step.
#
#   scripts/try-editor-keyboard.sh [BUILD_DIR]   (default: build)
#
# BUILD_DIR must hold a built torvik-setup (./run.sh builds it in build/).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
build="${1:-build}"
[ -x "$build/torvik-setup" ] || { echo "No $build/torvik-setup: build it first (./run.sh)." >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
xvfb-run -a -s "-screen 0 1600x1000x24" \
  dbus-run-session -- /usr/bin/python3 scripts/try-editor-keyboard.py "$build/torvik-setup" "$work/TORVIK.INI"
