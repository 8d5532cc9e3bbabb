#!/usr/bin/env bash
# Takes a fresh Debian machine to a working toolchain: system packages, then minizip and
# libjpeg-turbo built for both mingw targets from Debian's own source packages into build/deps.
# Quick when everything is already there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/build/deps"

packages=(
  cmake make ninja-build pkg-config dpkg-dev xz-utils python3
  g++ clang libclang-rt-14-dev
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64 libz-mingw-w64-dev
  zlib1g-dev libminizip-dev libjpeg62-turbo-dev libgtest-dev googletest
  wine64 xvfb xauth xdotool imagemagick fonts-wqy-microhei locales x11-utils unzip
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

# wine takes its ANSI code page (936, GBK) from LC_ALL=zh_CN.UTF-8.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen
fi

# deb-src entries mirror whatever binary sources the machine already uses.
enable_source_packages() {
  local list=/etc/apt/sources.list.d/installer-src.sources
  [ -f "$list" ] && return 0
  : > "$list"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ "$f" = "$list" ] && continue
    [ -f "$f" ] && sed 's/^Types: deb$/Types: deb-src/' "$f" >> "$list" && echo >> "$list"
  done
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' \
      > /etc/apt/sources.list.d/installer-src.list || true
  fi
  apt-get update
}

fetch_sources() {
  local src="$deps/src"
  if [ -d "$src/minizip" ] && [ -d "$src/libjpeg-turbo" ]; then return 0; fi
  enable_source_packages
  rm -rf "$src" && mkdir -p "$src/dl"
  (cd "$src/dl" && apt-get source --download-only minizip libjpeg-turbo)
  (cd "$src/dl" && dpkg-source -x minizip_*.dsc "$src/minizip" && \
     dpkg-source -x libjpeg-turbo_*.dsc "$src/libjpeg-turbo")
}

build_minizip() {  # $1 = mingw triplet
  local out="$deps/$1"
  [ -f "$out/lib/libminizip.a" ] && return 0
  local work="$deps/work/minizip-$1"
  rm -rf "$work" && mkdir -p "$work" "$out/lib" "$out/include/minizip"
  for c in ioapi unzip zip; do
    "$1-gcc-posix" -O2 -DNOCRYPT -DNOUNCRYPT -c "$deps/src/minizip/$c.c" -o "$work/$c.o"
  done
  "$1-ar" rcs "$out/lib/libminizip.a" "$work"/*.o
  cp "$deps/src/minizip"/{ioapi.h,unzip.h,zip.h} "$out/include/minizip/"
}

build_libjpeg() {  # $1 = mingw triplet
  local out="$deps/$1"
  [ -f "$out/lib/libjpeg.a" ] && return 0
  local work="$deps/work/jpeg-$1"
  rm -rf "$work"
  cmake -S "$deps/src/libjpeg-turbo" -B "$work" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$1.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$out" -DWITH_SIMD=0 -DENABLE_SHARED=0 -DWITH_TURBOJPEG=0 \
    -DWITH_JPEG8=0 > "$work.log" 2>&1 || { cat "$work.log"; return 1; }
  cmake --build "$work" --target install >> "$work.log" 2>&1 || { tail -50 "$work.log"; return 1; }
}

if [ ! -f "$deps/i686-w64-mingw32/lib/libjpeg.a" ] || [ ! -f "$deps/x86_64-w64-mingw32/lib/libjpeg.a" ] ||
   [ ! -f "$deps/i686-w64-mingw32/lib/libminizip.a" ] || [ ! -f "$deps/x86_64-w64-mingw32/lib/libminizip.a" ]; then
  fetch_sources
  for t in i686-w64-mingw32 x86_64-w64-mingw32; do
    echo "bootstrap: building minizip and libjpeg-turbo for $t"
    build_minizip "$t"
    build_libjpeg "$t"
  done
fi
echo "bootstrap: toolchain ready"
