#!/usr/bin/env bash
# The Windows deliverables: installs the mingw-w64 cross compilers and Wine when missing,
# cross-builds libpng and GoogleTest (zlib is Debian's mingw package), builds
# build/win64/Tesvar64.dll and build/win32/Tesvar.dll with their tests, checks both DLLs'
# exports and imports, runs the tests under wine64 and 32-bit wine (each run in its own
# temporary prefix, headless), and compares renders of both DLLs with the Linux plug-in's.
#
# 32-bit Wine needs a kernel that runs 32-bit Linux programs. On a machine without one,
# Tesvar.dll is still built and checked; its test programs, which could not run, are not
# built, and the Wine runs (tests and sound comparison) are skipped with a line saying why.
# tools/test-all.sh finds that out once (TESVAR_NO_32BIT, the reason, empty when 32-bit
# programs run); run on its own, this script finds it out itself.
#
# Usage: .ci/windows.sh
# Called by tools/test-all.sh through .ci/checks/windows.sh; needs root or sudo to install.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
source .ci/steps.sh

if [[ -z ${TESVAR_DEPS_INSTALLED:-} ]]; then
  step "install mingw-w64 and Wine" bash tools/install-deps.sh --windows || exit 1
fi
if [[ -z ${TESVAR_NO_32BIT+set} ]]; then
  TESVAR_NO_32BIT=$(tools/wine-test.sh --check i686) || true
fi

# Every Wine run below starts from a copy of one booted prefix per architecture, booted
# here once before tests run side by side.
TESVAR_WINE_TEMPLATES=$(mktemp -d "${TMPDIR:-/tmp}/tesvar-wine-templates.XXXXXX")
export TESVAR_WINE_TEMPLATES
boot_template() {
  local prefix
  prefix=$(tools/wine-test.sh --shell "$1") && rm -rf "$prefix"
}

step "cross-build libpng and GoogleTest (tools/build-win-deps.sh)" tools/build-win-deps.sh all ||
  { rm -rf "$TESVAR_WINE_TEMPLATES"; exit 1; }

# build PRESET [TARGET...]
build() {
  local preset=$1
  shift
  cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" ${1:+--target "$@"}
}

status=0
win32_build=build/win32
for target in "win64 x86_64 Tesvar64.dll" "win32 i686 Tesvar.dll"; do
  read -r preset arch dll <<<"$target"
  runs=yes
  [[ $preset == win32 && -n $TESVAR_NO_32BIT ]] && runs=no
  if [[ $runs == yes ]]; then
    step "build $preset" build "$preset" || { status=1; continue; }
  else
    step "build $preset (the DLL: its tests cannot run here)" build "$preset" tesvar_plugin || { status=1; continue; }
  fi
  step "check build/$preset/$dll exports and imports" \
    tools/check-win-dll.sh "build/$preset/$dll" "$arch-w64-mingw32-objdump" || status=1
  if [[ $runs == no ]]; then
    step_skip "test win32 under 32-bit Wine" "$TESVAR_NO_32BIT"
    win32_build=-
  elif ! step "boot a $arch Wine prefix" boot_template "$arch"; then
    status=1
  else
    # Each test program runs in a copy of the booted prefix of its own, so four run at once;
    # they mostly wait on Wine and the windows, so the next build runs beside them.
    step_beside "test $preset under Wine" tools/ctest-suites.sh "build/$preset" --output-on-failure -j4
  fi
done
steps_wait || status=1

# compare WIN64_BUILD WIN32_BUILD: renders of the Linux plug-in against the DLLs' ("-": left out).
compare() {
  if [[ ! -x build/linux/tesvar-render-doubles || ! -f build/linux/Tesvar64.so ]]; then
    cmake --preset linux >/dev/null &&
      cmake --build --preset linux --target tesvar_plugin tesvar-render-doubles || return 1
  fi
  tools/compare-sound.sh build/linux "$@"
}
if [[ $win32_build == - ]]; then
  step "same sound on Linux and win64" compare build/win64 - || status=1
  step_skip "same sound on Linux and win32" "$TESVAR_NO_32BIT"
else
  step "same sound on Linux, win64 and win32" compare build/win64 build/win32 || status=1
fi
rm -rf "$TESVAR_WINE_TEMPLATES"
exit $status
