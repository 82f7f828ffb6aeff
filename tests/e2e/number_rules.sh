#!/usr/bin/env bash
# The number rules screens and the second reply screen with the real list
# views, on contacts of two categories: ticking a category ticks its
# numbers, also while another row is selected; "Save and back" writes the
# selection file; the ticks come back at the next start; the main rule and
# the second reply decide who gets which text.
. "$(dirname "$0")/lib.sh" "$1"

contacts=$(cd "$(dirname "$0")/../fixtures/vcard" && pwd)/two-categories.vcf
main_file=$prefix/drive_c/windows/cdbase.txt
second_text="Second: abroad until Monday"

# The rows of a list, one line each: "[x] name<TAB>number".
rows() { drv rows "$1" | tr '\t' '|'; }

reset_state
timeout 30 wine reg add 'HKCU\Software\Vantorel Stand-ins\Contacts' /v File \
  /t REG_SZ /d "$(winpath "$contacts")" /f >/dev/null 2>&1
start_program 240x320

say "main rules screen: any numbers, so both lists are grey and unticked"
drv click 3 >/dev/null
expect "title 1027" "Send SMS Reply to:" "$(drv text 1027)"
expect "numbers list" disabled "$(drv enabled 1010)"
expect "radio 1007" "Only selected below" "$(drv text 1007)"
expect "categories" "[ ] Work|[ ] Family" "$(rows 1021 | paste -sd '|')"

say "only selected: Family's row selected, then Work's box ticked"
drv click 1007 >/dev/null
expect "numbers list" enabled "$(drv enabled 1010)"
drv tap 1021 1 || fail "cannot tap the row of Family"
drv tick 1021 0 || fail "cannot tick the box of Work"
expect "categories" "[x] Work|[ ] Family" "$(rows 1021 | paste -sd '|')"
expect "numbers" "[x] Lee Ann|0301111222
[x] Lee Ann|+491701111111
[ ] Brandt Bob|01722222222
[x] Cruz Dana|+491703333333
[ ] Fox Eve|0404444444" "$(rows 1010)"
expect "radio 1007" "Only 3 selected below" "$(drv text 1007)"
expect "radio 1008" "Any nr excl. 3 selected below" "$(drv text 1008)"

say "a number of no category, ticked while the first row is selected"
drv tap 1010 0 || fail "cannot tap the first number"
drv tick 1010 4 || fail "cannot tick Eve Fox's number"
expect "radio 1007" "Only 4 selected below" "$(drv text 1007)"

drv click 1 >/dev/null
expect "back on the main screen" "Reply message text:" "$(drv text 1027)"
expect "rules label 1026" "only to 
4 selected numbers" "$(drv text 1026)"
expect "cdbase.txt" 'Work;0301111222;+491701111111;+491703333333;0404444444;\r$' \
  "$(visible_bytes <"$main_file")"
expect "Reply mode" 0x1 "$(reg_value "$settings_key" "Reply mode")"

say "ACTIVATE, then calls from a ticked and an unticked number"
drv click 1 >/dev/null
drv gone >/dev/null || fail "the screen is still shown after ACTIVATE"
missed_call +491701111111
expect "replies after the ticked caller" 1 "$(outbox_lines)"
missed_call 01722222222
sleep 1
expect "replies after the unticked caller" 1 "$(outbox_lines)"
expect "reply went to" "+491701111111" "$(cut -f2 "$outbox" | head -1)"

say "next start: the ticks come back"
stop_prefix
start_program 240x320
drv click 3 >/dev/null
expect "categories" "[x] Work|[ ] Family" "$(rows 1021 | paste -sd '|')"
expect "number ticks" "x x   x x" "$(rows 1010 | cut -c2 | paste -sd ' ')"
expect "radio 1007" "Only 4 selected below" "$(drv text 1007)"
drv click 1 >/dev/null

say "second reply screen: its text, the box, only foreign, ACTIVATE"
drv check 1004 on >/dev/null  # the main message's reply on rejection
drv click 4 >/dev/null
expect "heading 1027" "Second Reply message text:" "$(drv text 1027)"
expect "rings label 1015" "Send Second Reply after 2 rings" "$(drv text 1015)"
expect "rules label 1026" "Any domestic" "$(drv text 1026)"
drv set-text 1003 "$second_text" || fail "cannot set the second text"
drv check 1004 on || fail "cannot tick 1004"
drv click 3 >/dev/null
expect "second rules title" "Send Second Reply to:" "$(drv text 1027)"
expect "numbers list" disabled "$(drv enabled 1010)"
drv click 1009 >/dev/null
drv click 1 >/dev/null
expect "rules label 1026" "Only foreign" "$(drv text 1026)"
drv click 1 >/dev/null
expect "button 4" "Disactivate Second Message" "$(drv text 4)"
expect "Second Message" 0x1 "$(reg_value "$settings_key" "Second Message")"
expect "2 Reply when user cancel" 0x1 "$(reg_value "$settings_key" "2 Reply when user cancel")"
expect "Reply when user cancel" 0x0 "$(reg_value "$settings_key" "Reply when user cancel")"
expect "2 Reply mode" 0x4 "$(reg_value "$settings_key" "2 Reply mode")"
expect "2 Message text" "$second_text" "$(reg_value "$settings_key" "2 Message text")"
[ -e "$prefix/drive_c/windows/cdbase2.txt" ] && fail "cdbase2.txt was written under a mode without lists"

# With the box of 1004 ticked the second text also goes out when the call
# ends unanswered, after the delayed reply during the rings.
say "ACTIVATE, then a call from a number with +"
drv click 1 >/dev/null
drv gone >/dev/null || fail "the screen is still shown after ACTIVATE"
missed_call +442071234567
wait_until 5 test "$(outbox_lines)" -ge 3 || true
expect "replies" 3 "$(outbox_lines)"
expect "second replies to" "+442071234567 +442071234567" \
  "$(cut -f2 "$outbox" | sed -n '2,3p' | paste -sd ' ')"
expect "second reply texts" "$second_text|$second_text" \
  "$(cut -f4 "$outbox" | sed -n '2,3p' | paste -sd '|')"
finish
