# What the end-to-end scripts share; sourced after `set -euo pipefail`.

# Ends the script as skipped (77) when one of the tools is missing.
require_tools() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
  done
}

# Retries a command for up to fifteen seconds; true as soon as it succeeds. The bound is wide
# because the whole suite runs in parallel, under the sanitizers too, on small machines.
eventually() {
  for _ in $(seq 300); do "$@" >/dev/null 2>&1 && return 0; sleep 0.05; done
  return 1
}

# Ends the script as failed, with what the program printed.
fail() {
  echo "FAIL: $*"
  cat "$work/program.log" 2>/dev/null || true
  exit 1
}

# Waits up to ten seconds until the program has printed a line matching the pattern.
expect_line() {
  for _ in $(seq 200); do
    grep -qE "$1" "$work/program.log" && return 0
    sleep 0.05
  done
  fail "no line matching '$1'"
}

# A work directory in $work, every pid put in `pids` killed on exit, and a private Xvfb as
# $DISPLAY on the first free display number from $1, its screen $2 (default 1024x768x24). Under
# LeakSanitizer, the system libraries' own lifetime allocations are not ours to report. No test
# ever opens a real browser: a stand-in `xdg-open` first in PATH writes each call's arguments as
# a line of $work/opened.log.
start_session() {
  here=$(cd "$(dirname "$0")" && pwd)
  export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/lsan.supp"
  work=$(mktemp -d)
  pids=()
  trap end_session EXIT
  mkdir "$work/bin"
  printf '#!/bin/sh\necho "$*" >>"%s/opened.log"\n' "$work" >"$work/bin/xdg-open"
  chmod +x "$work/bin/xdg-open"
  : >"$work/opened.log"
  export PATH="$work/bin:$PATH"
  local number=$1
  while [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]]; do number=$((number + 1)); done
  export DISPLAY=:$number
  # A Wayland session around the test must not take the program from the X server.
  export ORLIT_BACKEND=x11
  Xvfb "$DISPLAY" -screen 0 "${2:-1024x768x24}" -noreset >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && return 0; sleep 0.05; done
  echo "Xvfb did not start"
  exit 1
}

end_session() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
