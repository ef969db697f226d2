#!/usr/bin/env bash
# Cross-builds the Windows plug-in's third-party libraries with mingw-w64 into
# build/windeps/<arch> (arch x86_64 or i686), from Debian's own packages:
#   zlib        Debian's mingw package libz-mingw-w64-dev (static libz.a, used in place)
#   libpng      Debian's source package libpng1.6 (apt-get source; needs a deb-src entry)
#   GoogleTest  Debian's googletest package (/usr/src/googletest), for the cross-built tests
# Everything is static. Results are cached: a finished library is not built again unless
# its stamp file is removed. No third-party source lives in the repository.
#
# Usage: tools/build-win-deps.sh [x86_64|i686|all]   (default all)
# Environment: TESVAR_WINDEPS (default <repo>/build/windeps), JOBS (default 2).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps_root=${TESVAR_WINDEPS:-$repo/build/windeps}
jobs=${JOBS:-2}
source_dir=$deps_root/src

log() { printf 'build-win-deps: %s\n' "$*" >&2; }

toolchain_of() {
  case $1 in
    x86_64) echo "$repo/cmake/toolchains/mingw-w64-x86_64.cmake" ;;
    i686) echo "$repo/cmake/toolchains/mingw-w64-i686.cmake" ;;
    *) log "unknown architecture '$1' (x86_64 or i686)"; exit 2 ;;
  esac
}

# Debian's libpng source, unpacked once and shared by both architectures.
fetch_libpng_source() {
  local found
  found=$(find "$source_dir" -maxdepth 1 -type d -name 'libpng1.6-*' 2>/dev/null | head -n 1)
  if [[ -n $found && -f $found/CMakeLists.txt ]]; then echo "$found"; return; fi
  mkdir -p "$source_dir"
  # Newest version first; a mirror that lacks one (a security update not yet mirrored,
  # for example) falls back to the point release.
  local version fetched=no
  for version in $(apt-cache showsrc libpng1.6 2>/dev/null | sed -n 's/^Version: //p' | sort -rV); do
    if (cd "$source_dir" && apt-get source -qq "libpng1.6=$version" >&2); then
      fetched=yes
      break
    fi
    log "libpng1.6 $version could not be fetched, trying an older one"
  done
  if [[ $fetched != yes ]]; then
    log "apt-get source libpng1.6 failed: add a deb-src entry (see .ci/windows.sh) and run apt-get update"
    exit 1
  fi
  found=$(find "$source_dir" -maxdepth 1 -type d -name 'libpng1.6-*' | head -n 1)
  [[ -n $found ]] || { log "libpng source not found after apt-get source"; exit 1; }
  echo "$found"
}

build_zlib_check() {
  local triple=$1-w64-mingw32
  if [[ ! -f /usr/$triple/lib/libz.a || ! -f /usr/$triple/include/zlib.h ]]; then
    log "zlib for $triple missing: apt-get install libz-mingw-w64-dev"
    exit 1
  fi
}

build_libpng() {
  local arch=$1 prefix=$2 triple=$1-w64-mingw32
  [[ -f $prefix/.libpng.stamp ]] && return
  local src work
  src=$(fetch_libpng_source)
  work=$deps_root/work/libpng-$arch
  rm -rf "$work"
  log "libpng for $arch from $(basename "$src")"
  cmake -S "$src" -B "$work" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$(toolchain_of "$arch")" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DPNG_FRAMEWORK=OFF -DSKIP_INSTALL_EXECUTABLES=ON -DSKIP_INSTALL_PROGRAMS=ON \
    -DSKIP_INSTALL_FILES=ON \
    -DZLIB_INCLUDE_DIR="/usr/$triple/include" -DZLIB_LIBRARY="/usr/$triple/lib/libz.a" >&2
  cmake --build "$work" -j "$jobs" >&2
  cmake --install "$work" >&2
  rm -rf "$work"
  touch "$prefix/.libpng.stamp"
}

build_googletest() {
  local arch=$1 prefix=$2
  [[ -f $prefix/.googletest.stamp ]] && return
  local src=/usr/src/googletest work=$deps_root/work/googletest-$arch
  if [[ ! -f $src/CMakeLists.txt ]]; then
    log "GoogleTest sources missing: apt-get install googletest"
    exit 1
  fi
  rm -rf "$work"
  log "GoogleTest for $arch from Debian's googletest package"
  cmake -S "$src" -B "$work" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$(toolchain_of "$arch")" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF >&2
  cmake --build "$work" -j "$jobs" >&2
  cmake --install "$work" >&2
  rm -rf "$work"
  touch "$prefix/.googletest.stamp"
}

build_arch() {
  local arch=$1 prefix=$deps_root/$1
  toolchain_of "$arch" >/dev/null
  mkdir -p "$prefix"
  # The toolchain files call this script when the stamps are missing; tell them not to
  # recurse while the libraries themselves are configured.
  export TESVAR_WINDEPS_BUILDING=1
  build_zlib_check "$arch"
  build_libpng "$arch" "$prefix"
  build_googletest "$arch" "$prefix"
  log "$arch ready in $prefix"
}

case ${1:-all} in
  all) build_arch x86_64; build_arch i686 ;;
  *) build_arch "$1" ;;
esac
