#!/usr/bin/env bash
# Draws the editor's bitmaps into resources/img/ with tesvar-artwork (tools/artwork/).
# Usage: tools/make-artwork.sh [--preview]
#   --preview  also writes review pictures of both views and a sheet of every strip to
#              build/artwork/preview/ (main.png, main-faders.png, alt.png, sheet.png)
# Needs cairo (libcairo2-dev) and the fonts the artwork is set in, both from Debian:
#   fonts-liberation   Liberation Sans, Liberation Sans Narrow (version 1 of the fonts: the
#                      Narrow faces are not in fonts-liberation2)
# The output depends on the fonts and on cairo's rasteriser; the checked-in files were made
# on Debian 12. Run from the repository's top folder.
set -euo pipefail

preview=0
for arg in "$@"; do
  case "$arg" in
    --preview) preview=1 ;;
    *) echo "usage: $0 [--preview]" >&2; exit 2 ;;
  esac
done

missing=0
pkg-config --exists cairo || { echo "cairo not found: apt-get install libcairo2-dev" >&2; missing=1; }
for face in "Liberation Sans" "Liberation Sans Narrow"; do
  if ! fc-list : family | tr ',' '\n' | grep -qx "$face"; then
    echo "font '$face' not found: apt-get install fonts-liberation" >&2
    missing=1
  fi
done
[ "$missing" = 0 ] || exit 1

build=build/artwork
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESVAR_BUILD_ARTWORK=ON \
      -DTESVAR_BUILD_TESTS=OFF -DTESVAR_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target tesvar-artwork -j1

mkdir -p resources/img
if [ "$preview" = 1 ]; then
  mkdir -p "$build/preview"
  "$build/tesvar-artwork" resources/img --preview "$build/preview"
  echo "previews in $build/preview"
else
  "$build/tesvar-artwork" resources/img
fi
ls -l resources/img
