#!/usr/bin/env bash
# Drives the real program under Xvfb with openbox: the window is frameless, 567 x 501 and centred;
# the minimise area iconifies it and the window manager restores it unchanged; dragging the title
# bar moves it; the close area ends the program with status 0 within a second, and the state it
# dumps on the way out says where the window was. Usage: app_window_test.sh PATH/TO/orlit_cfs
# Exits 77 (skipped) when a tool is missing.
set -euo pipefail

program=${1:?usage: $0 PATH/TO/orlit_cfs}
source "$(dirname "$0")/session.sh"
require_tools Xvfb xdotool xwininfo xprop xwd python3 openbox
start_session 120

openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 0.5

# Waits (up to 5 s) until the command succeeds.
geometry_is() {  # left top
  local info
  info=$(xwininfo -id "$window")
  grep -q "Absolute upper-left X:  $1\$" <<<"$info" && grep -q "Absolute upper-left Y:  $2\$" <<<"$info" &&
    grep -q 'Width: 567$' <<<"$info" && grep -q 'Height: 501$' <<<"$info"
}
iconic() { xprop -id "$window" WM_STATE | grep -q Iconic; }
# Colour (RRGGBB) of a point in the window's client area, window at $left,$top.
pixel() { xwd -root -silent | python3 "$here/screen_pixel.py" $((left + $1)),$((top + $2)); }
pixel_is() { [[ "$(pixel "$1" "$2")" == "$3" ]]; }
normal() { xprop -id "$window" WM_STATE | grep -q Normal; }
click() {  # screen x y
  xdotool mousemove "$1" "$2"
  sleep 0.1
  xdotool click 1
}

"$program" --dump-state "$work/state.json" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
eventually xdotool search --classname '^orlit_cfs$' || fail "no window of class orlit_cfs"
window=$(xdotool search --classname '^orlit_cfs$' | head -1)
eventually normal || fail "the window was not shown"

echo "== frameless, 567 x 501, centred"
eventually geometry_is 228 133 || fail "not at 228,133 567x501: $(xwininfo -id "$window")"
extents=$(xprop -id "$window" _NET_FRAME_EXTENTS)
[[ "$extents" == *"= 0, 0, 0, 0" ]] || fail "the window manager framed the window: $extents"

echo "== fields: yellow with the focus, lime under the mouse, typed into and tabbed through"
left=228
top=133
eventually pixel_is 115 64 FFFF00 || fail "the date field is not yellow: $(pixel 115 64)"
xdotool mousemove $((left + 380)) $((top + 268))
eventually pixel_is 380 268 00FF00 || fail "the field under the mouse is not lime: $(pixel 380 268)"
xdotool mousemove $((left + 380)) $((top + 400))
eventually pixel_is 380 268 FFFFFF || fail "the field stayed lime after the mouse left"
click $((left + 450)) $((top + 64))
xdotool key ctrl+a
xdotool type 21.75
xdotool key Tab
eventually pixel_is 440 150 FFFF00 || fail "Tab did not move to the result field: $(pixel 440 150)"

echo "== minimise area"
click $((228 + 505 + 1 + 8)) $((133 + 8 + 12))
eventually iconic || fail "not iconified"
xdotool windowactivate "$window"
eventually normal || fail "not restored"
eventually geometry_is 228 133 || fail "restored elsewhere: $(xwininfo -id "$window")"

echo "== maximise area does nothing"
click $((228 + 505 + 17 + 8)) $((133 + 8 + 12))
sleep 0.3
geometry_is 228 133 && normal || fail "the maximise area changed the window"

echo "== dragging the title bar"
xdotool mousemove $((228 + 300)) $((133 + 15))
sleep 0.1
xdotool mousedown 1
for step in 1 2 3 4 5; do
  xdotool mousemove $((228 + 300 + step * 8)) $((133 + 15 + step * 6))
  sleep 0.05
done
xdotool mouseup 1
eventually geometry_is 268 163 || fail "not moved to 268,163: $(xwininfo -id "$window")"

echo "== close area"
start=$(date +%s%N)
click $((268 + 505 + 33 + 12)) $((163 + 8 + 12))
status=0
for _ in $(seq 40); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.05; done
kill -0 "$program_pid" 2>/dev/null && fail "still running a second after the close click"
wait "$program_pid" || status=$?
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
[[ $status -eq 0 ]] || fail "ended with status $status"
grep -q '"left": 268, "top": 163' "$work/state.json" || fail "state: $(cat "$work/state.json")"
grep -q '"cxTextEdit2": "21.75"' "$work/state.json" || fail "typed text lost: $(cat "$work/state.json")"
grep -q '"focused": "cxTextEdit3"' "$work/state.json" || fail "focus: $(cat "$work/state.json")"
echo "closed in ${elapsed_ms} ms"
echo "PASS"
