#!/usr/bin/env bash
# The program's main job under Wine, in a 240x320 virtual desktop with the
# sample contacts.
#
# Without a display (DISPLAY unset) it walks through a session on its own
# Xvfb: a screenshot of each of the four screens (build/run/screen-107.png
# to screen-110.png, the rules screens with the category Family ticked and
# left again under "Any numbers"), ACTIVATE, a missed call from the phone
# emulator, the SMS reply in the outbox, and Quit through a second start.
# With a display it starts the program for a person and prints how to place
# calls.
#
# --screenshots DIR: only make the four screenshots, into DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

shot_only=""
if [ "${1:-}" == "--screenshots" ]; then shot_only=$(realpath -m "$2"); fi

say() { echo "== $*"; }

say "setting up the machine"
bash tools/setup.sh
say "building the Windows program, the phone emulator and the screen driver"
cmake --preset windows >/dev/null
cmake --build --preset windows --target vantorel phone_emulator screen_driver

build=$root/build/windows
run=$root/build/run
export WINEPREFIX=$run/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
winpath() { local p=${1//\//\\}; echo "Z:$p"; }
program=$(winpath "$build/vantorel.exe")
emulator=$(winpath "$build/tools/phone_emulator.exe")
driver=$build/tests/e2e/screen_driver.exe
outbox=$run/outbox.txt
mkdir -p "$run"

# The driver and the emulator reach the program only inside its desktop.
drv() { timeout 60 wine "$driver" "$@"; }

start_program() {
  say "starting the program in a 240x320 virtual desktop"
  wine explorer /desktop=vantorel,240x320 "$program" >>"$run/wine.log" 2>&1 &
  for _ in $(seq 150); do
    drv --timeout 1000 rect >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  echo "the main screen did not show within 30 s (see $run/wine.log)" >&2
  exit 1
}

boot_prefix() {
  say "making the Wine prefix $WINEPREFIX (wineboot -i)"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  timeout 120 wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Vantorel Stand-ins\SMS' /v Outbox /t REG_SZ \
    /d "$(winpath "$outbox")" /f >/dev/null 2>&1
  rm -f "$outbox"
}

if [ -n "${DISPLAY:-}" ] && [ -z "$shot_only" ]; then
  [ -f "$WINEPREFIX/system.reg" ] || boot_prefix
  start_program
  cat <<EOF
== the program runs on $DISPLAY; its settings stay in $WINEPREFIX

Press ACTIVATE, then place a call (3 rings 1 s apart, nobody answers):

  WINEPREFIX='$WINEPREFIX' WINEDEBUG=-all wine '$driver' \\
      run '$emulator' call +4917012345678 --rings 3 --interval 1000 --reject-after 8000

The phone emulator has to run inside the program's virtual desktop; the
screen driver's "run" starts it there. docs/phone-emulator.md has the other
calls. The replies land in the outbox:

  tail -f '$outbox'

To end the program: start it again and press Quit, or
  WINEPREFIX='$WINEPREFIX' wineserver -k
EOF
  exit 0
fi

xvfb_pid=""
cleanup() {
  WINEPREFIX=$run/prefix wineserver -k 2>/dev/null || true
  [ -z "$xvfb_pid" ] || { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; } || true
}
trap cleanup EXIT

n=90
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
say "starting Xvfb on :$n"
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$n"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done

boot_prefix
start_program

# The virtual desktop sits at the top left of the X screen. A screen that
# has not painted yet is black, so look again until it is not; a screen
# opened over another gets a moment to paint first.
shots=${shot_only:-$run}
mkdir -p "$shots"
shoot() {
  local shot=$shots/screen-$1.png
  for _ in $(seq 20); do
    sleep 0.5
    import -window root -crop 240x320+0+0 +repage "$shot"
    [ "$(convert "$shot" -format '%[fx:maxima]' info:)" != 0 ] && break
  done
  say "screenshot of screen $1 ($2): $shot"
}

# Each screen is opened from the one before, as a person would; the rules
# screens go back to "Any numbers" before "Save and back", so the session
# below still answers every caller.
shoot 107 "main settings"
drv click 3 >/dev/null
drv click 1007 >/dev/null
drv tick 1021 0 >/dev/null
shoot 108 "main number rules"
drv click 1005 >/dev/null
drv click 1 >/dev/null
drv click 4 >/dev/null
shoot 109 "second reply"
drv click 3 >/dev/null
shoot 110 "second number rules"
drv click 1 >/dev/null
drv click 1023 >/dev/null
[ -z "$shot_only" ] || exit 0

say "main screen: $(drv text 1027) \"$(drv text 1003)\"; $(drv text 1015); $(drv text 1026)"
say "pressing ACTIVATE"
drv click 1 >/dev/null
tips=""
for _ in $(seq 50); do
  tips=$(drv tray 2>/dev/null || true)
  [ -n "$tips" ] && break
  sleep 0.2
done
say "tray icons: ${tips:-none}"
say "main window: $(drv main)"
say "Activate = $(wine reg query 'HKLM\SOFTWARE\Zerv\QRL' /v Activate 2>/dev/null |
                tr -d '\r' | awk '/Activate/ { print $3 }')"

say "placing a call: +4917012345678, 3 rings 1 s apart, rejected 8 s after the last"
drv --timeout 60000 run "$emulator" call +4917012345678 --rings 3 --interval 1000 \
    --reject-after 8000 --wait 5000 | tr -d '\r' | sed 's/^/   emulator: /'
for _ in $(seq 50); do [ -s "$outbox" ] && break; sleep 0.2; done
if [ -s "$outbox" ]; then
  say "outbox record ($outbox):"
  sed 's/^/   /' "$outbox"
else
  say "no record in the outbox ($outbox)"
fi

say "second start, pressing Quit there"
first=$(drv main | awk '{ print $NF }')
drv --timeout 30000 wait-exit "$first" >"$run/first.exit" 2>&1 &
watcher=$!
drv --timeout 30000 run "$program" &
second=$!
drv --timeout 20000 rect >/dev/null
drv click 1023 >/dev/null
wait "$second" && say "the second start ended (exit code 0)" ||
  say "the second start ended with exit code $?"
wait "$watcher" || true
say "the running instance: $(cat "$run/first.exit")"
say "Activate = $(wine reg query 'HKLM\SOFTWARE\Zerv\QRL' /v Activate 2>/dev/null |
                tr -d '\r' | awk '/Activate/ { print $3 }')"
say "done"
