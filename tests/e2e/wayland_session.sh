# A private headless Wayland compositor for the end-to-end scripts; sourced after session.sh.

# A work directory in $work (session.sh's fake xdg-open first in PATH, every pid put in `pids`
# killed on exit) and a private headless sway as $WAYLAND_DISPLAY, its one screen $1 (default
# 1024x768) at scale $2 (default 1), our windows floating at their own size, a virtual keyboard
# kept on the seat (each wtype call brings its own for its keys only; without a keyboard left
# the seat has none). sway refuses to run as root: as root it runs as nobody, in a runtime
# folder of nobody's, which root's clients still reach. Skips (77) when sway cannot start.
start_wayland_session() {
  here=$(cd "$(dirname "$0")" && pwd)
  export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/lsan.supp"
  work=$(mktemp -d)
  chmod 755 "$work"
  pids=()
  trap end_session EXIT
  mkdir "$work/bin" "$work/runtime"
  printf '#!/bin/sh\necho "$*" >>"%s/opened.log"\n' "$work" >"$work/bin/xdg-open"
  chmod +x "$work/bin/xdg-open"
  : >"$work/opened.log"
  export PATH="$work/bin:$PATH"
  cat >"$work/sway.conf" <<CONF
output HEADLESS-1 resolution ${1:-1024x768} scale ${2:-1}
for_window [app_id="example.orlit.OrlitCfs"] floating enable
CONF
  chmod 644 "$work/sway.conf"
  local as_user=()
  if [[ $(id -u) -eq 0 ]]; then
    chown 65534:65534 "$work/runtime"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  fi
  chmod 700 "$work/runtime"
  env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$work/runtime" WLR_BACKENDS=headless \
    WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 HOME="$work" \
    "${as_user[@]}" sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
  pids+=($!)
  local socket=""
  for _ in $(seq 100); do
    socket=$(cd "$work/runtime" && ls wayland-[0-9] 2>/dev/null | head -1) && [[ -n $socket ]] && break
    sleep 0.05
  done
  if [[ -z $socket ]]; then
    echo "skipped: sway cannot start here:"
    cat "$work/sway.log"
    exit 77
  fi
  unset DISPLAY
  export XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=$socket
  SWAYSOCK=$(ls "$work"/runtime/sway-ipc.*.sock | head -1)
  export SWAYSOCK
  wtype -s 600000 &
  pids+=($!)
}

# Our windows the compositor shows, one WIDTHxHEIGHT+LEFT+TOP line each; with "focused", only the
# one that has the keyboard, as WIDTHxHEIGHT (empty when none has).
wayland_windows() {
  swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    yield node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from walk(child)
focused_only = sys.argv[1:] == ["focused"]
for n in walk(json.load(sys.stdin)):
    if n.get("app_id") != "example.orlit.OrlitCfs" or (focused_only and not n.get("focused")):
        continue
    r = n["rect"]
    if focused_only:
        print("%dx%d" % (r["width"], r["height"]))
    else:
        print("%dx%d+%d+%d" % (r["width"], r["height"], r["x"], r["y"]))' "$@"
}

wayland_focused() { wayland_windows focused; }

# Colours (RRGGBB) of screen pixels X,Y... in a grim capture.
wayland_pixels() {
  grim -t ppm - | python3 -c '
import re, sys
data = sys.stdin.buffer.read()
header = re.match(rb"P6\s+(\d+)\s+\d+\s+\d+\s", data)
width, pixels = int(header.group(1)), data[header.end():]
for point in sys.argv[1:]:
    x, y = (int(v) for v in point.split(","))
    print("%02X%02X%02X" % tuple(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]))' "$@"
}
