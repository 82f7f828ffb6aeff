#!/usr/bin/env bash
# Builds every configuration and runs every test: native unit tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, the same tests under
# ThreadSanitizer, the fuzz targets for a bounded time, and the Windows
# build's tests under Wine on a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh

presets=(native tsan fuzz windows)
for preset in "${presets[@]}"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
# The benchmarks are built so they keep compiling; tools/bench.sh runs them.
cmake --preset bench >/dev/null
cmake --build --preset bench

xvfb_pid=""
prefix="$PWD/build/windows/wineprefix"
cleanup() {
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# Windows programs need an X display under Wine; use a private one when
# there is none.
if [ -z "${DISPLAY:-}" ]; then
  n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi

for preset in "${presets[@]}"; do
  echo "== tests: $preset"
  ctest --preset "$preset"
done
