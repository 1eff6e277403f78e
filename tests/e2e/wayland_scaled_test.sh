#!/usr/bin/env bash
# The program on its Wayland backend on a screen of scale 2 under a headless compositor: it takes
# the screen's scale, the window keeps its 567 x 501 place on the screen and shows the very pixels
# of the scale-2 screenshot, text included (the focused field, whose caret blinks, aside).
# Usage: wayland_scaled_test.sh PATH/TO/orlit_cfs. Exits 77 (skipped) when a tool is missing or
# the compositor cannot start.
set -euo pipefail

program=${1:?usage: $0 PATH/TO/orlit_cfs}
source "$(dirname "$0")/session.sh"
source "$(dirname "$0")/wayland_session.sh"
require_tools sway swaymsg wtype grim python3 setpriv
start_wayland_session 2048x1536 2

ORLIT_SCALE=2 "$program" --screenshot "$work/expected.png" || fail "screenshot at 2"
ORLIT_BACKEND=wayland "$program" >"$work/program.log" 2>&1 &
pids+=($!)
placed() { [[ "$(wayland_windows)" == 567x501+228+133 ]]; }
eventually placed || fail "the window is at $(wayland_windows)"
# The same pixels once the window has settled (its focus has come); a few tries, each a second
# apart.
matches() {
  sleep 1
  grim -t ppm "$work/screen.ppm"
  python3 - "$here" "$work/expected.png" "$work/screen.ppm" <<'CHECK'

import re, sys
sys.argv, png = [sys.argv[0]] + sys.argv[2:], sys.argv[1]
exec(open(png + "/png_blocks.py").read().split("\n\n\n(sw, sh")[0])
width, height, expected = read_png(sys.argv[1])
data = open(sys.argv[2], "rb").read()
header = re.match(rb"P6\s+(\d+)\s+\d+\s+\d+\s", data)
screen_width, pixels = int(header.group(1)), data[header.end():]
# The date field, where the caret blinks: 2 x (18..131, 52..79) of the window.
caret = (36, 104, 262, 158)
bad = 0
for y in range(height):
    row = (266 + y) * screen_width
    for x in range(width):
        if caret[0] <= x < caret[2] and caret[1] <= y < caret[3]:
            continue
        offset = (row + 456 + x) * 3
        bad += pixels[offset:offset + 3] != expected[y][x]
print(f"{width} x {height}: {bad} pixels differ")
sys.exit(1 if bad else 0)
CHECK
}
matches || matches || matches || fail "the window differs"
echo "PASS"
