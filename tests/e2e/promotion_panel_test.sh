#!/usr/bin/env bash
# Clicks the promotion panel of the real program under Xvfb: the logo, the promotion text and the
# banner each start the (fake) opener twice, once per site.
# Usage: promotion_panel_test.sh PATH/TO/orlit_cfs.
# Exits 77 (skipped) when a tool is missing.
set -euo pipefail

program=${1:?usage: $0 PATH/TO/orlit_cfs}
source "$(dirname "$0")/session.sh"
require_tools Xvfb xdotool xwininfo
start_session 140

"$program" >"$work/program.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do xdotool search --classname '^orlit_cfs$' >/dev/null 2>&1 && break; sleep 0.05; done
window=$(xdotool search --classname '^orlit_cfs$' | head -1) || fail "no window of class orlit_cfs"
sleep 0.5
left=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left X: *//p')
top=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left Y: *//p')

opened() { wc -l <"$work/opened.log"; }
# Clicks a point of the window's client area and waits (up to 5 s) for `expected` starts in all.
click_opens() {  # name x y expected
  xdotool mousemove $((left + $2)) $((top + $3))
  sleep 0.1
  xdotool click 1
  for _ in $(seq 100); do [[ $(opened) -ge $4 ]] && break; sleep 0.05; done
  [[ $(opened) -eq $4 ]] || fail "$1: $(opened) starts in all, expected $4: $(cat "$work/opened.log")"
  sleep 0.3
  [[ $(opened) -eq $4 ]] || fail "$1 started the opener more than twice"
  echo "== $1 opens both sites"
}

click_opens logo 410 420 2
click_opens "promotion text" 100 400 4
click_opens banner 440 185 6
# Two processes start at once, so only the count of each address is certain.
[[ $(grep -cx 'https://leave.orlit.example' "$work/opened.log") -eq 3 &&
  $(grep -cx 'https://www.orlit.example' "$work/opened.log") -eq 3 ]] ||
  fail "addresses: $(cat "$work/opened.log")"
echo "promotion panel: all clicks opened both sites"
