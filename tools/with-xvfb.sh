#!/bin/sh
# Runs a command on a fresh virtual X display (24-bit). Exits 77, which the test runner
# counts as skipped, only when Xvfb cannot start, and says so.
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "SKIPPED: xvfb-run is not installed, no X display for the window tests"
  exit 77
fi
screen="-screen 0 1280x1024x24 -nolisten tcp"
if ! xvfb-run -a -s "$screen" true >/dev/null 2>&1; then
  echo "SKIPPED: Xvfb cannot start here, no X display for the window tests"
  exit 77
fi
exec xvfb-run -a -s "$screen" "$@"
