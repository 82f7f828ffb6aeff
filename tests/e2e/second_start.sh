#!/usr/bin/env bash
# A start while an activated instance runs shows the main screen in the new
# process. ACTIVATE there stores what was changed on it and leaves the
# running instance running with its one tray icon; Quit there removes that
# icon and ends the running instance, and "Activate" is 0 afterwards.
. "$(dirname "$0")/lib.sh" "$1"

# Starts the program again in the same desktop, in the background; its exit
# code lands in FILE.
second_start() {
  ( code=0
    drv --timeout 60000 run "$(winpath "$program")" || code=$?
    echo "$code" >"$1" ) &
  own_pids+=($!)
}

# The main window's process, or "none".
running_pid() { local m; m=$(drv main) && echo "${m##* }" || echo none; }

reset_state
start_program 240x320
drv click 1 >/dev/null
one_icon() { [ "$(tray_count)" == 1 ]; }
wait_until 10 one_icon || fail "no tray icon after ACTIVATE"
first=$(running_pid)
say "running instance: process $first"

say "second start, ACTIVATE"
second_start "$work/second-activate.code"
drv --timeout 20000 rect >/dev/null || fail "no screen on the second start"
expect "message box on the second start" "$default_text" "$(drv text 1003)"
# What is changed on this screen is stored by its ACTIVATE.
drv set-text 1003 "Back in ten minutes" || fail "cannot set the message text"
drv check 1004 on || fail "cannot tick 1004"
drv click 1 >/dev/null
exited() { [ -s "$1" ]; }
wait_until 20 exited "$work/second-activate.code" || fail "the second start did not end"
expect "second start's exit code" 0 "$(cat "$work/second-activate.code" 2>/dev/null)"
expect "running instance" "$first" "$(running_pid)"
expect "tray icons" 1 "$(tray_count)"
expect "Activate" 0x1 "$(reg_value "$settings_key" Activate)"
expect "Message text" "Back in ten minutes" "$(reg_value "$settings_key" "Message text")"
expect "Reply when user cancel" 0x1 "$(reg_value "$settings_key" "Reply when user cancel")"

say "second start, Quit"
# Holds the running instance's process from before the Quit, to see it end.
drv --timeout 60000 wait-exit "$first" >"$work/first.exit" 2>&1 &
own_pids+=($!)
second_start "$work/second-quit.code"
drv --timeout 20000 rect >/dev/null || fail "no screen on the second start"
drv click 1023 >/dev/null
wait_until 20 exited "$work/second-quit.code" || fail "the second start did not end"
expect "second start's exit code" 0 "$(cat "$work/second-quit.code" 2>/dev/null)"
wait_until 20 exited "$work/first.exit" || true
expect "running instance ended" "exit code 0" "$(cat "$work/first.exit")"
expect "main window" none "$(running_pid)"
expect "tray icons" 0 "$(tray_count)"
expect "Activate" 0x0 "$(reg_value "$settings_key" Activate)"
finish
