#!/usr/bin/env bash
# Drives the X backend under Xvfb: a frameless window of the asked size, centred, that receives
# keys, clicks, a double click, a timer and the clipboard; with openbox also minimise and restore
# through the window manager. Usage: window_test.sh PATH/TO/window_probe
# Exits 77 (skipped) when Xvfb, xdotool, xwininfo or xprop is missing.
set -euo pipefail

probe=${1:?usage: $0 PATH/TO/window_probe}
source "$(dirname "$0")/session.sh"
require_tools Xvfb xdotool xwininfo xprop
start_session 90

start_probe() {
  : >"$work/program.log"
  "$probe" >"$work/program.log" 2>&1 &
  probe_pid=$!
  pids+=("$probe_pid")
  expect_line '^ready '
  expect_line '^focus-gained'
  window=$(xdotool search --name '^window_probe$' | head -1)
  [[ -n "$window" ]] || fail "no window called window_probe"
}

check_geometry() {
  local info
  info=$(xwininfo -id "$window")
  grep -q 'Absolute upper-left X:  228$' <<<"$info" || fail "left is not 228: $info"
  grep -q 'Absolute upper-left Y:  133$' <<<"$info" || fail "top is not 133: $info"
  grep -q 'Width: 567$' <<<"$info" || fail "width is not 567: $info"
  grep -q 'Height: 501$' <<<"$info" || fail "height is not 501: $info"
}

quit_probe() {
  xdotool key q
  local status=0
  wait "$probe_pid" || status=$?
  [[ $status -eq 0 ]] || fail "probe ended with status $status"
  grep -q '^quit$' "$work/program.log" || fail "no quit event"
}

echo "== without a window manager"
start_probe
check_geometry

# Every key and click is the window's latest user time, which the window manager weighs
# before it lets a program started later (the browser) take the focus.
user_time() { xprop -id "$window" _NET_WM_USER_TIME | sed -n 's/.*= \([0-9][0-9]*\)$/\1/p'; }
[[ -z "$(user_time)" ]] || fail "a user time before any input"
xdotool key a
expect_line '^keydown key=65 shift=0 '
expect_line '^char 97 '
expect_line '^keyup key=65 '
key_time=$(user_time)
[[ -n "$key_time" ]] || fail "no user time after a key"
# Keys without text of their own still give the edit controls their characters.
xdotool key Return BackSpace
expect_line '^char 13 '
expect_line '^char 8 '
xdotool key shift+b
expect_line '^keydown key=66 shift=1 '
expect_line '^char 66 shift=1'
# Key-down comes before its character.
down=$(grep -n '^keydown key=65 ' "$work/program.log" | head -1 | cut -d: -f1)
char=$(grep -n '^char 97 ' "$work/program.log" | head -1 | cut -d: -f1)
((down < char)) || fail "the character came before its key-down"

xdotool mousemove 238 153 click 1
expect_line '^mousedown button=0 x=10 y=20 shift=8 '
expect_line '^mouseup button=0 x=10 y=20 shift=0 '
click_time=$(user_time)
((click_time > key_time)) || fail "the user time did not follow the click: $key_time, $click_time"
sleep 0.6  # so the next click does not pair with this one
xdotool click --repeat 2 --delay 80 1
expect_line '^dblclick button=0 x=10 y=20 shift=72 '

# A drag: the global cursor position follows the pointer while the button is held.
xdotool mousemove 300 200 mousedown 1 mousemove 350 260
expect_line '^cursor x=350 y=260$'
xdotool mousemove 20 20
expect_line '^mousemove button=0 x=-208 y=-113 shift=8 '
expect_line '^cursor x=20 y=20$'
xdotool mouseup 1
expect_line '^mouseup button=0 x=-208 y=-113 shift=0 '

xdotool key t
expect_line '^timer-10 '
xdotool key c
expect_line '^clipboard orlit '
quit_probe

# The end of the session (SIGTERM) is a quit the program handles, not a kill.
start_probe
kill -TERM "$probe_pid"
status=0
wait "$probe_pid" || status=$?
[[ $status -eq 0 ]] || fail "probe ended with status $status on SIGTERM"
grep -q '^quit$' "$work/program.log" || fail "no quit event on SIGTERM"

if command -v openbox >/dev/null; then
  echo "== under openbox"
  openbox >"$work/openbox.log" 2>&1 &
  pids+=($!)
  sleep 0.5
  start_probe
  check_geometry
  extents=$(xprop -id "$window" _NET_FRAME_EXTENTS)
  [[ "$extents" == *"= 0, 0, 0, 0" ]] || fail "the window manager framed the window: $extents"
  xdotool key m
  expect_line '^minimized$'
  xprop -id "$window" WM_STATE | grep -q 'Iconic' || fail "not iconified"
  xdotool windowactivate "$window"
  expect_line '^restored$'
  check_geometry
  expect_line '^focus-gained'
  quit_probe
else
  echo "== openbox is not installed: minimise and restore not tried"
fi
echo "PASS"
