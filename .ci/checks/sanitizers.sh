#!/usr/bin/env bash
# The whole test suite again under AddressSanitizer with UndefinedBehaviorSanitizer, and
# under ThreadSanitizer (the host-level tests run the audio and user-interface threads on
# one instance).
set -euo pipefail
cd "$(dirname "$0")/../.."
for preset in asan tsan; do
  echo "== sanitizers: $preset"
  cmake --preset "$preset" > /dev/null
  cmake --build --preset "$preset"
  ASAN_OPTIONS=detect_leaks=1 ctest --preset "$preset" -j2
done
