#!/usr/bin/env bash
# Time from process start to the first frame on screen, and resident memory at that moment, for
# the X backend and for a bare SDL2 window in the same run, under a private Xvfb.
# Usage: measure_first_frame.sh PATH/TO/window_probe [RUNS]   (RUNS defaults to 10)
set -euo pipefail
probe=${1:?usage: $0 PATH/TO/window_probe [RUNS]}
runs=${2:-10}
number=90
while [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]]; do number=$((number + 1)); done
export DISPLAY=:$number
Xvfb "$DISPLAY" -screen 0 1024x768x24 -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done
"$probe" --measure "$runs"
