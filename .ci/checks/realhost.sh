#!/usr/bin/env bash
# The Linux plug-in in a real host: Ardour 7 scans it, plays a MIDI region through it in a
# headless session, exports the audio and checks that the state survives a save and reload.
# Skips, with one line saying why, when the check's script (../shared/realhost beside the
# repository) is not there, or when Ardour is not installed and cannot be installed.
#
# Usage: .ci/checks/realhost.sh [--find]
#   --find   prints the check script's path when it is there, else fails (for tools/test-all.sh,
#            which installs Ardour with everything else only when it will be used)
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
check=../shared/realhost/ardour-check.sh
if [[ ${1:-} == --find ]]; then
  [[ -f $check ]] && echo "$check"
  exit
fi
source .ci/steps.sh

if [[ ! -f $check ]]; then
  step_skip "real host (Ardour)" "$check not found"
  exit 0
fi
if [[ -z ${TESVAR_DEPS_INSTALLED:-} ]]; then
  bash tools/install-deps.sh --realhost || exit 1
fi
if ! command -v ardour7-lua >/dev/null || ! command -v bc >/dev/null; then
  step_skip "real host (Ardour)" "Ardour is not installed and could not be installed"
  exit 0
fi
out=$(mktemp -d "${TMPDIR:-/tmp}/tesvar-realhost.XXXXXX")
rmdir "$out"
step "real host (Ardour)" bash "$check" build/linux/Tesvar64.so "$out"
