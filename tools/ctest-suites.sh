#!/usr/bin/env bash
# Runs ctest on a build folder and checks what ran: prints the number of tests each suite
# (test folder, the tests' label) ran, and fails when a suite that this build lists
# (BUILD/tesvar-suites.txt, written by tests/CMakeLists.txt) ran none. With
# TESVAR_DEPS_INSTALLED set (the test command, which installs everything the tests need) a
# skipped test fails the run too, naming it. ctest's own failure fails it as well.
#
# Usage: tools/ctest-suites.sh BUILD_DIR [CTEST_ARGS...]
#   TESVAR_CTEST: the ctest command to run (default: ctest), for example a wrapper that
#   runs it under Wine (tools/wine-test.sh).
set -uo pipefail
build=${1:?usage: tools/ctest-suites.sh BUILD_DIR [CTEST_ARGS...]}
shift
suites_file=$build/tesvar-suites.txt
if [[ ! -f $suites_file ]]; then
  echo "ctest-suites: $suites_file is missing: configure $build with the tests on" >&2
  exit 2
fi
log=$(mktemp "${TMPDIR:-/tmp}/tesvar-ctest.XXXXXX")
trap 'rm -f "$log"' EXIT

status=0
${TESVAR_CTEST:-ctest} --test-dir "$build" "$@" 2>&1 | tee "$log"
[[ ${PIPESTATUS[0]} -eq 0 ]] || status=1

# "Label Time Summary:" lists each label that ran, with "(N tests)".
declare -A ran=()
while read -r label count; do
  ran[$label]=$count
done < <(awk '/^Label Time Summary:/ { on = 1; next }
              on && /^[[:space:]]*$/ { on = 0 }
              on && /=/ { n = $0; sub(/.*\(/, "", n); sub(/ tests?\).*/, "", n); print $1, n }' "$log")
skipped=$(awk '/did not run:/ { on = 1; next } on && /\(Skipped\)/ { print } on && /^[[:space:]]*$/ { on = 0 }' "$log")

echo "== tests per suite in $build"
read -r -a expected < "$suites_file"
for suite in "${expected[@]}"; do
  count=${ran[$suite]:-0}
  if [[ $count -eq 0 ]]; then
    printf '  %-10s none ran: FAILED\n' "$suite"
    status=1
  else
    printf '  %-10s %s\n' "$suite" "$count"
  fi
done
if [[ -n $skipped ]]; then
  echo "== skipped tests:"
  printf '%s\n' "$skipped"
  if [[ -n ${TESVAR_DEPS_INSTALLED:-} ]]; then
    echo "== everything the tests need is installed, so a skip is a failure"
    status=1
  fi
fi
exit $status
