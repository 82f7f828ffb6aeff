# Shared by the end-to-end scripts: sourced as `. lib.sh BUILD_DIR`.
#
# Everything runs in the e2e prefix of the build (made by make_prefix.sh)
# and in a Wine virtual desktop named "vantorel"; the screen driver and the
# phone emulator reach the program only from inside that desktop. At the end
# a script stops that prefix's server, which ends every process it started
# there, and its own Xvfb if it needed one.
set -euo pipefail

build=$(cd "$1" && pwd)
name=$(basename "$0" .sh)
prefix=$build/e2e-prefix
work=$build/e2e-work/$name
driver=$build/tests/e2e/screen_driver.exe
program=$build/vantorel.exe
emulator=$build/tools/phone_emulator.exe

export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# The texts of the main screen on a first start with nothing stored.
default_text="Sorry I couldn't taken this call. I was busy too much. Please call me later."
tip="Zerv: Vantorel"
settings_key='HKLM\SOFTWARE\Zerv\QRL'

failures=0
xvfb_pid=""
own_pids=()

cleanup() {
  wineserver -k 2>/dev/null || true
  local pid
  for pid in "${own_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  [ -z "$xvfb_pid" ] || { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; } || true
}
trap cleanup EXIT

say() { echo "[$name] $*"; }
fail() { say "FAIL: $*"; failures=$((failures + 1)); }

# Ends the script: 0 when every check held.
finish() {
  if [ "$failures" -eq 0 ]; then say "all checks passed"; exit 0; fi
  say "$failures check(s) failed"
  exit 1
}

# expect WHAT EXPECTED ACTUAL
expect() {
  if [ "$2" == "$3" ]; then say "ok: $1: $3"; else fail "$1: expected '$2', got '$3'"; fi
}

# A Windows path for a file of the machine (Wine maps drive Z: to /).
winpath() { local p=${1//\//\\}; echo "Z:$p"; }

# The driver, bounded even if Wine itself hangs.
drv() { timeout 60 wine "$driver" "$@"; }

# Counts the tray icons shown, by their tips; "none" when the desktop has no
# taskbar (yet).
tray_count() {
  local tips
  if ! tips=$(drv tray 2>/dev/null); then echo none; return; fi
  printf '%s' "$tips" | grep -c . || true
}

reg_value() { # KEY VALUE: the data of a registry value, or "absent"
  local line
  line=$(timeout 30 wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
         grep -E "^ +$2 +REG_" || true)
  [ -n "$line" ] && sed -E "s/^ +$2 +REG_[A-Z_]+ *//" <<<"$line" || echo absent
}

# Polls a command until it succeeds, for at most SECONDS.
wait_until() {
  local seconds=$1; shift
  local end=$((SECONDS + seconds))
  until "$@"; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.2
  done
}

ensure_display() {
  [ -z "${DISPLAY:-}" ] || return 0
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  wait_until 10 test -e "/tmp/.X11-unix/X$n"
}

# A clean start: no program settings, no stand-in knobs but the outbox of
# this script, no selection files; one registry import for all of it.
reset_state() {
  [ -f "$prefix/system.reg" ] || { say "no e2e prefix: run make_prefix.sh first"; exit 1; }
  ensure_display
  rm -rf "$work"
  mkdir -p "$work"
  outbox=$work/outbox.txt
  rm -f "$prefix"/drive_c/windows/cdbase*.txt
  local outbox_reg=${outbox//\//\\\\}
  cat >"$work/reset.reg" <<EOF
Windows Registry Editor Version 5.00

[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Zerv\\QRL]
[-HKEY_CURRENT_USER\\Software\\Vantorel Stand-ins]
[HKEY_CURRENT_USER\\Software\\Vantorel Stand-ins\\SMS]
"Outbox"="Z:$outbox_reg"
EOF
  timeout 30 wine reg import "$(winpath "$work/reset.reg")" >/dev/null 2>&1
}

# Starts the program as a person would, in a virtual desktop of SIZE
# (WIDTHxHEIGHT), and waits for its screen.
start_program() {
  wine explorer "/desktop=vantorel,$1" "$(winpath "$program")" \
    >>"$work/wine.log" 2>&1 &
  own_pids+=($!)
  # The driver cannot enter the desktop before explorer has made it.
  if ! wait_until 30 drv --timeout 1000 rect >/dev/null 2>&1; then
    fail "no main screen within 30 s of the start (log: $work/wine.log)"
    finish
  fi
}

# Ends everything in the prefix, so the next start gets a new desktop.
stop_prefix() {
  wineserver -k 2>/dev/null || true
  local pid
  for pid in "${own_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  own_pids=()
}

# The standard input with every byte visible: \r for CR, $ at each line end.
visible_bytes() { LC_ALL=C sed -n 'l 0'; }

outbox_lines() { [ -f "$outbox" ] && grep -c . "$outbox" || echo 0; }

# A missed call from NUMBER through the emulator in the desktop: 3 rings
# 1 s apart, the caller gives up 7 s after the last, past the moment a reply
# goes out; returns once the reply, if any, is in the outbox.
missed_call() {
  local before
  before=$(outbox_lines)
  drv --timeout 60000 run "$(winpath "$emulator")" call "$1" --rings 3 \
    --interval 1000 --reject-after 7000 --wait 5000 >>"$work/calls.log" 2>&1 ||
    fail "the emulator could not place the call from $1"
  local end=$((SECONDS + 3))
  while [ "$(outbox_lines)" == "$before" ] && [ $SECONDS -lt $end ]; do sleep 0.2; done
}
