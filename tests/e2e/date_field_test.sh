#!/usr/bin/env bash
# Types into the real date field under Xvfb: the field has the focus with "31.10.83" selected;
# Delete blanks it, digits fill it and skip its points, Backspace steps back over a point; an
# incomplete date brings the message box and keeps the focus, Escape restores the date, and a
# complete one is taken when the focus leaves. Usage: date_field_test.sh PATH/TO/orlit_cfs
# Exits 77 (skipped) when a tool is missing.
set -euo pipefail

program=${1:?usage: $0 PATH/TO/orlit_cfs}
source "$(dirname "$0")/session.sh"
require_tools Xvfb xdotool xwd xprop python3
start_session 140

windows() { xdotool search --classname '^orlit_cfs$' | wc -l; }
windows_are() { [[ "$(windows)" == "$1" ]]; }
# The window is centred on the 1024 x 768 screen; a point of its client area.
pixel() { xwd -root -silent | python3 "$here/screen_pixel.py" $((228 + $1)),$((133 + $2)); }
pixel_is() { [[ "$(pixel "$1" "$2")" == "$3" ]]; }
keys() { xdotool key --delay 40 "$@"; }

"$program" --dump-state "$work/state.json" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
eventually windows_are 1 || fail "no window of class orlit_cfs"
eventually pixel_is 120 64 FFFF00 || fail "the date field has not the focus: $(pixel 120 64)"

echo "== an incomplete date keeps the user in the field"
keys Delete 3 1 1 0
keys Tab
eventually windows_are 2 || fail "no message box for 31.10.__"
# The box tells the window manager it is a modal dialog of the main window, which keeps it above
# that window and gives it the focus when the main window is clicked.
box_is_dialog_of_main() {
  local ids id other props
  ids=$(xdotool search --classname '^orlit_cfs$')
  for id in $ids; do
    props=$(xprop -id "$id" WM_TRANSIENT_FOR _NET_WM_STATE _NET_WM_WINDOW_TYPE)
    grep -q '_NET_WM_STATE_MODAL' <<<"$props" || continue
    grep -q '_NET_WM_WINDOW_TYPE_DIALOG' <<<"$props" || continue
    for other in $ids; do
      [[ $other != "$id" ]] && grep -qi "window id # $(printf '0x%x' "$other")\$" <<<"$props" &&
        return 0
    done
  done
  return 1
}
box_is_dialog_of_main || fail "the message box is no modal dialog of the main window"
keys Return
eventually windows_are 1 || fail "the message box stayed"
pixel_is 120 64 FFFF00 || fail "the focus left the date field: $(pixel 120 64)"
keys Escape

echo "== a complete date is taken"
keys Delete 3 1 1 0 8 3 BackSpace BackSpace BackSpace BackSpace 0 9 8 4
keys Tab
sleep 0.3
windows_are 1 || fail "a message box for a complete date"
pixel_is 120 64 FFFFFF || fail "the date field kept the focus: $(pixel 120 64)"

# The close area of the title bar.
xdotool mousemove $((228 + 505 + 33 + 12)) $((133 + 8 + 12)) click 1
for _ in $(seq 40); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.05; done
wait "$program_pid" || true
grep -q '"cxMaskEdit1": "31.09.84"' "$work/state.json" || fail "date: $(cat "$work/state.json")"
grep -q '"focused": "cxTextEdit1"' "$work/state.json" || fail "focus: $(cat "$work/state.json")"
echo "PASS"
