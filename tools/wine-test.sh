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
#       (TESVAR_WINE_TEMPLATES: see new_prefix.)
#   tools/wine-test.sh --with-prefix ARCH COMMAND [ARGS...]
#       The same for any command (which may call this script for each program).
#   tools/wine-test.sh --shell ARCH
#       Makes a temporary prefix and prints its path (for debugging; remove it yourself).
#   tools/wine-test.sh --check ARCH
#       Succeeds, printing nothing, when Wine can run ARCH programs on this machine; else
#       prints one line saying why not and fails. 32-bit Wine needs a kernel that runs
#       32-bit Linux programs, which many virtual machines and containers lack.
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

# Why the loader of ARCH cannot run here (printed), or nothing.
check_loader() {
  local arch=$1 loader out
  loader=$(loader_of "$arch")
  if [[ $arch == i686 || $arch == win32 ]]; then
    if [[ ! -e /lib/ld-linux.so.2 ]]; then
      echo "no 32-bit C library (/lib/ld-linux.so.2 missing; Debian's wine32:i386 brings it)"
      return 1
    fi
    if ! out=$(/lib/ld-linux.so.2 --version 2>&1); then
      echo "this machine cannot run 32-bit programs (/lib/ld-linux.so.2 --version: ${out##*: })"
      return 1
    fi
  fi
  if [[ ! -x $loader ]]; then
    echo "$loader is not installed"
    return 1
  fi
  if ! out=$("$loader" --version 2>&1) || [[ $out != wine-* ]]; then
    echo "$loader does not start ($loader --version: ${out##*: })"
    return 1
  fi
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

# Creates and initialises a prefix in FOLDER; 32-bit runs get a pure 32-bit prefix.
boot_prefix() {
  local arch=$1 prefix=$2 winearch=win64
  [[ $arch == i686 || $arch == win32 ]] && winearch=win32
  # A Wine that cannot start here (32-bit Wine under an emulator, say) hangs rather than fails.
  if ! WINEARCH=$winearch WINEPREFIX=$prefix timeout 600 "$(loader_of "$arch")" wineboot -i >/dev/null 2>&1; then
    echo "wine-test: $(loader_of "$arch") wineboot failed or did not finish in 600 s" >&2
    WINEPREFIX=$prefix "$wine_dir/wineserver" -k >/dev/null 2>&1 || true
    return 1
  fi
  WINEPREFIX=$prefix "$wine_dir/wineserver" -w
}

# Makes a new prefix and prints its path. Booting one costs about a minute of processor
# time; with TESVAR_WINE_TEMPLATES set (a folder), the first prefix of each architecture is
# booted there once and every later one is a copy of it.
new_prefix() {
  local arch=$1 prefix
  prefix=$(mktemp -d "${TMPDIR:-/tmp}/tesvar-wine-$arch.XXXXXX")
  if [[ -n ${TESVAR_WINE_TEMPLATES:-} ]]; then
    local template=$TESVAR_WINE_TEMPLATES/$arch lock
    # Tests that start side by side wait for the one that boots the template.
    exec {lock}>"$TESVAR_WINE_TEMPLATES/$arch.lock"
    flock "$lock"
    if [[ ! -f $template/system.reg ]]; then
      rm -rf "$template"
      mkdir -p "$template"
      boot_prefix "$arch" "$template" || { exec {lock}>&-; rm -rf "$prefix"; return 1; }
    fi
    exec {lock}>&-
    cp -a "$template/." "$prefix/"
  else
    boot_prefix "$arch" "$prefix" || { rm -rf "$prefix"; return 1; }
  fi
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
  awk 'NR > 1 && !/^#/ { exit } NR > 1' "$0" >&2
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
  --check)
    check_loader "$2"
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
