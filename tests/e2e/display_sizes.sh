#!/usr/bin/env bash
# The main screen takes the handset's size for the display it finds: the
# portrait screen for 240x320, the landscape one for anything wider than
# 240, the square one for a display 240 wide and less than 320 high.
. "$(dirname "$0")/lib.sh" "$1"

# display size, then the screen's x y w h
cases=(
  "240x320 0 0 240 320"
  "320x240 0 0 320 240"
  "240x240 0 0 240 240"
  "480x640 0 0 320 240"
)
for row in "${cases[@]}"; do
  read -r display screen <<<"$row"
  reset_state
  start_program "$display"
  expect "screen on a $display display" "$screen" "$(drv rect)"
  drv --timeout 20000 click 1023 --exit >/dev/null || fail "no exit after Quit"
  # A new desktop for the next size: the old one would keep its own.
  stop_prefix
done
finish
