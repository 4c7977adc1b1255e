#!/usr/bin/env bash
# Tries the Windows program as a Windows user would, under Wine: installs the
# installer that scripts/build-windows.sh made (silently, /S) into a Wine
# prefix of its own, build/windows/try/prefix, with COM1 leading to a
# torvik-sim pseudo-terminal. The simulator's command log is
# build/windows/try/commands.log; Wine's own messages go to
# build/windows/try/wine.log.
#
#   DISPLAY=:N scripts/try-windows.sh [TORVIK-SIM OPTIONS...]
#       starts the installed program on $DISPLAY (drive it by hand or with
#       xdotool) and stops the simulator when its window is closed;
#   scripts/try-windows.sh --cmd 'torvik-setup --port COM1 --read -'
#       runs a command line in Windows' cmd, in the installation folder, as a
#       user at a Windows prompt would (cmd finds torvik-setup.com first), and
#       prints the exit status cmd saw. No display needed.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
out="$root/build/windows"
try="$out/try"
source scripts/windows-common.sh
command_line=""
if [ "${1:-}" = "--cmd" ]; then
  command_line="${2:?--cmd needs a command line}"
  shift 2
fi
installer="$(ls "$out"/package/torvik-setup-*-win64.exe 2>/dev/null | head -1)"
[ -n "$installer" ] || { echo "No installer: run scripts/build-windows.sh first." >&2; exit 1; }
[ -n "$command_line" ] || : "${DISPLAY:?a display to show the program on}"
./scripts/install-deps.sh

mkdir -p "$try"
sim="$out/host/torvik-sim"
if [ ! -x "$sim" ]; then
  cmake -S . -B "$out/host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTORVIK_TESTS=OFF -DTORVIK_BENCH=OFF >/dev/null
  cmake --build "$out/host" --target torvik-sim >/dev/null
fi
# Lets Wine wait for comm events on a pseudo-terminal (see its source).
preload="$try/libptymodemlines.so"
cc -std=c11 -O2 -shared -fPIC -o "$preload" tests/support/PtyModemLines.c -ldl

export WINEPREFIX="$try/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
link="$try/com1-line"
[ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot --init >>"$try/wine.log" 2>&1
"$wine" reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$link" /f >>"$try/wine.log" 2>&1
"$wineserver" -w

"$sim" --link "$link" --log "$try/commands.log" --state "$try/switch.ini" "$@" >/dev/null &
simulator=$!
trap 'kill $simulator 2>/dev/null || true' EXIT
"$wine" "$installer" /S >>"$try/wine.log" 2>&1
folder="$WINEPREFIX/drive_c/Program Files/Torvik Setup"
[ -f "$folder/torvik-setup.exe" ] || { echo "The installer did not install $folder/torvik-setup.exe" >&2; exit 1; }
if [ -n "$command_line" ]; then
  # Started in the installation folder, which Wine maps to C:; the command's
  # own messages are shown (its standard error joins its output in cmd), Wine's
  # are logged.
  (cd "$folder" && LD_PRELOAD="$preload" "$wine" cmd /c "$command_line 2>&1 & call echo (exit status %errorlevel%)" \
    2>>"$try/wine.log")
  exit 0
fi
echo "Installed: C:\\Program Files\\Torvik Setup\\torvik-setup.exe"
LD_PRELOAD="$preload" "$wine" "$folder/torvik-setup.exe" 2>>"$try/wine.log"
