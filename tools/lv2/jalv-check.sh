#!/usr/bin/env bash
# The LV2 bundle in jalv, on JACK's dummy back end (no sound card): the plug-in loads, notes
# from a JACK MIDI client sound, and a saved state reloads. The states are saved by the
# renderer through lilv with the parameter ports taken out of them, so that only the
# plug-in's own state can bring their volume back: the loud one must sound, the silent one
# must not. With a display (run it under tools/with-xvfb.sh), jalv's GTK version must also
# show the editor as its UI: jalv picks it, and a window of the editor's size appears in its
# window.
#
# Usage: tools/lv2/jalv-check.sh BUILD   (BUILD holds tesvar.lv2 and tesvar-render)
# Starts and stops its own JACK server. Exit status 0 only when every run is as expected.
set -uo pipefail
build=$(cd "${1:?usage: jalv-check.sh BUILD}" && pwd)
uri=https://www.quellmarkmusic.com/lv2/tesvar
for tool in jackd jalv jalv.gtk3 jack_midiseq jack_capture jack_connect jack_lsp sox xwininfo; do
  command -v "$tool" >/dev/null || { echo "jalv-check: $tool is not installed"; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tesvar-jalv.XXXXXX")
server=tesvar-lv2-$$
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/lv2"
ln -s "$build/tesvar.lv2" "$work/lv2/tesvar.lv2"
export LV2_PATH=$work/lv2 JACK_DEFAULT_SERVER=$server JACK_NO_AUDIO_RESERVATION=1
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
mkdir -p "$HOME"

# The states: the first program at full volume, and at none.
for state in loud:1 silent:0; do
  name=${state%%:*} volume=${state#*:}
  "$build/tesvar-render" --lv2 "$build/tesvar.lv2" --param "0=$volume" --save-state "$work/$name" --tail 0 \
    --out "$work/$name.wav" >/dev/null || { echo "jalv-check: the renderer cannot save the $name state"; exit 1; }
  awk '/^\tlv2:port \[/ { skip = 1 } !skip { print } skip && /^\t\] ;$/ { skip = 0 }' "$work/$name/state.ttl" \
    > "$work/$name/stripped" && mv "$work/$name/stripped" "$work/$name/state.ttl"
  if grep -q 'lv2:port' "$work/$name/state.ttl"; then echo "jalv-check: the ports are still in the $name state"; exit 1; fi
done

jackd --no-realtime -n "$server" -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do jack_lsp >/dev/null 2>&1 && break; sleep 0.2; done
jack_lsp >/dev/null 2>&1 || { echo "jalv-check: the JACK server did not start"; cat "$work/jackd.log"; exit 1; }

# play NAME [STATE]: jalv with the state, a note repeated by jack_midiseq, two seconds
# captured; prints the capture's RMS level.
play() {
  local name=$1 state=${2:-} client=tesvar_$1
  local args=(-x -n "$client")
  [[ -n $state ]] && args+=(-l "$state")
  sleep 30 | jalv "${args[@]}" "$uri" >"$work/$name.jalv.log" 2>&1 &
  local jalv=$!
  pids+=($jalv)
  for _ in $(seq 50); do jack_lsp | grep -q "^$client:out_right" && break; sleep 0.2; done
  jack_midiseq "seq_$name" 24000 0 60 20000 >/dev/null 2>&1 &
  local seq=$!
  pids+=($seq)
  sleep 0.5
  jack_connect "seq_$name:out" "$client:events_in" || echo "jalv-check: cannot connect the MIDI client" >&2
  jack_capture -d 2 -dc -b 16 -f wav -p "$client:out_left" -p "$client:out_right" "$work/$name.capture.wav" \
    >"$work/$name.capture.log" 2>&1
  kill "$seq" "$jalv" 2>/dev/null
  sox "$work/$name.capture.wav" -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }'
}

status=0
default=$(play default)
loud=$(play loud "$work/loud")
silent=$(play silent "$work/silent")
echo "jalv-check: RMS level without a state $default, with the loud state $loud, with the silent state $silent"
awk -v d="${default:-0}" 'BEGIN { exit !(d > 0.001) }' || { echo "jalv-check: FAIL: the notes did not sound"; status=1; }
awk -v l="${loud:-0}" -v s="${silent:-1}" 'BEGIN { exit !(l > 0.001 && s < l / 1000) }' ||
  { echo "jalv-check: FAIL: the saved states did not come back (loud $loud, silent $silent)"; status=1; }
if [[ -n ${DISPLAY:-} ]]; then
  sleep 30 | jalv.gtk3 -s -x -n tesvar_ui "$uri" >"$work/ui.jalv.log" 2>&1 &
  jalv=$!
  pids+=($jalv)
  shown=no
  for _ in $(seq 75); do
    xwininfo -root -tree 2>/dev/null | grep -qE ' 1032x588\+' && { shown=yes; break; }
    sleep 0.2
  done
  kill "$jalv" 2>/dev/null
  echo "jalv-check: jalv.gtk3 chose $(sed -n 's/^UI: *//p' "$work/ui.jalv.log"), editor window shown: $shown"
  grep -q "^UI: *$uri#ui" "$work/ui.jalv.log" && [[ $shown == yes ]] ||
    { echo "jalv-check: FAIL: jalv.gtk3 does not show the editor"; status=1; }
else
  echo "jalv-check: no display: the UI in jalv.gtk3 is not checked"
fi
if grep -qi "error" "$work"/*.jalv.log; then
  echo "jalv-check: FAIL: jalv reported errors:"; grep -i "error" "$work"/*.jalv.log; status=1
fi
[[ $status -eq 0 ]] && echo "jalv-check: PASS"
exit $status
