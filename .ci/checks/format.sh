#!/usr/bin/env bash
# Every C and C++ file in the repository laid out as .clang-format says (clang-format, no
# changes made). To lay a file out: clang-format -i FILE.
set -euo pipefail
cd "$(dirname "$0")/../.."
[[ -n ${TESVAR_DEPS_INSTALLED:-} ]] || bash tools/install-deps.sh --tests
mapfile -t files < <(git ls-files -- '*.c' '*.cpp' '*.h' '*.hpp')
clang-format --dry-run -Werror "${files[@]}"
echo "format: ${#files[@]} files laid out as .clang-format says"
