#!/usr/bin/env bash
# Builds torvik-setup and its tests for 64-bit Windows (MinGW-w64 and the
# Windows Qt, built once per machine by scripts/build-windows-qt.sh) and runs
# every test that can run there under Wine, with COM1 of a private Wine
# prefix leading to torvik-sim's pseudo-terminal. The tests that cannot are
# left out by tests/CMakeLists.txt, each with its reason. Everything lands in
# build/windows/; the windows' screenshots in build/windows/screenshots/.
# Ends with "Windows tests: N passed, N failed"; exits non-zero on a failure.
#
# TORVIK_SIM may name a Linux torvik-sim already built (test.sh passes the
# sanitizer build's); otherwise one is built in build/windows/host.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
out="$root/build/windows"
source scripts/windows-common.sh

./scripts/install-deps.sh
./scripts/build-windows-qt.sh

sim="${TORVIK_SIM:-}"
if [ -z "$sim" ]; then
  cmake -S . -B "$out/host" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DTORVIK_TESTS=OFF -DTORVIK_BENCH=OFF >/dev/null
  cmake --build "$out/host" --target torvik-sim >"$out/host-build.log" ||
    { cat "$out/host-build.log"; exit 1; }
  sim="$out/host/torvik-sim"
fi

# The library that lets Wine wait on a pseudo-terminal (see its source),
# loaded into Wine alone: ctest runs each test through this emulator.
mkdir -p "$out"
preload="$out/libptymodemlines.so"
cc -std=c11 -O2 -Wall -Wextra -Wpedantic -Werror -shared -fPIC \
  -o "$preload" tests/support/PtyModemLines.c -ldl
started=$SECONDS
cmake -S . -B "$out/tests" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_TOOLCHAIN_FILE="$windows_qt_toolchain" -DTORVIK_WERROR=ON -DTORVIK_BENCH=OFF \
  -DCMAKE_CROSSCOMPILING_EMULATOR="env;LD_PRELOAD=$preload;$wine" \
  -DTORVIK_SCREENSHOT_DIR="$out/screenshots" >"$out/tests-configure.log" ||
  { cat "$out/tests-configure.log"; exit 1; }
cmake --build "$out/tests" >"$out/tests-build.log" || { grep -B2 -A12 'FAILED\|error' "$out/tests-build.log" | head -80; exit 1; }
# The installer of this build, which installer_tests installs.
(cd "$out/tests" && cpack -G NSIS -B "$out/tests/package") >"$out/tests-package.log" 2>&1 ||
  { tail -n 40 "$out/tests-package.log"; exit 1; }
echo "Windows build: $((SECONDS - started)) s"

export WINEPREFIX="$out/wineprefix"
export WINEDEBUG=-all
# No .NET or browser engine prompts; no menu entries on this machine's
# desktop for the Start-menu shortcuts the installer's test makes.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY                # the windows on Qt's offscreen platform
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

# Windows finds the DLLs on PATH: Qt's and the compiler's run-time libraries.
windows_path() { echo "Z:${1//\//\\}"; }
runtime="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")"
export WINEPATH="$(windows_path "$windows_qt/bin");$(windows_path "$runtime");$(windows_path /usr/x86_64-w64-mingw32/lib)"
# Wine keeps Linux's QT_ variables from Windows programs; WINEQT_X reaches
# them as QT_X. The offscreen platform reads its fonts from one folder: the
# faces the window's own stand in for.
export WINEQT_QPA_PLATFORM=offscreen
export WINEQT_QPA_FONTDIR="$(windows_path /usr/share/fonts/truetype/liberation)"
export TORVIK_SIM="$sim" TORVIK_COM1_LINK="$link"

status=0
ctest --test-dir "$out/tests" --output-on-failure -j "$(nproc)" >"$out/tests.log" 2>&1 || status=$?
"$wineserver" -k 2>/dev/null || true
summary="$(grep -E '^[0-9]+% tests passed' "$out/tests.log" || true)"
total="$(sed -n 's/.* out of \([0-9]*\)$/\1/p' <<<"$summary")"
failed="$(sed -n 's/.*, \([0-9]*\) tests failed out of.*/\1/p' <<<"$summary")"
if [ -z "$total" ]; then
  tail -n 40 "$out/tests.log"
  echo "Windows tests: 0 passed, 1 failed (ctest ended with status $status before its summary)"
  exit 1
fi
if [ "$status" -ne 0 ]; then
  sed -n '/tests failed out of/,$p' "$out/tests.log"
fi
echo "Windows tests: $((total - failed)) passed, $failed failed (log: build/windows/tests.log)"
[ "$status" -eq 0 ]
