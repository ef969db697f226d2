#!/usr/bin/env bash
# Every test: installs what is needed, builds the Linux plug-in and runs the unit and
# integration tests, then each check in .ci/checks (sanitizers, Windows builds under Wine,
# the real host, ...). Only what this machine cannot do is skipped, each with one line
# saying why: running 32-bit Windows programs under Wine on a kernel that cannot run
# 32-bit programs, and the real-host check without its script or without Ardour. Any
# failure makes the exit status non-zero; the other steps still run where they can. Ends
# with the time each step took.
#
# Usage: tools/test-all.sh [--quick]
#   --quick   a developer's loop: the Linux build and its tests only (unit, plug-in and editor
#             tests), without the sanitizer, fuzz, Windows and real-host checks.
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
  install=(--all)
  [[ -n $(bash .ci/checks/realhost.sh --find) ]] && install+=(--realhost)
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

status=0
if step "configure linux" cmake --preset linux && step "build linux" cmake --build --preset linux; then
  step "test linux" tools/ctest-suites.sh build/linux --output-on-failure -j3 || status=1
  for check in .ci/checks/*.sh; do
    [[ $quick == 1 ]] && break
    [[ -e $check ]] || continue
    step "check $(basename "$check" .sh)" bash "$check" || status=1
  done
else
  status=1
fi
steps_summary
exit $status
