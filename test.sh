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

# The Debian package, from a stripped Release build in build/package/; the
# DebianPackage test checks it and starts its programs.
./scripts/package-deb.sh >/dev/null

# Fuzz targets (clang's libFuzzer), each for a bounded number of inputs from
# its seed corpus; new inputs go to a scratch folder, not into the repository.
# A huge allocation counts as a finding. fuzz/run.sh runs them for longer.
CXX=clang++ cmake -S . -B build/fuzz -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTORVIK_FUZZ=ON -DTORVIK_SANITIZE=ON -DTORVIK_WERROR=ON \
  -DTORVIK_TESTS=OFF -DTORVIK_BENCH=OFF >/dev/null
cmake --build build/fuzz --target fuzz_targets
for corpus in fuzz/corpus/*/; do
  target="$(basename "$corpus")"
  scratch="build/fuzz/corpus-$target"
  mkdir -p "$scratch"
  if ! "build/fuzz/fuzz/$target" -seed=1 -runs=100000 -max_total_time=15 -max_len=8192 \
      -rss_limit_mb=1024 -malloc_limit_mb=256 "$scratch" "$corpus" >"build/fuzz/$target.log" 2>&1; then
    cat "build/fuzz/$target.log"
    echo "Fuzz target $target failed" >&2
    exit 1
  fi
  echo "Fuzz target $target: $(grep "^Done" "build/fuzz/$target.log" || tail -n 1 "build/fuzz/$target.log")"
done

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build/asan --output-on-failure -j "$(nproc)"

# Races: the serial port, its event thread and the device link under
# ThreadSanitizer (which cannot share a build with AddressSanitizer). A few
# rounds, for more interleavings; the first report fails the run.
cmake -S . -B build/tsan -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug \
  -DTORVIK_TSAN=ON \
  -DTORVIK_WERROR=ON \
  -DTORVIK_BENCH=OFF >/dev/null
cmake --build build/tsan --target serial_tests comport_tests
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/tsan.supp"
for tests in serial_tests comport_tests; do
  "build/tsan/tests/$tests" --gtest_repeat=3 --gtest_brief=1
done

# Every test that can run on Windows, cross-compiled with MinGW-w64 against
# the Windows Qt (built once per machine, about half an hour, then kept in
# ~/.cache/torvik-setup) and run under Wine against the simulator built
# above; it prints how many passed.
TORVIK_SIM="$root/build/asan/torvik-sim" ./scripts/test-windows.sh
