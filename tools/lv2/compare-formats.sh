#!/usr/bin/env bash
# The same sound from both formats: the renderer plays the same MIDI through the VST2
# library and through the LV2 bundle (with lilv), for a factory program and for the first
# program with parameters changed, and every sample must agree within 1e-6.
#
# Usage: tools/lv2/compare-formats.sh BUILD [MIDI_FILE]
set -uo pipefail
build=$(cd "${1:?usage: compare-formats.sh BUILD [MIDI_FILE]}" && pwd)
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
midi=${2:-$repo/fuzz/corpus/midi_file/phrase_format1.mid}
command -v sox >/dev/null || { echo "compare-formats: sox is not installed"; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/tesvar-formats.XXXXXX")
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
mkdir -p "$HOME"

status=0
# name | options (after the plug-in); the gain keeps the renders below full scale, where sox
# would cut them off
cases=("factory program 35|--midi $midi --program 35 --gain -12"
       "demo phrase, edited program, 48 kHz in blocks of 100|--program 12 --param 16=17.5 --param 34=2 --sample-rate 48000 --block-size 100")
for c in "${cases[@]}"; do
  name=${c%%|*}
  read -r -a options <<<"${c#*|}"
  "$build/tesvar-render" "$build/Tesvar64.so" "${options[@]}" --out "$work/vst2.wav" >/dev/null &&
    "$build/tesvar-render" --lv2 "$build/tesvar.lv2" "${options[@]}" --out "$work/lv2.wav" >/dev/null ||
    { echo "compare-formats: FAIL: $name: a render failed"; status=1; continue; }
  # The largest difference of any sample, and the render's own peak (a silent pair proves nothing).
  difference=$(sox -m -v 1 "$work/vst2.wav" -v -1 "$work/lv2.wav" -n stat 2>&1 | awk '/Maximum amplitude/ { print $3 }')
  peak=$(sox "$work/vst2.wav" -n stat 2>&1 | awk '/Maximum amplitude/ { print $3 }')
  echo "compare-formats: $name: largest difference $difference, peak $peak"
  awk -v d="$difference" -v p="$peak" 'BEGIN { exit !(d <= 1e-6 && p > 0.01) }' || { echo "compare-formats: FAIL: $name"; status=1; }
done
[[ $status -eq 0 ]] && echo "compare-formats: PASS"
exit $status
