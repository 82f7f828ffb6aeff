#!/usr/bin/env bash
# Makes the fresh Wine prefix that the end-to-end tests of one run share:
# BUILD_DIR/e2e-prefix, booted once here (about 10 s) rather than per test.
. "$(dirname "$0")/lib.sh" "$1"

stop_prefix
rm -rf "$prefix" "$build/e2e-work"
mkdir -p "$prefix"
say "booting $prefix"
timeout 120 wineboot -i >/dev/null 2>&1 || { fail "wineboot -i failed"; finish; }
finish
