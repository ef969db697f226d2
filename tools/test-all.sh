#!/usr/bin/env bash
# Every test: installs what is needed, checks the code's layout (clang-format), builds the
# Linux plug-in and runs the unit and integration tests, then the checks in .ci/checks: the
# real hosts (the LV2 bundle in its tools, jalv and Ardour; the VST2 plug-in in Ardour), the
# Windows builds under Wine, the sanitizer builds, the fuzz targets and the stress test. Only
# what this machine cannot do is skipped, each with one line saying why: running 32-bit
# Windows programs under Wine on a kernel that cannot run 32-bit programs, and the VST2
# real-host check without its script.
# Any failure makes the exit status non-zero; the other steps still run where they can.
# Ends with the time each step took.
#
# The real-host checks mostly wait (on Ardour, JACK and the windows), so they run beside the
# Windows and sanitizer builds; the rest runs one step after another, each using both cores
# (the Linux tests wait much of the time too, but the standalone program's real-time tests
# need the processor to themselves).
#
# Usage: tools/test-all.sh [--quick]
#   --quick   a developer's loop: the layout check, the Linux build and its tests only (unit, plug-in, LV2,
#             standalone and editor tests), without the real-host, Windows, sanitizer, fuzz
#             and stress checks.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
source .ci/steps.sh

quick=0
case ${1:-} in
  --quick) quick=1 ;;
  "") ;;
  *) echo "usage: tools/test-all.sh [--quick]" >&2; exit 2 ;;
esac

if [[ $quick == 1 ]]; then
  install=(--tests)
else
  install=(--all --realhost)
fi
step "install packages" bash tools/install-deps.sh "${install[@]}" || { steps_summary; exit 1; }
export TESVAR_DEPS_INSTALLED=1

# Checked once here: 32-bit Wine runs only on a kernel that runs 32-bit programs.
if [[ $quick == 0 ]]; then
  if TESVAR_NO_32BIT=$(tools/wine-test.sh --check i686); then
    echo "== 32-bit programs run on this machine: the 32-bit Windows tests run under Wine"
  else
    echo "== 32-bit Windows programs cannot run here: $TESVAR_NO_32BIT"
  fi
  export TESVAR_NO_32BIT
fi

# The real hosts, one after the other.
real_hosts() {
  local status=0
  bash .ci/checks/lv2.sh || status=1
  bash .ci/checks/realhost.sh || status=1
  return $status
}

status=0
# Every check in .ci/checks has its place below; a new one must be given one.
for check in .ci/checks/*.sh; do
  case $(basename "$check" .sh) in
    format | fuzz | lv2 | realhost | sanitizers | stress | windows) ;;
    *) echo "== $check is not run by tools/test-all.sh: give it a place there"; status=1 ;;
  esac
done
step "check format" bash .ci/checks/format.sh || status=1
if step "configure linux" cmake --preset linux && step "build linux" cmake --build --preset linux; then
  step "test linux" tools/ctest-suites.sh build/linux --output-on-failure -j3 || status=1
  if [[ $quick == 0 ]]; then
    step_beside "check real hosts" real_hosts
    step "check windows" bash .ci/checks/windows.sh || status=1
    step "check sanitizers" bash .ci/checks/sanitizers.sh || status=1
    step "check fuzz" bash .ci/checks/fuzz.sh || status=1
    step "check stress" bash .ci/checks/stress.sh || status=1
    steps_wait || status=1
  fi
else
  status=1
fi
steps_summary
exit $status
