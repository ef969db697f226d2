#!/usr/bin/env bash
# What the Windows builds need: cross compilers, Wine, source entries (see .ci/windows.sh).
set -euo pipefail
exec bash "$(dirname "$0")/windows.sh" --install-only
