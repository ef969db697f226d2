#!/usr/bin/env bash
# Makes the README's pictures of the editor's two views with the snapshot tool, in a
# throw-away home so that no personal setting shows, into docs/.
# Usage: tools/make-readme-pictures.sh [BUILD_DIR]   (build/linux by default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/linux}
snapshot=$build/tools/tesvar-snapshot
if [[ ! -x $snapshot ]]; then
  cmake --preset linux >/dev/null
  cmake --build "$build" --target tesvar-snapshot
fi
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p docs
# The main view with program 11 and the mouse over the Volume knob (its readout shows);
# the alternative view with program 23, its browser listing the current bank.
HOME=$home XDG_CONFIG_HOME=$home/config "$snapshot" --view main --program 11 --hover 634,69 \
  --out docs/editor-main-view.png
HOME=$home XDG_CONFIG_HOME=$home/config "$snapshot" --view alt --program 23 --out docs/editor-alt-view.png
echo "make-readme-pictures: docs/editor-main-view.png docs/editor-alt-view.png"
