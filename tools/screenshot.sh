#!/usr/bin/env bash
# Makes docs/screen-107.png, the main screen on a 240x320 display as the
# README shows it, the same way tools/run.sh takes its screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
exec env -u DISPLAY bash tools/run.sh --screenshot docs/screen-107.png
