#!/usr/bin/env bash
# Edits the promotion panel's pictures in the real program under Xvfb: Ctrl+C on the focused
# banner puts its 90 x 30 picture on the X clipboard, a picture xclip offers pastes into it, and a
# right click on the logo opens the context menu, which Escape closes.
# Usage: picture_editing_test.sh PATH/TO/orlit_cfs. Exits 77 (skipped) when a tool is missing.
set -euo pipefail

program=${1:?usage: $0 PATH/TO/orlit_cfs}
source "$(dirname "$0")/session.sh"
require_tools Xvfb xdotool xwininfo xclip python3
start_session 150

bitmap_size() {
  python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(); w,h=struct.unpack("<ii",d[18:26]); print("%dx%d"%(w,abs(h)) if d[:2]==b"BM" else "unknown")' "$1"
}

"$program" >"$work/program.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do xdotool search --classname '^orlit_cfs$' >/dev/null 2>&1 && break; sleep 0.05; done
window=$(xdotool search --classname '^orlit_cfs$' | head -1) || fail "no window of class orlit_cfs"
sleep 0.5
left=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left X: *//p')
top=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left Y: *//p')

at() { xdotool mousemove $((left + $1)) $((top + $2)); sleep 0.1; }

copy_banner() {
  at 440 185
  xdotool click 1
  sleep 0.3
  xdotool key ctrl+c
  sleep 0.3
  timeout 5 xclip -selection clipboard -t image/bmp -o >"$work/copied.bmp" || fail "nothing on the clipboard"
  bitmap_size "$work/copied.bmp"
}

[[ $(copy_banner) == 90x30 ]] || fail "the banner copied as $(bitmap_size "$work/copied.bmp")"
echo "== Ctrl+C on the banner: 90 x 30 on the clipboard"

python3 - "$work/small.bmp" <<'PY'
import struct, sys
w, h = 60, 20
row = (w * 3 + 3) // 4 * 4
pixels = bytes(0x80 for _ in range(row * h))
open(sys.argv[1], 'wb').write(struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54) +
    struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 0, 0, 0, 0) + pixels)
PY
timeout 20 xclip -selection clipboard -t image/bmp -i "$work/small.bmp" &
sleep 0.5
xdotool key ctrl+v
sleep 0.5
[[ $(copy_banner) == 60x20 ]] || fail "after pasting 60 x 20 the banner copied as $(bitmap_size "$work/copied.bmp")"
echo "== a picture from xclip pastes into the banner"

windows() { xdotool search --onlyvisible --classname '^orlit_cfs$' 2>/dev/null | wc -l; }
before=$(windows)
at 410 420
xdotool click 3
for _ in $(seq 40); do [[ $(windows) -gt $before ]] && break; sleep 0.05; done
[[ $(windows) -gt $before ]] || fail "no menu after a right click on the logo"
xdotool key Escape
for _ in $(seq 40); do [[ $(windows) -eq $before ]] && break; sleep 0.05; done
[[ $(windows) -eq $before ]] || fail "the menu stayed open after Escape"
echo "== a right click on the logo opens the menu, Escape closes it"
echo "picture editing: PASS"
