#!/usr/bin/env bash
# Same sound everywhere: renders the same MIDI through the Linux plug-in and through both
# Windows plug-ins (under wine64 and 32-bit wine) with the double-precision entry, and
# compares every sample with the Linux render: identical, or within 1e-9 where the C
# libraries' transcendental functions round differently.
#
# Usage: tools/compare-sound.sh LINUX_BUILD WIN64_BUILD WIN32_BUILD [MIDI_FILE]
# Each build folder holds the plug-in and tesvar-render-doubles; a Windows build given as
# "-" is left out (tools/test-all.sh on a machine that cannot run 32-bit programs). Renders
# go to a temporary folder. Exit status 0 only when every Windows build compared matches
# the Linux one.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
self="$repo/tools/compare-sound.sh"

# Two settings: the usual one, and an odd block size at another rate, so that event
# splitting and the control tick meet block edges differently.
scenarios=("44100 512" "48000 100")

# render OUT_STEM PLUGIN MIDI RUNNER... : one render per scenario, OUT_STEM-<n>.f64
render() {
  local stem=$1 plugin=$2 midi=$3
  shift 3
  local i=0 extra=()
  [[ -n $midi ]] && extra=(--midi "$midi")
  for scenario in "${scenarios[@]}"; do
    read -r rate block <<<"$scenario"
    "$@" "$plugin" "$stem-$i.f64" --rate "$rate" --block "$block" "${extra[@]}"
    i=$((i + 1))
  done
}

# Inner call, made inside one temporary Wine prefix per Windows target.
if [[ ${1:-} == --render-windows ]]; then
  shift
  arch=$1 stem=$2 plugin=$3 tool=$4 midi=${5:-}
  render "$stem" "$plugin" "$midi" "$repo/tools/wine-test.sh" "$arch" "$tool"
  exit 0
fi

linux=$1 win64=$2 win32=$3 midi=${4:-}
work=$(mktemp -d "${TMPDIR:-/tmp}/tesvar-sound.XXXXXX")
trap 'rm -rf "$work"' EXIT

render "$work/linux" "$linux/Tesvar64.so" "$midi" "$linux/tesvar-render-doubles"

status=0
for target in "win64 x86_64 Tesvar64.dll $win64" "win32 i686 Tesvar.dll $win32"; do
  read -r name arch dll folder <<<"$target"
  [[ $folder == - ]] && continue
  if [[ ! -f $folder/$dll || ! -f $folder/tesvar-render-doubles.exe ]]; then
    echo "$name: no plug-in or renderer in $folder" >&2
    status=1
    continue
  fi
  "$repo/tools/wine-test.sh" --with-prefix "$arch" \
    "$self" --render-windows "$arch" "$work/$name" "$folder/$dll" "$folder/tesvar-render-doubles.exe" "$midi"
  i=0
  for scenario in "${scenarios[@]}"; do
    read -r rate block <<<"$scenario"
    printf '%s vs Linux, %s Hz, blocks of %s: ' "$name" "$rate" "$block"
    "$linux/tesvar-render-doubles" --compare "$work/linux-$i.f64" "$work/$name-$i.f64" || status=1
    i=$((i + 1))
  done
done
exit $status
