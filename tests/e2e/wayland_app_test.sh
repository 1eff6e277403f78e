#!/usr/bin/env bash
# The program on its Wayland backend under a headless compositor, driven by wtype and a virtual
# pointer: the window is 567 x 501, the date field has the focus and Ctrl+C copies its selected
# date for wl-paste; an incomplete date brings the message box as a second window and Return
# closes it; Escape restores the date, and three Enter keys from there compute "15.08.83" with
# seven log lines and two opened pages; Ctrl+V pastes what wl-copy offers at the caret; a held
# key repeats. The banner clicked and copied is a 90 x 30 picture, a picture wl-copy offers
# pastes into it; a right click on the logo opens its menu at the pointer as a popup of the
# window, which takes the keys and which Escape closes; the minimise picture leaves the window
# as it is where the compositor ignores the request; dragging the title bar moves the window,
# and its close area ends the program.
# Usage: wayland_app_test.sh PATH/TO/orlit_cfs. Exits 77 (skipped) when a tool is missing or the
# compositor cannot start.
set -euo pipefail

program=${1:?usage: $0 PATH/TO/orlit_cfs}
pointer=$(dirname "$program")/../tests/e2e/virtual_pointer
source "$(dirname "$0")/session.sh"
source "$(dirname "$0")/wayland_session.sh"
require_tools sway swaymsg wtype grim wl-copy wl-paste python3 setpriv
start_wayland_session

fail() {
  echo "FAIL: $*"
  cat "$work/program.log" "$work/state.json" 2>/dev/null || true
  exit 1
}
windows_are() { [[ "$(wayland_windows | wc -l)" == "$1" ]]; }
pixel_is() { [[ "$(wayland_pixels $((228 + $1)),$((133 + $2)))" == "$3" ]]; }
keys() { for key in "$@"; do wtype -k "$key"; sleep 0.05; done; }
mouse() { "$pointer" 1024 768 "$@"; }
bitmap_size() {
  python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(); w,h=struct.unpack("<ii",d[18:26]); print("%dx%d"%(w,abs(h)) if d[:2]==b"BM" else "unknown")' "$1"
}
offers() { timeout 5 wl-paste -l | grep -qx "$1"; }
# The banner clicked and copied; the clipboard must hold no picture before.
copied_banner_size() {
  mouse move $((228 + 440)) $((133 + 185)) click 1
  wtype -M ctrl -k c -m ctrl
  eventually offers image/bmp || fail "no picture on the clipboard"
  timeout 5 wl-paste -t image/bmp >"$work/copied.bmp"
  bitmap_size "$work/copied.bmp"
}
main_focused() { [[ "$(wayland_focused)" == 567x501 ]]; }
other_focused() { [[ -n "$(wayland_focused)" ]] && ! main_focused; }

ORLIT_BACKEND=wayland "$program" --dump-state "$work/state.json" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
eventually windows_are 1 || fail "no window"
# The compositor centres a floating window: (1024 - 567) / 2, (768 - 501) / 2.
[[ "$(wayland_windows)" == 567x501+228+133 ]] || fail "the window is at $(wayland_windows)"
[[ -n ${ORLIT_E2E_SHOTS:-} ]] && grim "$ORLIT_E2E_SHOTS/wayland-first.png"
eventually pixel_is 120 64 FFFF00 || fail "the date field has not the focus: $(wayland_pixels $((228 + 120)),$((133 + 64)))"
[[ -n ${ORLIT_E2E_SHOTS:-} ]] && grim "$ORLIT_E2E_SHOTS/wayland-start.png"

echo "== Ctrl+C copies the selected date"
wtype -M ctrl -k c -m ctrl
copied() { [[ "$(timeout 5 wl-paste -n)" == 31.10.83 ]]; }
eventually copied || fail "copied: $(timeout 5 wl-paste -n)"

echo "== an incomplete date brings the message box"
keys Delete 3 1 1 0 Tab
eventually windows_are 2 || fail "no message box for 31.10.__"
eventually other_focused || fail "the message box has not the keyboard"
[[ -n ${ORLIT_E2E_SHOTS:-} ]] && grim "$ORLIT_E2E_SHOTS/wayland-box.png"
keys Return
eventually windows_are 1 || fail "the message box stayed"
eventually main_focused || fail "the window has not the keyboard back"
keys Escape

echo "== Enter three times"
keys Return Return Return
opened() { [[ $(wc -l <"$work/opened.log") -eq 2 ]]; }
eventually opened || fail "the opener ran $(wc -l <"$work/opened.log") times"
[[ -n ${ORLIT_E2E_SHOTS:-} ]] && grim "$ORLIT_E2E_SHOTS/wayland-calc.png"

echo "== Ctrl+V pastes"
timeout 20 wl-copy --foreground "01.02.99" &
pids+=($!)
eventually offers text/plain || fail "wl-copy offers no text"
wtype -M ctrl -k v -m ctrl

echo "== a held key repeats at the compositor's rate"
mouse move $((228 + 450)) $((133 + 63)) click 1
wtype -k End -P 7 -s 1200 -p 7

echo "== the banner copies and takes pictures"
[[ $(copied_banner_size) == 90x30 ]] || fail "the banner copied as $(bitmap_size "$work/copied.bmp")"
python3 - "$work/small.bmp" <<'PY'
import struct, sys
w, h = 60, 20
row = (w * 3 + 3) // 4 * 4
pixels = bytes(0x80 for _ in range(row * h))
open(sys.argv[1], 'wb').write(struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54) +
    struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 0, 0, 0, 0) + pixels)
PY
timeout 20 wl-copy --foreground -t image/bmp <"$work/small.bmp" &
pids+=($!)
eventually offers image/bmp || fail "wl-copy offers no picture"
wtype -M ctrl -k v -m ctrl
eventually pixel_is 445 185 808080 || fail "the banner shows no pasted picture"
wl-copy --clear
[[ $(copied_banner_size) == 60x20 ]] || fail "the pasted banner copied as $(bitmap_size "$work/copied.bmp")"

echo "== a right click on the logo opens its menu over the window at the pointer, Escape closes it"
# Below the window's bottom edge, then the menu's first item.
menu_pixels_are() { [[ "$(wayland_pixels 738,673 698,564 | tr '\n' ' ')" == "$1 "* ]]; }
for row in "click:D4D0C8 D4D0C8:no menu at the pointer" "Down:D4D0C8 E0E8F6:the menu takes no keys" \
  "Escape:3F3F3F:the menu stayed open"; do
  IFS=: read -r action pixels problem <<<"$row"
  if [[ $action == click ]]; then mouse move $((228 + 410)) $((133 + 420)) click 3; else keys "$action"; fi
  eventually menu_pixels_are "$pixels" || fail "$problem: $(wayland_pixels 738,673 698,564)"
  windows_are 1 || fail "the menu is a window of its own"
done

echo "== the minimise picture: the compositor ignores it, and the program knows"
mouse move $((228 + 514)) $((133 + 20)) click 1

echo "== the title bar moves the window, the close area ends the program"
# The compositor moves the window only once the program has handed it the press.
mouse move 400 145 press 1 wait 500 move 300 100 release 1
moved() { [[ "$(wayland_windows)" == 567x501+128+88 ]]; }
eventually moved || fail "dragged to $(wayland_windows)"
mouse move $((128 + 505 + 33 + 12)) $((88 + 8 + 12)) click 1
for _ in $(seq 40); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.05; done
wait "$program_pid" || fail "the program ended with status $?"
python3 - "$work/state.json" "$work/opened.log" <<'CHECK' || fail "unexpected state"
import json, re, sys
state = json.load(open(sys.argv[1]))
opened = open(sys.argv[2]).read().split()
checks = [
    (state["fields"]["cxTextEdit3"], "01.02.9915.08.83"),
    (state["fields"]["cxMaskEdit1"], "31.10.83"),
    # Held 1.2 s: the press, and after 0.6 s 25 repeats a second.
    (re.fullmatch(r"24\.57{5,}", state["fields"]["cxTextEdit2"]) is not None, True),
    (len(state["memos"]["cxMemo2"]), 7),
    (state["memos"]["cxMemo2"][5], "15.08.83"),
    (state["window"]["state"], "normal"),
    # The banner's clicks open the site too.
    (sorted(set(opened)), ["https://leave.orlit.example", "https://www.orlit.example"]),
]
bad = [f"{got!r} != {want!r}" for got, want in checks if got != want]
print("\n".join(bad))
sys.exit(1 if bad else 0)
CHECK
echo "PASS"
