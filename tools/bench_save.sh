#!/usr/bin/env bash
# Benchmark (not a test): writing shell32.dll's 184 icon groups to each of the
# four targets with zorvexc save, against copying the same number of bytes
# with Wine's own copy command (both include starting a Wine process).
# Needs the build (scripts/build.sh) and farm-bench on the PATH.
# Usage: tools/bench_save.sh [RUNS]
set -euo pipefail
. "$(dirname "$0")/../scripts/wine-session.sh"
runs=${1:-5}
zx_ensure_prefix
zx_start_wineserver
trap zx_stop_wineserver EXIT
work=$(mktemp -d)
source=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/shell32.dll
zorvexc="$ZX_BUILD/bin/zorvexc.exe"
for target in ico icl-ne icl-pe dll; do
  case $target in ico) ext=ico ;; dll) ext=dll ;; *) ext=icl ;; esac
  out="$work/out.$ext"
  "$ZX_WINE" "$zorvexc" save --force --to $target "Z:$source" -o "Z:$out" >/dev/null
  # The yardstick copies a file of the size the writer produced.
  head -c "$(stat -c %s "$out")" /dev/urandom > "$work/same_size.bin"
  echo "== $target: $(stat -c %s "$out") bytes"
  farm-bench -n "$runs" --timeout 600 \
    --vs "$ZX_WINE cmd /c copy /y Z:${work//\//\\}\\same_size.bin Z:${work//\//\\}\\copy.bin" \
    -- "$ZX_WINE" "$zorvexc" save --force --to $target "Z:$source" -o "Z:$out"
done
rm -rf "$work"
