#!/usr/bin/env bash
# The main job: installs what is needed, builds the Linux plug-in and renders a demo
# through it into demo.wav.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset linux
cmake --build --preset linux
if [ -x build/linux/tesvar-render ]; then
  ./build/linux/tesvar-render build/linux/Tesvar64.so --out demo.wav "$@"
  echo "wrote demo.wav"
else
  ./build/linux/tesvar-host build/linux/Tesvar64.so
fi
