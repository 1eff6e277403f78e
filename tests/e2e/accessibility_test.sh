#!/usr/bin/env bash
# A screen-reader client on a real accessibility bus: a private session bus with the desktop's
# accessibility bus launcher and registry, the program started before assistive technology asks
# for it, then IsEnabled turned on; the client (atspi_client.py, through pyatspi) must then find
# the application, read its tree, fill the fields through EditableText, hear a focus event per Tab
# and read the result and the log after Enter keys typed by a real keyboard tool.
# Usage: accessibility_test.sh PATH/TO/orlit_cfs [x11|wayland]: the program on an X server
# (keys from xdotool) or on a headless Wayland compositor (keys from wtype).
# Exits 77 (skipped) when a tool is missing.
set -euo pipefail

program=${1:?usage: $0 PATH/TO/orlit_cfs [x11|wayland]}
backend=${2:-x11}
launcher=/usr/libexec/at-spi-bus-launcher
if [[ -z ${ORLIT_PRIVATE_BUS:-} ]]; then
  command -v dbus-run-session >/dev/null || { echo "skipped: dbus-run-session is not installed"; exit 77; }
  ORLIT_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
source "$(dirname "$0")/session.sh"
[[ -x $launcher ]] || { echo "skipped: at-spi2-core is not installed"; exit 77; }
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "skipped: python3-pyatspi is not installed"; exit 77; }
if [[ $backend == wayland ]]; then
  source "$(dirname "$0")/wayland_session.sh"
  require_tools sway swaymsg wtype setpriv python3 dbus-send
  start_wayland_session
  export ORLIT_BACKEND=wayland
  shown() { [[ -n "$(wayland_windows)" ]]; }
  focused() { [[ -n "$(wayland_focused)" ]]; }
else
  require_tools Xvfb xdotool dbus-send
  start_session 170
  shown() { xdotool search --classname '^orlit_cfs$'; }
  focused() { xdotool getwindowfocus -f; }
fi
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
eventually shown || fail "no window of the program"
eventually focused || fail "no focus"

echo "== the oracle: the terminal mode's lines for the same fields"
"$program" --calc 15.03.24 20 21 >"$work/expected.log" 2>&1 || true

echo "== IsEnabled turned on while the program runs"
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
  org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled variant:boolean:true \
  >/dev/null
/usr/bin/python3 "$here/atspi_client.py" "$work/expected.log" || fail "the client's checks failed"
echo "PASS"
