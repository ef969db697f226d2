#!/bin/sh
# Runs a command on a fresh virtual X display (24-bit). Exits 77, which the test runner
# counts as skipped, only when Xvfb cannot start, and says so. TESVAR_XVFB_SCREEN sets the
# screen (default 1280x1024x24; the editor at 200 % needs a larger one).
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "SKIPPED: xvfb-run is not installed, no X display for the window tests"
  exit 77
fi
# -noreset: the X resources a test sets (xrdb) stay while no client is connected.
screen="-screen 0 ${TESVAR_XVFB_SCREEN:-1280x1024x24} -nolisten tcp -noreset"
if ! xvfb-run -a -s "$screen" true >/dev/null 2>&1; then
  echo "SKIPPED: Xvfb cannot start here, no X display for the window tests"
  exit 77
fi
exec xvfb-run -a -s "$screen" "$@"
