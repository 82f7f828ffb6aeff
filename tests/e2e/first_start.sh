#!/usr/bin/env bash
# A first start with nothing stored shows the main screen with its set-up
# texts; Quit there ends the program with exit code 0, leaves "Activate" 0,
# and no tray icon is ever shown.
. "$(dirname "$0")/lib.sh" "$1"

reset_state
start_program 240x320

# Watches the tray from the start to the end, in the background.
( while [ ! -e "$work/stop-watch" ]; do tray_count >>"$work/tray-counts"; done ) &
watcher=$!

expect "screen" "0 0 240 320" "$(drv rect)"
expect "message box 1003" "$default_text" "$(drv text 1003)"
expect "rings label 1015" "Send Reply after 2 rings" "$(drv text 1015)"
expect "rules label 1026" "to any numbers" "$(drv text 1026)"
expect "second reply button 4" "Activate Second Message" "$(drv text 4)"
expect "heading 1027" "Reply message text:" "$(drv text 1027)"
expect "button 1" "ACTIVATE" "$(drv text 1)"
expect "button 1023" "Quit" "$(drv text 1023)"

expect "Quit" "exit code 0" "$(drv --timeout 20000 click 1023 --exit)"
touch "$work/stop-watch"
wait "$watcher"

# "none" is a desktop without a taskbar yet; 0 a taskbar without icons.
shown=$(grep -cvE '^(none|0)$' "$work/tray-counts" || true)
say "tray looked at $(wc -l <"$work/tray-counts") times"
expect "tray icons ever shown" 0 "$shown"
expect "Activate" 0x0 "$(reg_value "$settings_key" Activate)"
finish
