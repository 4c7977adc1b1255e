#!/usr/bin/env bash
# Installs what is needed, builds the utility (Release) and starts it with
# COM1 connected to the switch simulator, or with --port DEVICE to a real
# switch on that serial device.
set -euo pipefail
cd "$(dirname "$0")"

usage() {
  echo "usage: ./run.sh [--port DEVICE]" >&2
  exit 2
}
port=""
while [ $# -gt 0 ]; do
  case "$1" in
    --port) [ $# -ge 2 ] && [ -n "$2" ] || usage; port="$2"; shift 2 ;;
    *) usage ;;
  esac
done

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTORVIK_TESTS=OFF -DTORVIK_BENCH=OFF >/dev/null
cmake --build build

build="$PWD/build"
sim_pid=""
stop_sim() {
  if [ -n "$sim_pid" ]; then
    kill -TERM "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
}
trap stop_sim EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [ -z "$port" ]; then
  port="$build/torvik-sim.tty"
  # A link left behind by a simulator that was killed outright.
  if [ -L "$port" ]; then rm -f "$port"; fi
  "$build/torvik-sim" --link "$port" --state "$build/torvik-sim.ini" >/dev/null &
  sim_pid=$!
  # The link appears once the simulator is ready.
  for _ in $(seq 100); do
    [ -L "$port" ] && break
    kill -0 "$sim_pid" 2>/dev/null || { echo "The switch simulator did not start." >&2; exit 1; }
    sleep 0.1
  done
  [ -L "$port" ] || { echo "The switch simulator did not start." >&2; exit 1; }
  echo "Switch simulator running; it keeps its saved configuration in build/torvik-sim.ini."
fi
"$build/torvik-map-port" "$build/TORVIK.INI" COM1 "$port"
echo "COM1 is $port."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): running on a virtual X display." >&2
  xvfb-run -a "$build/torvik-setup"
else
  "$build/torvik-setup"
fi
