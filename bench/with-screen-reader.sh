#!/usr/bin/env bash
# Runs a command (a benchmark) on a virtual X display with the accessibility
# bridge on and a listener to every accessibility event on the bus, as for a
# screen-reader user:
#
#   bench/with-screen-reader.sh build/bench/bench/save_config_bench [ARGS...]
#
# Without the bus started and someone listening, Qt's bridge stays off or
# sends nothing, so a plain QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 measures
# nothing of it.
set -euo pipefail
if [ "${1:-}" != --inside ]; then
  exec xvfb-run -a -s "-screen 0 1600x1000x24" dbus-run-session -- "$0" --inside "$@"
fi
shift
listener_output="$(mktemp)"
/usr/bin/python3 "$(dirname "$0")/screen-reader-listener.py" >"$listener_output" &
listener=$!
trap 'kill "$listener" 2>/dev/null; rm -f "$listener_output"' EXIT
for _ in $(seq 100); do
  grep -q ready "$listener_output" && break
  sleep 0.1
done
grep -q ready "$listener_output" || { echo "The accessibility listener did not start" >&2; exit 1; }
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@"
