#!/usr/bin/env bash
# Installs the build into a temporary root as a distribution would (prefix /usr) and checks what
# lands there: the program, the launcher entry and the metainfo (each through its validator),
# every icon size, and the man page (man's own warnings). Usage: installed_tree_test.sh BUILD_DIR
# Exits 77 (skipped) when a validator is missing.
set -euo pipefail

build=${1:?usage: $0 BUILD_DIR}
for tool in desktop-file-validate appstreamcli man python3; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (scripts/setup installs it)"
    exit 77
  fi
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
share=$root/usr/share
[[ -x $root/usr/bin/orlit_cfs ]] || fail "no program in usr/bin"

entries=("$share"/applications/*.desktop)
[[ ${#entries[@]} == 1 && -f ${entries[0]} ]] || fail "expected one launcher entry"
entry=${entries[0]}
id=$(basename "$entry" .desktop)
out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
[[ -z $out ]] || fail "desktop-file-validate: $out"

metainfo=$share/metainfo/$id.metainfo.xml
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli: $out"
if grep -E '^[EW]:' <<<"$out"; then fail "appstreamcli reports errors or warnings"; fi

icon=$(sed -n 's/^Icon=//p' "$entry")
[[ -s $share/icons/hicolor/scalable/apps/$icon.svg ]] || fail "no scalable icon $icon"
python3 - "$share/icons/hicolor" "$icon" <<'PY' || fail "icon sizes"
import struct, sys
theme, name = sys.argv[1:]
for size in (16, 24, 32, 48, 64, 128, 256):
    with open(f"{theme}/{size}x{size}/apps/{name}.png", "rb") as png:
        header = png.read(24)
    assert header[:8] == b"\x89PNG\r\n\x1a\n", size
    assert struct.unpack(">II", header[16:24]) == (size, size), size
PY

page=$share/man/man1/orlit_cfs.1.gz
[[ -s $page ]] || fail "no man page"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
[[ -z $warnings ]] || fail "man: $warnings"
echo "PASS: $id installs cleanly"
