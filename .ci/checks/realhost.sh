#!/usr/bin/env bash
# The Linux plug-in in a real host: Ardour 7 scans it, plays a MIDI region through it in a
# headless session, exports the audio and checks that the state survives a save and reload.
set -euo pipefail
cd "$(dirname "$0")/../.."
check=../shared/realhost/ardour-check.sh
if [ ! -f "$check" ]; then
  echo "realhost: $check not found; skipped"
  exit 0
fi
bash tools/install-deps.sh --realhost
out=$(mktemp -d)
rmdir "$out"
bash "$check" build/linux/Tesvar64.so "$out"
