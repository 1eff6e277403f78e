#!/usr/bin/env bash
# The program on its Wayland backend under a headless compositor whose screen changes its scale
# while the program runs, and with a second screen of another scale to move to: at each scale the
# window keeps its 567 x 501 place and shows the very pixels of the screenshot at that scale,
# text included (the focused field, whose caret blinks, aside). Then the wheel over a long
# calculation log scrolls it by whole notches each way, and a fractional scale goes to the
# compositor as a larger buffer through the viewport.
# Usage: wayland_scaled_test.sh PATH/TO/orlit_cfs. Exits 77 (skipped) when a tool is missing or
# the compositor cannot start.
set -euo pipefail

program=${1:?usage: $0 PATH/TO/orlit_cfs}
pointer=$(dirname "$program")/../tests/e2e/virtual_pointer
source "$(dirname "$0")/session.sh"
source "$(dirname "$0")/wayland_session.sh"
require_tools sway swaymsg wtype grim python3 setpriv
start_wayland_session 2048x1536 2

for scale in 1 2; do
  ORLIT_SCALE=$scale "$program" --screenshot "$work/expected-$scale.png" || fail "screenshot at $scale"
done
ORLIT_BACKEND=wayland "$program" >"$work/program.log" 2>&1 &
pids+=($!)
shown() { [[ -n "$(wayland_windows)" ]]; }
eventually shown || fail "no window"
# The screen's top-left, where the window's pixels are the screenshot's once it has settled (its
# focus has come, its new frame is shown); a few tries, each a second apart.
matches() {  # output, scale
  sleep 1
  grim -o "$1" -t ppm "$work/screen.ppm"
  python3 - "$here" "$work/expected-$2.png" "$work/screen.ppm" "$2" <<'CHECK'

import re, sys
sys.argv, png = [sys.argv[0]] + sys.argv[2:], sys.argv[1]
exec(open(png + "/png_blocks.py").read().split("\n\n\n(sw, sh")[0])
width, height, expected = read_png(sys.argv[1])
data = open(sys.argv[2], "rb").read()
header = re.match(rb"P6\s+(\d+)\s+\d+\s+\d+\s", data)
screen_width, pixels = int(header.group(1)), data[header.end():]
# The date field, where the caret blinks: (18..131, 52..79) of the window.
caret = [int(sys.argv[3]) * edge for edge in (18, 52, 131, 79)]
bad = 0
for y in range(height):
    for x in range(width):
        if caret[0] <= x < caret[2] and caret[1] <= y < caret[3]:
            continue
        offset = (y * screen_width + x) * 3
        bad += pixels[offset:offset + 3] != expected[y][x]
print(f"{width} x {height}: {bad} pixels differ")
sys.exit(1 if bad else 0)
CHECK
}
# A second screen of scale 1 right of the first.
swaymsg create_output >/dev/null
swaymsg output HEADLESS-2 resolution 1024x768 position 1024 0 scale 1 >/dev/null
swaymsg output HEADLESS-1 position 0 0 >/dev/null
# Started at 2, then the screen changed to 1 and back; then the window moved to the other screen
# and back.
for row in "HEADLESS-1 2 0" "HEADLESS-1 1 0" "HEADLESS-1 2 0" "HEADLESS-2 1 1024" "HEADLESS-1 2 0"; do
  read -r output scale left <<<"$row"
  swaymsg output "$output" scale "$scale" >/dev/null
  swaymsg "[app_id=\"example.orlit.OrlitCfs\"] move absolute position $left 0" >/dev/null
  [[ "$(wayland_windows)" == "567x501+$left+0" ]] || fail "$row: the window is at $(wayland_windows)"
  matches "$output" "$scale" || matches "$output" "$scale" || matches "$output" "$scale" ||
    fail "$row: the window differs"
done

echo "== the wheel scrolls the log"
# Three calculations: more lines than the log shows, the last of them in view.
for _ in 1 2 3; do wtype -k Return -k Return -k Return; done
log() { grim -g "34,98 333x149" -t ppm - | md5sum; }
settled() {
  local before
  before=$(log)
  sleep 0.3
  [[ "$(log)" == "$before" ]]
}
eventually settled || fail "the log does not settle"
bottom=$(log)
log_is() { if [[ $1 == bottom ]]; then [[ "$(log)" == "$bottom" ]]; else [[ "$(log)" != "$bottom" ]]; fi; }
# Up, away from the user, then as far down again.
for row in "-3 moved" "3 bottom"; do
  read -r notches want <<<"$row"
  "$pointer" 2048 768 move 200 172 wheel "$notches"
  eventually log_is "$want" || fail "after $notches notches the log is not $want"
done

echo "== a fractional scale is drawn at it and shown through the viewport at the window's size"
WAYLAND_DEBUG=client ORLIT_SCALE=1.5 ORLIT_BACKEND=wayland "$program" 2>"$work/protocol.log" &
pids+=($!)
viewport() {
  grep -aq 'create_buffer(new id wl_buffer@[0-9]*, [0-9]*, 851, 752, 3404' "$work/protocol.log" &&
    grep -aq 'set_destination(567, 501)' "$work/protocol.log"
}
eventually viewport || fail "no 851 x 752 buffer shown at 567 x 501"
echo "PASS"
