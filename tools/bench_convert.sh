#!/usr/bin/env bash
# Batch conversion speed: zorvexc convert over a folder of Wine's icon-bearing
# x86_64 DLLs to each target, timed as whole processes (farm-bench, median of
# RUNS), beside wrestool extracting the same group icons and beside plain
# copying of the inputs; then peak memory over 100 and over 1000 small .ico
# files, which should be the same.
#   bash tools/bench_convert.sh [RUNS]     (after bash scripts/build.sh)
set -euo pipefail
. "$(dirname "$0")/../scripts/wine-session.sh"
RUNS="${1:-3}"
WINE_DLLS=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
WORK="$(mktemp -d /tmp/zx_bench_convert.XXXXXX)"
ZORVEXC="$ZX_BUILD/bin/zorvexc.exe"

cleanup() { zx_stop_wineserver; zx_stop_xvfb; rm -rf "$WORK"; }
trap cleanup EXIT
zx_ensure_prefix
zx_start_xvfb
zx_start_wineserver

# The inputs: every DLL that holds at least one icon group, COPIES times
# under different names so that start-up does not hide the work.
COPIES="${COPIES:-10}"
mkdir -p "$WORK/dlls"
for dll in "$WINE_DLLS"/*.dll; do
  if wrestool -l --type=14 "$dll" 2>/dev/null | grep -q .; then
    for n in $(seq "$COPIES"); do cp "$dll" "$WORK/dlls/$n-$(basename "$dll")"; done
  fi
done
files=$(ls "$WORK/dlls" | wc -l)
input_mb=$(du -sm "$WORK/dlls" | cut -f1)
icon_bytes=$(for f in "$WORK/dlls"/*; do wrestool -l --type=3 "$f"; done | sed -n 's/.*size=\([0-9]*\).*/\1/p' |
  awk '{s += $1} END {print s}')
echo "inputs: $files DLLs with icon groups, $input_mb MB, $((icon_bytes / 1024)) KiB of icon images"

win() { echo "Z:${1//\//\\}"; }
for target in ico icl-ne dll icl-pe; do
  out="$WORK/out-$target"
  echo "== convert --to $target   vs   wrestool -x -t 14 (A/B)"
  farm-bench -n "$RUNS" --timeout 1800 \
    --vs "sh -c 'rm -rf $WORK/wrestool; mkdir $WORK/wrestool; for f in $WORK/dlls/*; do wrestool -x -t 14 -o $WORK/wrestool \$f; done'" \
    -- sh -c "rm -rf '$out'; mkdir '$out'; exec '$ZX_WINE' '$ZORVEXC' convert --to $target --recursive -o '$(win "$out")' '$(win "$WORK/dlls")' >/dev/null"
  echo "== convert --to $target   vs   cp (A/B)"
  farm-bench -n "$RUNS" --timeout 1800 --vs "sh -c 'rm -rf $WORK/copy; cp -r $WORK/dlls $WORK/copy'" \
    -- sh -c "rm -rf '$out'; mkdir '$out'; exec '$ZX_WINE' '$ZORVEXC' convert --to $target --recursive -o '$(win "$out")' '$(win "$WORK/dlls")' >/dev/null"
done
echo "files per second = $files / median wall; icon MB per second = $icon_bytes / 1e6 / median wall"

# Memory over many small files: 100 against 1000 copies of one .ico.
/usr/bin/python3 - "$WORK" <<'PY'
import sys
from PIL import Image
im = Image.new("RGBA", (48, 48), (200, 40, 40, 255))
for count in (100, 1000):
    import os
    folder = os.path.join(sys.argv[1], f"ico{count}")
    os.makedirs(folder)
    im.save(os.path.join(folder, "a.ico"), sizes=[(16, 16), (32, 32), (48, 48)])
    data = open(os.path.join(folder, "a.ico"), "rb").read()
    for n in range(1, count):
        open(os.path.join(folder, f"i{n}.ico"), "wb").write(data)
PY
for count in 100 1000; do
  echo "== $count small .ico files to every target (peak memory)"
  farm-bench -n "$RUNS" --timeout 1800 -- sh -c "rm -rf '$WORK/m'; mkdir '$WORK/m'; exec '$ZX_WINE' '$ZORVEXC' convert --to all --recursive -o '$(win "$WORK/m")' '$(win "$WORK/ico$count")' >/dev/null"
done
