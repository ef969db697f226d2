#!/usr/bin/env bash
# Every fuzz target for about a minute, two at a time (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer): the seeds are replayed first, so a fault found before and
# kept as a seed fails at once. Set FUZZ_SECONDS to run longer.
set -euo pipefail
cd "$(dirname "$0")/../.."
[[ -n ${TESVAR_DEPS_INSTALLED:-} ]] || bash tools/install-deps.sh --tests
FUZZ_WORK=$(mktemp -d) FUZZ_JOBS=2 bash tools/fuzz.sh "${FUZZ_SECONDS:-60}"
