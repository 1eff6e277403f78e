#!/usr/bin/env bash
# The program at scale factor 2: the screenshot's fills and frames are the factor-1 screenshot's
# at doubled coordinates while its text is drawn at the larger size; the window is 1134 x 1002 on a 1600 x 1200 screen, fields light up and take typing
# where the mouse is in screen pixels, and the close area ends the program.
# Usage: scaled_window_test.sh PATH/TO/orlit_cfs. Exits 77 (skipped) when a tool is missing.
set -euo pipefail

program=${1:?usage: $0 PATH/TO/orlit_cfs}
source "$(dirname "$0")/session.sh"
require_tools Xvfb xdotool xwininfo xwd python3
start_session 160 1600x1200x24

echo "== screenshot at 2 is the screenshot at 1 drawn twice as fine"
ORLIT_SCALE=1 "$program" --screenshot "$work/one.png" || fail "screenshot at 1"
ORLIT_SCALE=2 "$program" --screenshot "$work/two.png" || fail "screenshot at 2"
python3 "$here/png_blocks.py" "$work/one.png" "$work/two.png" 2 || fail "screenshots differ"

echo "== window at 2"
ORLIT_SCALE=2 "$program" --dump-state "$work/state.json" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
eventually xdotool search --classname '^orlit_cfs$' || fail "no window of class orlit_cfs"
window=$(xdotool search --classname '^orlit_cfs$' | head -1)
info() { xwininfo -id "$window"; }
eventually grep -q 'Width: 1134$' <(info) || fail "not 1134 wide: $(info)"
grep -q 'Height: 1002$' <(info) || fail "not 1002 high: $(info)"
left=$(info | sed -n 's/.*Absolute upper-left X: *//p')
top=$(info | sed -n 's/.*Absolute upper-left Y: *//p')

# Colour of the window pixel x,y (96-dpi coordinates) on the screen: its whole 2 x 2 block.
block() {
  xwd -root -silent | python3 "$here/screen_pixel.py" $((left + 2 * $1)),$((top + 2 * $2)) \
    $((left + 2 * $1 + 1)),$((top + 2 * $2 + 1)) | sort -u | tr '\n' ' '
}
block_is() { [[ "$(block "$1" "$2")" == "$3 " ]]; }
# Points the mouse at window pixel x,y through its lower right screen pixel.
point() { xdotool mousemove $((left + 2 * $1 + 1)) $((top + 2 * $2 + 1)); }

eventually block_is 115 64 FFFF00 || fail "the date field is not yellow: $(block 115 64)"
point 380 268
eventually block_is 380 268 00FF00 || fail "the field under the mouse is not lime: $(block 380 268)"
point 450 64 && sleep 0.1 && xdotool click 1
xdotool key ctrl+a
xdotool type 21.75

echo "== close area"
point $((505 + 33 + 12)) $((8 + 12)) && sleep 0.1 && xdotool click 1
status=0
for _ in $(seq 40); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.05; done
kill -0 "$program_pid" 2>/dev/null && fail "still running a second after the close click"
wait "$program_pid" || status=$?
[[ $status -eq 0 ]] || fail "ended with status $status"
grep -q "\"left\": $((left / 2)), \"top\": $((top / 2)), \"width\": 567, \"height\": 501" \
  "$work/state.json" || fail "state: $(cat "$work/state.json")"
grep -q '"cxTextEdit2": "21.75"' "$work/state.json" || fail "typed text lost: $(cat "$work/state.json")"
echo "PASS"
