#!/usr/bin/env bash
# Installs everything Zorvex needs to build and test on Debian 12, as root.
# Idempotent: a second run checks and returns quickly.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/env.sh"

packages=(
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev libz-mingw-w64-dev
  cmake ninja-build make dpkg-dev clang libclang-rt-14-dev g++ googletest libpng-dev
  wine64 fonts-wine xvfb x11-apps imagemagick icoutils python3 python3-pil xauth locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The MinGW compiler comes in two threading flavours; use the posix one.
if [ "$(readlink -f "$(command -v x86_64-w64-mingw32-g++)")" != "$(readlink -f /usr/bin/x86_64-w64-mingw32-g++-posix)" ]; then
  update-alternatives --set x86_64-w64-mingw32-g++ /usr/bin/x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || true
  update-alternatives --set x86_64-w64-mingw32-gcc /usr/bin/x86_64-w64-mingw32-gcc-posix >/dev/null 2>&1 || true
fi

# Wine takes the user's language from the Unix locale; the tests run as an
# English (United Kingdom) user, so that locale must exist.
if ! locale -a 2>/dev/null | grep -qi '^en_GB\.utf-\?8$'; then
  sed -i 's/^# *\(en_GB.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^en_GB.UTF-8 UTF-8' /etc/locale.gen || echo 'en_GB.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

"$root/scripts/build-libpng.sh"
