#!/usr/bin/env bash
# Builds zorvex.exe and zorvexc.exe (build/bin), the Windows tests and the
# native sanitizer build of the portable core.
set -euo pipefail
. "$(dirname "$0")/env.sh"
"$ZX_ROOT/scripts/setup.sh"

if [ ! -f "$ZX_WIN_BUILD/build.ninja" ]; then
  cmake -S "$ZX_ROOT" -B "$ZX_WIN_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ZX_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DZX_LIBPNG_PREFIX="$ZX_DEPS/libpng" >/dev/null
fi
cmake --build "$ZX_WIN_BUILD"

if [ "${1:-}" != "--windows-only" ]; then
  if [ ! -f "$ZX_NATIVE_BUILD/build.ninja" ]; then
    cmake -S "$ZX_ROOT" -B "$ZX_NATIVE_BUILD" -G Ninja -DZX_NATIVE=ON \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
  fi
  cmake --build "$ZX_NATIVE_BUILD"
fi
