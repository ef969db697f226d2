#!/usr/bin/env bash
# The LV2 bundle in the LV2 tools and real hosts, after the Linux build: the bundle by
# lv2_validate, lv2info and lv2bench; the same sound through lilv as through the VST2
# library; jalv on its own JACK dummy server with notes and saved states; Ardour's headless
# session tool (skipped, with one line saying why, when Ardour is not installed and cannot
# be). The LV2 tests of ctest (the bundle through lilv, the UI on Xvfb) run with the other
# tests; run here with --ctest they run on their own.
#
# Usage: .ci/checks/lv2.sh [--ctest]
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
source .ci/steps.sh

if [[ -z ${TESVAR_DEPS_INSTALLED:-} ]]; then
  bash tools/install-deps.sh --tests --realhost || exit 1
fi
build=build/linux
if [[ ! -f $build/tesvar.lv2/manifest.ttl || ! -x $build/tesvar-render ]]; then
  echo "lv2: $build/tesvar.lv2 or $build/tesvar-render is missing: build the linux preset first"
  exit 1
fi

status=0
if [[ ${1:-} == --ctest ]]; then
  # An empty match is a failure: the tests must be there.
  step "lv2: ctest" ctest --preset linux -R '^(Lv2|tesvar_lv2)' --no-tests=error || status=1
fi
step "lv2: bundle (lv2_validate, lv2info, lv2bench)" bash tools/lv2/check-bundle.sh "$build/tesvar.lv2" || status=1
step "lv2: same sound as the VST2 library" bash tools/lv2/compare-formats.sh "$build" || status=1
step "lv2: jalv on JACK" sh tools/with-xvfb.sh bash tools/lv2/jalv-check.sh "$build" || status=1
if command -v ardour7-lua >/dev/null; then
  out=$(mktemp -d "${TMPDIR:-/tmp}/tesvar-lv2-ardour.XXXXXX")
  step "lv2: Ardour" bash tools/lv2/ardour-check.sh "$build/tesvar.lv2" "$out" || status=1
else
  step_skip "lv2: Ardour" "Ardour is not installed and could not be installed"
fi
exit $status
