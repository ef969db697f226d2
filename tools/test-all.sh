#!/usr/bin/env bash
# Every test: installs what is needed, builds the Linux plug-in and runs the unit and
# integration tests, then the checks that need other builds or hosts when they exist.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
bash tools/install-deps.sh
cmake --preset linux
cmake --build --preset linux
ctest --preset linux --output-on-failure -j2
for check in .ci/checks/*.sh; do
  [ -e "$check" ] || continue
  echo "== $check"
  bash "$check"
done
echo "all tests done in $(( $(date +%s) - start )) s"
