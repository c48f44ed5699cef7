#!/usr/bin/env bash
# Builds Zorvex and starts it under Wine. Without a display it starts a
# private Xvfb (and says so); the program's windows are then off-screen.
set -euo pipefail
. "$(dirname "$0")/wine-session.sh"
"$ZX_ROOT/scripts/build.sh" --windows-only
zx_ensure_prefix
if [ -z "${DISPLAY:-}" ]; then
  trap zx_stop_xvfb EXIT
  zx_start_xvfb
  echo "No display found: started a private Xvfb on $DISPLAY (take screenshots with: xwd -root -display $DISPLAY)."
fi
"$ZX_WINE" "$ZX_ROOT/build/bin/zorvex.exe"
