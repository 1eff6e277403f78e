#!/usr/bin/env bash
# A screen-reader client on a real accessibility bus: a private session bus with the desktop's
# accessibility bus launcher and registry, the program started before assistive technology asks
# for it, then IsEnabled turned on; the client (atspi_client.py, through pyatspi) must then find
# the application, read its tree, fill the fields through EditableText, hear a focus event per Tab
# and read the result and the log after Enter keys typed with xdotool.
# Usage: accessibility_test.sh PATH/TO/orlit_cfs. Exits 77 (skipped) when a tool is missing.
set -euo pipefail

program=${1:?usage: $0 PATH/TO/orlit_cfs}
launcher=/usr/libexec/at-spi-bus-launcher
if [[ -z ${ORLIT_PRIVATE_BUS:-} ]]; then
  command -v dbus-run-session >/dev/null || { echo "skipped: dbus-run-session is not installed"; exit 77; }
  ORLIT_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
source "$(dirname "$0")/session.sh"
require_tools Xvfb xdotool dbus-send
[[ -x $launcher ]] || { echo "skipped: at-spi2-core is not installed"; exit 77; }
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "skipped: python3-pyatspi is not installed"; exit 77; }
start_session 170
unset ORLIT_ACCESSIBILITY AT_SPI_BUS_ADDRESS

status() {
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Get string:org.a11y.Status string:IsEnabled
}
eventually status || fail "no accessibility bus launcher on the session bus"
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
  org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled variant:boolean:false \
  >/dev/null

"$program" >"$work/program.log" 2>&1 &
pids+=($!)
eventually xdotool search --classname '^orlit_cfs$' || fail "no window of class orlit_cfs"
eventually xdotool getwindowfocus -f || fail "no focus"

echo "== the oracle: the terminal mode's lines for the same fields"
"$program" --calc 15.03.24 20 21 >"$work/expected.log" 2>&1 || true

echo "== IsEnabled turned on while the program runs"
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
  org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled variant:boolean:true \
  >/dev/null
/usr/bin/python3 "$here/atspi_client.py" "$work/expected.log" || fail "the client's checks failed"
echo "PASS"
