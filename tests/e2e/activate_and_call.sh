#!/usr/bin/env bash
# ACTIVATE stores the settings, shows one tray icon and shrinks the main
# window to nothing; then a missed call from an eligible number gets one SMS
# with the main text about 5 s after its last ring, and an answered call
# gets none.
. "$(dirname "$0")/lib.sh" "$1"

number=+4917012345678

# ms since the epoch of an outbox time (local time, as the stand-in writes).
outbox_ms() { date -d "$1" +%s%3N; }

# Places a call through the emulator inside the desktop; each line it prints
# is stamped (ms since the epoch) as it arrives.
call() {
  drv --timeout 60000 run "$(winpath "$emulator")" call "$number" "$@" --wait 5000 |
    while IFS= read -r line; do
      now=${EPOCHREALTIME/./}
      echo "$((now / 1000)) ${line%$'\r'}"
    done
}

# The moment (ms since the epoch) of the last ring of a stamped call log: the
# call's start is taken from the line that arrived soonest after its printed
# time, and the ring's printed time is added to it.
last_ring_ms() {
  awk '{ start = $1 - $2; if (best == "" || start < best) best = start }
       / ring$/ { ring = $2 }
       END { printf "%.0f\n", best + ring }' "$1"
}

reset_state
start_program 240x320
drv click 1 >/dev/null
drv gone >/dev/null || fail "the screen is still shown after ACTIVATE"

zero_size() { [[ "$(drv main)" == "0 0 0 0 "* ]]; }
wait_until 10 zero_size || true
main=$(drv main || echo absent)
expect "main window" "0 0 0 0 visible" "${main% pid *}"

one_icon() { [ "$(tray_count)" == 1 ]; }
wait_until 10 one_icon || true
expect "tray icons" 1 "$(tray_count)"
expect "tray tip" "$tip" "$(drv tray)"
expect "Activate" 0x1 "$(reg_value "$settings_key" Activate)"
values=$(timeout 30 wine reg query "$settings_key" 2>/dev/null | grep -cE '^ +.+ +REG_' || true)
expect "values stored" 10 "$values"

say "missed call: 3 rings 1 s apart, the caller gives up 7 s after the last"
call --rings 3 --interval 1000 --reject-after 7000 >"$work/missed.log"
sed 's/^[0-9]* /  emulator: /' "$work/missed.log"
has_reply() { [ "$(outbox_lines)" -ge 1 ]; }
wait_until 10 has_reply || true
expect "outbox records" 1 "$(outbox_lines)"
if [ "$(outbox_lines)" -ge 1 ]; then
  IFS=$'\t' read -r at to size text <"$outbox"
  expect "reply to" "$number" "$to"
  expect "reply text" "$default_text" "$text"
  expect "reply size" $((2 * ${#default_text})) "$size"
  delay=$(($(outbox_ms "$at") - $(last_ring_ms "$work/missed.log")))
  say "reply delay after the last ring: $delay ms"
  # The reply waits so that the phone can still be answered.
  [ "$delay" -ge 4000 ] || fail "the reply went out $delay ms after the last ring"
fi

say "answered call: connected 1 s after the third ring"
call --rings 3 --interval 1000 --answer-after 1000 --talk 1000 >"$work/answered.log"
sed 's/^[0-9]* /  emulator: /' "$work/answered.log"
# Past the moment a reply would have gone out.
wait_s=$(( ( $(last_ring_ms "$work/answered.log") + 6500 - ${EPOCHREALTIME/./} / 1000 ) ))
[ "$wait_s" -le 0 ] || sleep "$((wait_s / 1000)).$(printf '%03d' $((wait_s % 1000)))"
expect "outbox records after the answered call" 1 "$(outbox_lines)"
finish
