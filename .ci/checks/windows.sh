#!/usr/bin/env bash
# The Windows builds and their tests under Wine (see .ci/windows.sh).
set -euo pipefail
exec bash "$(dirname "$0")/../windows.sh"
