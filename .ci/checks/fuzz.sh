#!/usr/bin/env bash
# Every fuzz target for 15 seconds, two at a time (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, from the asan build the sanitizer check uses too): the seeds
# are replayed first, so a fault found before and kept as a seed fails at once. Set
# FUZZ_SECONDS to run longer; tools/fuzz.sh runs them for as long as you like.
set -euo pipefail
cd "$(dirname "$0")/../.."
[[ -n ${TESVAR_DEPS_INSTALLED:-} ]] || bash tools/install-deps.sh --tests
FUZZ_WORK=$(mktemp -d) FUZZ_JOBS=2 bash tools/fuzz.sh "${FUZZ_SECONDS:-15}"
