#!/usr/bin/env bash
# Builds the Windows serial device and the Qt-free setup code for 64-bit
# Windows (MinGW-w64) and runs their tests under Wine, with COM1 of a private
# Wine prefix leading to torvik-sim's pseudo-terminal. Everything lands in
# build/windows/. Ends with "N passed, N failed"; exits non-zero on a failure.
#
# TORVIK_SIM may name a Linux torvik-sim already built (test.sh passes the
# sanitizer build's); otherwise one is built in build/windows/host.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
out="$root/build/windows"

./scripts/install-deps.sh

sim="${TORVIK_SIM:-}"
if [ -z "$sim" ]; then
  cmake -S . -B "$out/host" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DTORVIK_TESTS=OFF -DTORVIK_BENCH=OFF >/dev/null
  cmake --build "$out/host" --target torvik-sim >"$out/host-build.log" ||
    { cat "$out/host-build.log"; exit 1; }
  sim="$out/host/torvik-sim"
fi

cmake -S tests/windows -B "$out/cross" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$out/cross" >"$out/cross-build.log" || { cat "$out/cross-build.log"; exit 1; }

# The host-side library that lets Wine wait on a pseudo-terminal (see its source).
preload="$out/libptymodemlines.so"
cc -std=c11 -O2 -Wall -Wextra -Wpedantic -Werror -shared -fPIC \
  -o "$preload" tests/windows/PtyModemLines.c -ldl

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEPREFIX="$out/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no .NET or browser engine prompts
unset DISPLAY WAYLAND_DISPLAY                # console programs only
link="$out/com1-line"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  start=$SECONDS
  "$wine" wineboot --init >/dev/null 2>&1
  echo "Wine prefix created in $((SECONDS - start)) s"
fi
# Wine's mount manager rebuilds dosdevices/com1 from this key when it starts.
"$wine" reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$link" /f >/dev/null 2>&1
"$wineserver" -w
# A server of our own for the run, so its shutdown notes stay out of the log.
"$wineserver" -p >/dev/null 2>&1
"$wine" cmd /c exit >/dev/null 2>&1
if [ "$(readlink "$WINEPREFIX/dosdevices/com1")" != "$link" ]; then
  echo "COM1 of the Wine prefix does not lead to $link" >&2
  exit 1
fi

report="$out/windows_tests.xml"
rm -f "$report"
status=0
TORVIK_SIM="$sim" TORVIK_COM1_LINK="$link" LD_PRELOAD="$preload" \
  timeout 300 "$wine" "$out/cross/windows_tests.exe" --gtest_output="xml:Z:$report" \
  >"$out/windows_tests.log" 2>&1 || status=$?
"$wineserver" -k 2>/dev/null || true

tests=$(sed -n 's/^<testsuites tests="\([0-9]*\)" failures="\([0-9]*\)".*/\1/p' "$report" 2>/dev/null || true)
failed=$(sed -n 's/^<testsuites tests="\([0-9]*\)" failures="\([0-9]*\)".*/\2/p' "$report" 2>/dev/null || true)
if [ -z "$tests" ]; then
  cat "$out/windows_tests.log"
  echo "0 passed, 1 failed (the test program ended with status $status before its report)"
  exit 1
fi
if [ "$status" -ne 0 ] || [ "$failed" -ne 0 ]; then
  grep -v '^\[       OK \]' "$out/windows_tests.log" | grep -v '^\[ RUN      \]' || true
fi
echo "$((tests - failed)) passed, $failed failed"
[ "$status" -eq 0 ] && [ "$failed" -eq 0 ]
