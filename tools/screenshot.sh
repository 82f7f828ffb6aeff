#!/usr/bin/env bash
# Makes docs/screen-107.png to docs/screen-110.png, the four screens on a
# 240x320 display as the README shows them, the same way tools/run.sh takes
# its screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."
exec env -u DISPLAY bash tools/run.sh --screenshots docs
