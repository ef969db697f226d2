#!/usr/bin/env bash
# What the Windows builds need: cross compilers, Wine, the deb-src entry (see .ci/windows.sh).
set -euo pipefail
exec bash "$(dirname "$0")/../tools/install-deps.sh" --windows
