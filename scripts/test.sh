#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the portable core
# natively under AddressSanitizer/UBSan (with short fuzzing runs), then the
# Windows programs and tests under Wine with a private Xvfb.
set -uo pipefail
. "$(dirname "$0")/wine-session.sh"

"$ZX_ROOT/scripts/build.sh" || { echo "build failed" >&2; exit 1; }

status=0
echo "== portable core, native, ASan + UBSan"
( cd "$ZX_NATIVE_BUILD" && ctest --output-on-failure --timeout 300 -j2 ) || status=1

echo "== Windows programs under Wine"
zx_ensure_prefix
cleanup() { zx_stop_wineserver; zx_stop_xvfb; }
trap cleanup EXIT
zx_start_xvfb || exit 1
zx_start_wineserver
# A test that fails is run once more: Wine on a loaded machine now and then
# loses a process at start (a reset server connection) before any test code runs.
( cd "$ZX_WIN_BUILD" && ctest --output-on-failure --timeout 300 -j2 --repeat until-pass:2 ) || status=1
exit $status
