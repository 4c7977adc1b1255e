#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them. Extra arguments go to every
# benchmark binary (e.g. --benchmark_filter=Layout).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTORVIK_TESTS=OFF >/dev/null
cmake --build build/bench
for bench in build/bench/bench/*_bench; do
  echo "== $(basename "$bench")"
  "$bench" "$@"
done
