# Shared locations for the build and test scripts (sourced, not run).
ZX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ZX_BUILD="$ZX_ROOT/build"
ZX_DEPS="$ZX_BUILD/deps"
ZX_WIN_BUILD="$ZX_BUILD/win"
ZX_NATIVE_BUILD="$ZX_BUILD/native"
export WINEPREFIX="$ZX_BUILD/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
ZX_WINE=/usr/lib/wine/wine64
ZX_WINESERVER=/usr/lib/wine/wineserver64
