#!/usr/bin/env bash
# Runs cross-built Windows programs under Wine, headless, each run in its own temporary
# Wine prefix.
#
#   tools/wine-test.sh ARCH PROGRAM.exe [ARGS...]
#       Runs one program (ARCH x86_64 -> wine64, i686 -> 32-bit wine). Uses $WINEPREFIX
#       when set (so that a whole test run shares one prefix), else makes a temporary
#       prefix for this run alone and removes it afterwards. This is the
#       CMAKE_CROSSCOMPILING_EMULATOR of the mingw-w64 toolchain files.
#   tools/wine-test.sh --ctest ARCH BUILD_DIR [CTEST_ARGS...]
#       Makes one temporary prefix, runs ctest on BUILD_DIR inside it, removes it.
#   tools/wine-test.sh --with-prefix ARCH COMMAND [ARGS...]
#       The same for any command (which may call this script for each program).
#   tools/wine-test.sh --shell ARCH
#       Makes a temporary prefix and prints its path (for debugging; remove it yourself).
#
# The exit status is the program's (or ctest's).
set -euo pipefail

wine_dir=/usr/lib/wine

loader_of() {
  case $1 in
    x86_64|win64) echo "$wine_dir/wine64" ;;
    i686|win32) echo "$wine_dir/wine" ;;
    *) echo "wine-test: unknown architecture '$1' (x86_64 or i686)" >&2; exit 2 ;;
  esac
}

# Quiet, headless and without the Mono/Gecko install prompts or desktop menu entries. Window
# tests keep the X display they run on (TESVAR_WINE_DISPLAY=1, under tools/with-xvfb.sh).
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
with_display=no
if [[ ${TESVAR_WINE_DISPLAY:-} == 1 && -n ${DISPLAY:-} ]]; then
  with_display=yes
else
  unset DISPLAY
fi
unset WAYLAND_DISPLAY

# Creates and initialises a prefix; 32-bit runs get a pure 32-bit prefix.
new_prefix() {
  local arch=$1 prefix
  prefix=$(mktemp -d "${TMPDIR:-/tmp}/tesvar-wine-$arch.XXXXXX")
  if [[ $arch == i686 || $arch == win32 ]]; then
    WINEARCH=win32 WINEPREFIX=$prefix "$(loader_of "$arch")" wineboot -i >/dev/null 2>&1
  else
    WINEARCH=win64 WINEPREFIX=$prefix "$(loader_of "$arch")" wineboot -i >/dev/null 2>&1
  fi
  WINEPREFIX=$prefix "$wine_dir/wineserver" -w
  echo "$prefix"
}

# Stops the prefix's own wine server (started by this script) and deletes the prefix.
drop_prefix() {
  local prefix=$1
  [[ -n $prefix && -d $prefix ]] || return 0
  WINEPREFIX=$prefix "$wine_dir/wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
}

if [[ $# -lt 2 ]]; then
  sed -n '2,19p' "$0" >&2
  exit 2
fi

case $1 in
  --ctest)
    arch=$2 build_dir=$3
    shift 3
    prefix=$(new_prefix "$arch")
    trap 'drop_prefix "$prefix"' EXIT
    # Tests may reset the per-user folders of a throw-away profile (and only of one).
    export WINEPREFIX=$prefix TESVAR_TEMPORARY_PROFILE=1
    status=0
    ctest --test-dir "$build_dir" "$@" || status=$?
    exit $status
    ;;
  --with-prefix)
    arch=$2
    shift 2
    prefix=$(new_prefix "$arch")
    trap 'drop_prefix "$prefix"' EXIT
    export WINEPREFIX=$prefix TESVAR_TEMPORARY_PROFILE=1
    status=0
    "$@" || status=$?
    exit $status
    ;;
  --shell)
    new_prefix "$2"
    ;;
  *)
    arch=$1 program=$2
    shift 2
    loader=$(loader_of "$arch")
    if [[ -n ${WINEPREFIX:-} && $with_display == yes ]]; then
      # A shared prefix's server and desktop belong to one display: wait for the headless
      # ones to end first, and for this display's to end before the display goes.
      "$wine_dir/wineserver" -w
      status=0
      "$loader" "$program" "$@" || status=$?
      "$wine_dir/wineserver" -w
      exit $status
    fi
    if [[ -n ${WINEPREFIX:-} ]]; then
      exec "$loader" "$program" "$@"
    fi
    prefix=$(new_prefix "$arch")
    trap 'drop_prefix "$prefix"' EXIT
    status=0
    WINEPREFIX=$prefix TESVAR_TEMPORARY_PROFILE=1 "$loader" "$program" "$@" || status=$?
    exit $status
    ;;
esac
