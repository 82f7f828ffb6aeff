#!/usr/bin/env bash
# Builds the optimised benchmarks and prints their figures: the engine's
# (exits non-zero when a reply path allocates or a measured path does not do
# what it should), then the contact import's and the selection files' growth
# with the phone book (non-zero when a run's result is wrong).
# Extra arguments go to both programs (e.g. --benchmark_filter=Import).
# BENCH_BUILD_DIR picks another build directory than the preset's.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${BENCH_BUILD_DIR:-build/bench}"
cmake --preset bench -B "$dir" >/dev/null
cmake --build "$dir"
status=0
"$dir"/tests/bench/engine_bench --benchmark_min_time=0.5 "$@" || status=$?
echo
"$dir"/tests/bench/import_bench --benchmark_min_time=0.2 "$@" || status=$?
exit "$status"
