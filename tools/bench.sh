#!/usr/bin/env bash
# Builds the optimised benchmark and prints its figures. Exits non-zero when
# a reply path allocates or a measured path does not do what it should.
# Extra arguments go to the benchmark (e.g. --benchmark_filter=PlainScan).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset bench >/dev/null
cmake --build --preset bench
exec build/bench/tests/bench/engine_bench --benchmark_min_time=0.5 "$@"
