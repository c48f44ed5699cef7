# Helpers for running Zorvex under Wine (sourced by the run and test scripts).
# Everything started here is recorded by pid and stopped by pid.
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"

ZX_PIDS_DIR="$ZX_BUILD/pids"

# A project-local prefix with Wine's "light" visual style on.
zx_ensure_prefix() {
  if [ ! -f "$WINEPREFIX/.zorvex-ready" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$ZX_WINE" wineboot -i >/dev/null 2>&1 </dev/null || true
    "$ZX_WINESERVER" -w
    zx_set_theme 1
    touch "$WINEPREFIX/.zorvex-ready"
  fi
}

# zx_set_theme 1|0: the light visual style on, or the classic look.
zx_set_theme() {
  local key='HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager'
  if [ "$1" = 1 ]; then
    "$ZX_WINE" reg add "$key" /v ThemeActive /t REG_SZ /d 1 /f >/dev/null 2>&1 </dev/null
    "$ZX_WINE" reg add "$key" /v DllName /t REG_SZ \
      /d 'C:\windows\resources\themes\light\light.msstyles' /f >/dev/null 2>&1 </dev/null
  else
    "$ZX_WINE" reg add "$key" /v ThemeActive /t REG_SZ /d 0 /f >/dev/null 2>&1 </dev/null
  fi
  "$ZX_WINESERVER" -w
}

# A persistent server, primed off any pipe so that later starts are quick and
# a pipe reader never waits on Wine's helper processes.
zx_start_wineserver() {
  mkdir -p "$ZX_PIDS_DIR"
  # Wine takes the user's language from the Unix locale: every Wine process
  # of the session, the server's helpers included, runs as a British user.
  export LC_ALL=en_GB.UTF-8
  setsid "$ZX_WINESERVER" -f -p >/dev/null 2>&1 </dev/null &
  echo $! > "$ZX_PIDS_DIR/wineserver"
  "$ZX_WINE" cmd /c exit >/dev/null 2>&1 </dev/null || true
}

zx_stop_wineserver() {
  "$ZX_WINESERVER" -k >/dev/null 2>&1 || true
  if [ -f "$ZX_PIDS_DIR/wineserver" ]; then
    kill "$(cat "$ZX_PIDS_DIR/wineserver")" 2>/dev/null || true
    rm -f "$ZX_PIDS_DIR/wineserver"
  fi
}

# A private Xvfb on the first free display; sets DISPLAY.
zx_start_xvfb() {
  mkdir -p "$ZX_PIDS_DIR"
  local n=91
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
  echo $! > "$ZX_PIDS_DIR/xvfb"
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return 0; sleep 0.1; done
  echo "could not start Xvfb on :$n" >&2
  return 1
}

zx_stop_xvfb() {
  if [ -f "$ZX_PIDS_DIR/xvfb" ]; then
    kill "$(cat "$ZX_PIDS_DIR/xvfb")" 2>/dev/null || true
    rm -f "$ZX_PIDS_DIR/xvfb"
  fi
}
