#!/usr/bin/env bash
# Pictures on the X clipboard through the X backend, against xclip as the other program: the
# probe's own text holds no picture; a picture the probe offers is read back as PNG and BMP
# (large enough to go incrementally); PNG and BMP pictures xclip offers are read (a large one
# incrementally); garbage and an owner that never answers give an error or nothing, in bounded
# time, and the probe goes on.
# Usage: picture_clipboard_test.sh PATH/TO/window_probe. Exits 77 when a tool is missing.
set -euo pipefail

probe=${1:?usage: $0 PATH/TO/window_probe}
source "$(dirname "$0")/session.sh"
require_tools Xvfb xdotool xclip python3
start_session 110

# Width and height of a PNG or BMP file, as "WxH".
picture_size() {
  python3 - "$1" <<'PY'
import struct, sys
d = open(sys.argv[1], 'rb').read()
if d[:8] == b'\x89PNG\r\n\x1a\n':
    print('%dx%d' % struct.unpack('>II', d[16:24]))
elif d[:2] == b'BM':
    w, h = struct.unpack('<ii', d[18:26])
    print('%dx%d' % (w, abs(h)))
else:
    print('unknown')
PY
}

# A 24-bit bitmap file of the given size.
make_bmp() {
  python3 - "$1" "$2" "$3" <<'PY'
import struct, sys
w, h, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
row = (w * 3 + 3) // 4 * 4
pixels = bytes((x * 7 + y) % 256 for y in range(h) for x in range(row))
header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 0, 0, 0, 0)
open(path, 'wb').write(header + info + pixels)
PY
}

"$probe" >"$work/program.log" 2>&1 &
probe_pid=$!
pids+=("$probe_pid")
expect_line '^focus-gained'

echo "== the probe's own text holds no picture, found without waiting"
xdotool key c
expect_line '^clipboard '
xdotool key v
expect_line '^picture none after_ms=[0-9]{1,3}$'

echo "== the probe's picture, read by xclip"
xdotool key p
expect_line '^picture-offered'
grep -q 'image/png' <(timeout 5 xclip -selection clipboard -t TARGETS -o) || fail "no image/png offered"
for type in png bmp; do
  timeout 10 xclip -selection clipboard -t "image/$type" -o >"$work/out.$type" || fail "xclip -o $type"
  [[ $(picture_size "$work/out.$type") == 400x300 ]] || fail "$type read back as $(picture_size "$work/out.$type")"
done
xdotool key v
expect_line '^picture 400x300'

echo "== xclip's pictures, read by the probe"
make_bmp 90 30 "$work/small.bmp"
make_bmp 600 400 "$work/large.bmp"
for file in small large; do
  timeout 10 xclip -selection clipboard -t image/bmp -i "$work/$file.bmp" &
  sleep 0.5
  : >"$work/program.log"
  xdotool key v
  expect_line '^picture '
  want=$([[ $file == small ]] && echo 90x30 || echo 600x400)
  grep -q "^picture $want" "$work/program.log" || fail "$file bitmap: $(grep '^picture' "$work/program.log")"
done

echo "== garbage from the owner"
head -c 5000 /dev/urandom >"$work/garbage"
timeout 10 xclip -selection clipboard -t image/png -i "$work/garbage" &
sleep 0.5
: >"$work/program.log"
xdotool key v
expect_line '^picture (error|none)'

echo "== an owner that never answers"
# xclip stopped after taking the clipboard: it holds the selection and answers nothing.
xclip -quiet -selection clipboard -t image/png -i "$work/garbage" >/dev/null 2>&1 &
silent=$!
pids+=("$silent")
sleep 0.5
kill -STOP "$silent"
: >"$work/program.log"
xdotool key v
expect_line '^picture none after_ms=(19|2[0-9])[0-9][0-9]$'
kill -CONT "$silent" || true

xdotool key q
wait "$probe_pid" || fail "probe ended with status $?"
echo "PASS"
