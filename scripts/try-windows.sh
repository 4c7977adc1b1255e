#!/usr/bin/env bash
# Tries the Windows program as a Windows user would, under Wine: installs the
# installer that scripts/build-windows.sh made (silently, /S) into a Wine
# prefix of its own, with COM1 leading to a torvik-sim pseudo-terminal, and
# starts the installed program on $DISPLAY. Drive it by hand or with xdotool.
# The simulator's command log is build/windows/try/commands.log; the program
# runs until its window is closed, then the simulator is stopped.
# usage: DISPLAY=:N scripts/try-windows.sh [TORVIK-SIM OPTIONS...]
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
out="$root/build/windows"
try="$out/try"
installer="$(ls "$out"/package/torvik-setup-*-win64.exe 2>/dev/null | head -1)"
[ -n "$installer" ] || { echo "No installer: run scripts/build-windows.sh first." >&2; exit 1; }
: "${DISPLAY:?a display to show the program on}"

mkdir -p "$try"
sim="$out/host/torvik-sim"
if [ ! -x "$sim" ]; then
  cmake -S . -B "$out/host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTORVIK_TESTS=OFF -DTORVIK_BENCH=OFF >/dev/null
  cmake --build "$out/host" --target torvik-sim >/dev/null
fi
# Lets Wine wait for comm events on a pseudo-terminal (see its source).
preload="$try/libptymodemlines.so"
cc -std=c11 -O2 -shared -fPIC -o "$preload" tests/windows/PtyModemLines.c -ldl

wine=/usr/lib/wine/wine64
export WINEPREFIX="$try/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
link="$try/com1-line"
[ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot --init >/dev/null 2>&1
"$wine" reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$link" /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w

"$sim" --link "$link" --log "$try/commands.log" --state "$try/switch.ini" "$@" >/dev/null &
simulator=$!
trap 'kill $simulator 2>/dev/null || true' EXIT
"$wine" "$installer" /S
program="$WINEPREFIX/drive_c/Program Files/Torvik Setup/torvik-setup.exe"
[ -f "$program" ] || { echo "The installer did not install $program" >&2; exit 1; }
echo "Installed: C:\\Program Files\\Torvik Setup\\torvik-setup.exe"
LD_PRELOAD="$preload" "$wine" "$program"
