#!/usr/bin/env bash
# Builds Debian's libpng source package (with its patches) as a static MinGW library
# into build/deps/libpng. Does nothing when the library is already there.
set -euo pipefail
. "$(dirname "$0")/env.sh"
prefix="$ZX_DEPS/libpng"
[ -f "$prefix/lib/libpng16.a" ] && exit 0

# apt-get source needs a deb-src entry for the same mirror and suites as the binary one.
if ! grep -rqs '^Types: deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  src=/etc/apt/sources.list.d/zorvex-src.sources
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    [ "$f" = "$src" ] && continue
    sed 's/^Types: deb$/Types: deb-src/' "$f"
    echo
  done > "$src"
  if [ ! -s "$src" ] && [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > /etc/apt/sources.list.d/zorvex-src.list
    rm -f "$src"
  fi
  apt-get update -qq
fi

work="$ZX_DEPS/libpng-src"
rm -rf "$work"; mkdir -p "$work"
# The mirrors may no longer serve every version the index lists: try them newest first.
chmod 777 "$work"
fetched=""
for version in $(apt-cache showsrc libpng1.6 | sed -n 's/^Version: //p' | sort -rV | uniq); do
  if ( cd "$work" && apt-get source --download-only -qq "libpng1.6=$version" >/dev/null 2>&1 ); then
    fetched=$version
    break
  fi
  rm -f "$work"/libpng1.6_*
done
[ -n "$fetched" ] || { echo "setup: could not fetch Debian's libpng1.6 source package" >&2; exit 1; }
( cd "$work" && dpkg-source -x libpng1.6_*.dsc src >/dev/null )
cmake -S "$work/src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$ZX_ROOT/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF \
  -Dld-version-script=OFF -DZLIB_USE_STATIC_LIBS=ON >/dev/null
cmake --build "$work/build" >/dev/null
cmake --install "$work/build" >/dev/null
rm -rf "$work"
echo "setup: libpng built into $prefix"
