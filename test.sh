#!/usr/bin/env bash
# Installs what is needed, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer (warnings are errors) and runs every test.
# Screenshots of the windows land in build/screenshots/.
set -euo pipefail
cd "$(dirname "$0")"
root="$PWD"

./scripts/install-deps.sh

cmake -S . -B build/asan -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug \
  -DTORVIK_SANITIZE=ON \
  -DTORVIK_WERROR=ON \
  -DTORVIK_SCREENSHOT_DIR="$root/build/screenshots" >/dev/null
cmake --build build/asan

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build/asan --output-on-failure -j "$(nproc)"
