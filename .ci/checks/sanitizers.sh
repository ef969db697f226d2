#!/usr/bin/env bash
# The whole test suite again under AddressSanitizer with UndefinedBehaviorSanitizer (the
# clang build that also holds the fuzz targets), and under ThreadSanitizer (the host-level tests run the audio and user-interface threads on
# one instance).
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
source .ci/steps.sh

build() {
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1"
}
status=0
for preset in asan tsan; do
  if step "build $preset" build "$preset"; then
    step "test $preset" env ASAN_OPTIONS=detect_leaks=1 tools/ctest-suites.sh "build/$preset" --output-on-failure -j3 ||
      status=1
  else
    status=1
  fi
done
exit $status
