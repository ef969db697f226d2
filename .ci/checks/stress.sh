#!/usr/bin/env bash
# The stress test for 30 seconds under ThreadSanitizer: every host thread at once on two
# loaded instances while two more, at other sample rates, are measured for pitch. The
# seed is printed; TESVAR_STRESS_SEED=... replays a run.
set -euo pipefail
cd "$(dirname "$0")/../.."
[[ -n ${TESVAR_DEPS_INSTALLED:-} ]] || bash tools/install-deps.sh
cmake --preset tsan > /dev/null
cmake --build --preset tsan --target tesvar_stress_test
TESVAR_STRESS_SECONDS=${TESVAR_STRESS_SECONDS:-30} TSAN_OPTIONS=${TSAN_OPTIONS:-second_deadlock_stack=1} \
  build/tsan/tests/stress/tesvar_stress_test --gtest_filter='StressTest.*'
