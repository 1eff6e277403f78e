#!/usr/bin/env bash
# The program on its Wayland backend under a headless compositor, driven by wtype: the window is
# 567 x 501, the date field has the focus; an incomplete date brings the message box as a second
# window and Return closes it; Escape restores the date, and three Enter keys from there compute
# "15.08.83" with seven log lines and two opened pages. A quit signal ends the program with the
# dumped state. Usage: wayland_app_test.sh PATH/TO/orlit_cfs. Exits 77 (skipped) when a tool is
# missing or the compositor cannot start.
set -euo pipefail

program=${1:?usage: $0 PATH/TO/orlit_cfs}
source "$(dirname "$0")/session.sh"
source "$(dirname "$0")/wayland_session.sh"
require_tools sway swaymsg wtype grim python3 setpriv
start_wayland_session

fail() {
  echo "FAIL: $*"
  cat "$work/program.log" "$work/state.json" 2>/dev/null || true
  exit 1
}
windows_are() { [[ "$(wayland_windows | wc -l)" == "$1" ]]; }
# The compositor centres a floating window: (1024 - 567) / 2, (768 - 501) / 2.
pixel_is() { [[ "$(wayland_pixels $((228 + $1)),$((133 + $2)))" == "$3" ]]; }
keys() { for key in "$@"; do wtype -k "$key"; sleep 0.05; done; }

ORLIT_BACKEND=wayland "$program" --dump-state "$work/state.json" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
eventually windows_are 1 || fail "no window"
[[ "$(wayland_windows)" == 567x501 ]] || fail "the window is $(wayland_windows), not 567x501"
[[ -n ${ORLIT_E2E_SHOTS:-} ]] && grim "$ORLIT_E2E_SHOTS/wayland-first.png"
eventually pixel_is 120 64 FFFF00 || fail "the date field has not the focus: $(wayland_pixels $((228 + 120)),$((133 + 64)))"
[[ -n ${ORLIT_E2E_SHOTS:-} ]] && grim "$ORLIT_E2E_SHOTS/wayland-start.png"

echo "== an incomplete date brings the message box"
keys Delete 3 1 1 0 Tab
eventually windows_are 2 || fail "no message box for 31.10.__"
[[ -n ${ORLIT_E2E_SHOTS:-} ]] && grim "$ORLIT_E2E_SHOTS/wayland-box.png"
keys Return
eventually windows_are 1 || fail "the message box stayed"
keys Escape

echo "== Enter three times"
keys Return Return Return
opened() { [[ $(wc -l <"$work/opened.log") -eq 2 ]]; }
eventually opened || fail "the opener ran $(wc -l <"$work/opened.log") times"
[[ -n ${ORLIT_E2E_SHOTS:-} ]] && grim "$ORLIT_E2E_SHOTS/wayland-calc.png"

kill -TERM "$program_pid"
wait "$program_pid" || fail "the program ended with status $?"
python3 - "$work/state.json" "$work/opened.log" <<'CHECK' || fail "unexpected state"
import json, sys
state = json.load(open(sys.argv[1]))
opened = open(sys.argv[2]).read().split()
checks = [
    (state["fields"]["cxTextEdit3"], "15.08.83"),
    (state["fields"]["cxMaskEdit1"], "31.10.83"),
    (len(state["memos"]["cxMemo2"]), 7),
    (sorted(opened), ["https://leave.orlit.example", "https://www.orlit.example"]),
]
bad = [f"{got!r} != {want!r}" for got, want in checks if got != want]
print("\n".join(bad))
sys.exit(1 if bad else 0)
CHECK
echo "PASS"
