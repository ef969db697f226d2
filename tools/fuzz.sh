#!/usr/bin/env bash
# Builds the fuzz targets (preset `fuzz`) and runs each for SECONDS, JOBS at a time, then
# prints per target the executions per second and the edges reached.
# Usage: tools/fuzz.sh SECONDS [TARGET...]     (targets: see fuzz/CMakeLists.txt)
# Environment: FUZZ_JOBS (targets run side by side, default 2), FUZZ_WORK (where the
# growing corpora, logs and crash files go, default build/fuzz/work), FUZZ_NO_BUILD=1,
# FUZZ_BIN (a folder with copies of the targets, so that a rebuild does not touch a run).
# New inputs that reach new code stay in FUZZ_WORK/<target>/corpus, never in the seeds;
# a crash, leak or failed check is written to FUZZ_WORK/<target>/ and fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-}
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
  echo "usage: tools/fuzz.sh SECONDS [TARGET...]" >&2
  exit 2
fi
shift
jobs=${FUZZ_JOBS:-2}
work=$(realpath -m "${FUZZ_WORK:-build/fuzz/work}")
bin=$(realpath -m "${FUZZ_BIN:-build/asan/fuzzers}")
seeds=$PWD/fuzz/corpus

if [ "${FUZZ_NO_BUILD:-0}" != 1 ]; then
  cmake --preset asan > /dev/null
  cmake --build --preset fuzz
fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$bin"/fuzz_*; do targets+=("${exe##*/fuzz_}"); done
fi

# One target: the seeds are read, new inputs go to the work corpus; the last status line
# gives the figures.
run_one() {
  local target=$1 dir="$work/$1"
  mkdir -p "$dir/corpus"
  local log="$dir/fuzz.log"
  local status=0
  (cd "$dir" && exec "$bin/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
      -timeout=30 -rss_limit_mb=4096 -artifact_prefix="$dir/" corpus "$seeds/$target") \
      > "$log" 2>&1 || status=$?
  local last execs edges
  last=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
  execs=$(grep -oE 'stat::average_exec_per_sec: *[0-9]+' "$log" | grep -oE '[0-9]+$' || echo "?")
  edges=$(grep -oE 'cov: [0-9]+' <<< "$last" | grep -oE '[0-9]+' || echo "?")
  if [ "$status" -eq 0 ]; then
    printf '%-14s %8s exec/s %7s edges   ok\n' "$target" "$execs" "$edges"
  else
    printf '%-14s %8s exec/s %7s edges   FAILED (see %s)\n' "$target" "$execs" "$edges" "$log"
    grep -E 'ERROR:|fuzz check failed|runtime error|SUMMARY' "$log" | head -n 5 | sed 's/^/    /'
  fi
  return "$status"
}

echo "fuzzing ${targets[*]} for $seconds s each, $jobs at a time"
failed=0
running=0
for target in "${targets[@]}"; do
  if [ ! -x "$bin/fuzz_$target" ]; then
    echo "no fuzz target $target" >&2
    failed=1
    continue
  fi
  run_one "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
exit "$failed"
