#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer with ASan and UBSan) and runs each
# one for SECONDS (default 600), one after the other. New inputs go to a
# scratch folder per target under build/, never into the seed corpus; a
# finding stops the script with the crashing input in the scratch folder.
#   fuzz/run.sh [SECONDS]
# TORVIK_FUZZ_BUILD and TORVIK_FUZZ_RUNS choose the build and scratch folders
# (default build/fuzz and build/fuzz-runs).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-600}"
case "$seconds" in
  ''|*[!0-9]*) echo "usage: fuzz/run.sh [SECONDS]" >&2; exit 2 ;;
esac
build="${TORVIK_FUZZ_BUILD:-build/fuzz}"
runs="${TORVIK_FUZZ_RUNS:-build/fuzz-runs}"

CXX=clang++ cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTORVIK_FUZZ=ON -DTORVIK_SANITIZE=ON -DTORVIK_WERROR=ON \
  -DTORVIK_TESTS=OFF -DTORVIK_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_targets

for corpus in fuzz/corpus/*/; do
  target="$(basename "$corpus")"
  scratch="$runs/$target"
  mkdir -p "$scratch/new" "$scratch/findings"
  echo "== $target for ${seconds}s"
  # A huge allocation or runaway memory counts as a finding too.
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -max_len=8192 \
      -rss_limit_mb=1024 -malloc_limit_mb=256 -print_final_stats=1 \
      -artifact_prefix="$scratch/findings/" "$scratch/new" "$corpus" >"$scratch/log" 2>&1; then
    tail -n 60 "$scratch/log"
    echo "Fuzz target $target found a fault; input in $scratch/findings/" >&2
    exit 1
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$scratch/log" || true
done
