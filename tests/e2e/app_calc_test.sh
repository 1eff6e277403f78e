#!/usr/bin/env bash
# Drives the calculation in the real program under Xvfb: three Enter keys from the date field
# with the start values compute "15.08.83" into the result field, write seven lines into the log
# and start the opener twice (a fake xdg-open, first in PATH, records its arguments). The state
# dumped when the close area ends the program says so. Usage: app_calc_test.sh PATH/TO/orlit_cfs
# Exits 77 (skipped) when a tool is missing.
set -euo pipefail

program=${1:?usage: $0 PATH/TO/orlit_cfs}
source "$(dirname "$0")/session.sh"
require_tools Xvfb xdotool python3
start_session 160

fail() {
  echo "FAIL: $*"
  cat "$work/program.log" "$work/state.json" 2>/dev/null || true
  exit 1
}
"$program" --dump-state "$work/state.json" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
eventually xdotool search --classname '^orlit_cfs$' || fail "no window of class orlit_cfs"
window=$(xdotool search --classname '^orlit_cfs$' | head -1)
eventually xdotool getwindowfocus -f || fail "no focus"
sleep 0.3

echo "== Enter three times"
for _ in 1 2 3; do
  xdotool key Return
  sleep 0.2
done
opened() { [[ $(wc -l <"$work/opened.log") -eq 2 ]]; }
eventually opened || fail "the opener ran $(cat "$work/opened.log" 2>/dev/null | wc -l) times"

echo "== close area, then the state"
xdotool mousemove $((228 + 505 + 33 + 12)) $((133 + 8 + 12))
sleep 0.1
xdotool click 1
for _ in $(seq 40); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.05; done
wait "$program_pid" || fail "the program ended with status $?"
python3 - "$work/state.json" "$work/opened.log" <<'CHECK' || fail "unexpected state"
import json, sys
state = json.load(open(sys.argv[1]))
opened = open(sys.argv[2]).read().split()
checks = [
    (state["focused"], "cxTextEdit3"),
    (state["fields"]["cxTextEdit3"], "15.08.83"),
    (state["fields"]["cxMaskEdit1"], "31.10.83"),
    (len(state["memos"]["cxMemo2"]), 7),
    (state["memos"]["cxMemo2"][5], "15.08.83"),
    # The two openers run side by side: their lines come in either order.
    (sorted(opened), ["https://leave.orlit.example", "https://www.orlit.example"]),
]
bad = [f"{got!r} != {want!r}" for got, want in checks if got != want]
print("\n".join(bad))
sys.exit(1 if bad else 0)
CHECK
echo "PASS"
