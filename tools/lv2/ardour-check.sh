#!/usr/bin/env bash
# The LV2 bundle in a real host: Ardour 7's headless session tool (ardour7-lua, dummy back
# end, no display) builds a session with the plug-in as a MIDI track's instrument, loads a
# factory preset, changes a parameter, plays a region of notes into a render, saves; then,
# each in a fresh process, reloads it (every parameter, the notes and the same sound back,
# and the same saved state after saving again) and reloads a copy without the plug-in's port
# values (the plug-in's own state alone gives the same sound back).
#
# Usage: tools/lv2/ardour-check.sh BUNDLE [OUTDIR]   (OUTDIR keeps logs, renders, session)
# Exit status: 0 pass, 1 a check failed, 2 Ardour or a tool is missing. ardour7-lua 7.3 now
# and then dies by itself around an export (heap corruption inside Ardour, also with plug-ins
# that do nothing); a step that crashes is tried again.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bundle=$(cd "${1:?usage: ardour-check.sh BUNDLE [OUTDIR]}" && pwd)
uri=https://www.quellmarkmusic.com/lv2/tesvar
for tool in ardour7-lua sox; do
  command -v "$tool" >/dev/null || { echo "ardour-check: $tool is not installed"; exit 2; }
done
out=${2:-$(mktemp -d "${TMPDIR:-/tmp}/tesvar-ardour.XXXXXX")}
mkdir -p "$out" && out=$(cd "$out" && pwd)
echo "ardour-check: logs, renders and the session in $out"

# A home of its own: Ardour writes its settings there, and finds the bundle by LV2_PATH.
home=$out/home
mkdir -p "$home/config/ardour7/export" "$home/cache" "$home/data" "$home/runtime" "$home/lv2"
chmod 700 "$home/runtime"
ln -sfn "$bundle" "$home/lv2/tesvar.lv2"
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache XDG_DATA_HOME=$home/data \
       XDG_RUNTIME_DIR=$home/runtime LV2_PATH=$home/lv2 LC_ALL=C
unset DISPLAY WAYLAND_DISPLAY

# Exports as 32-bit float WAV at the session rate, with nothing added or taken away.
format=0b6cbd8e-6f4a-4bd0-9a1c-2a8f6d1c7e41
preset=5e2d6b0a-93c4-4f3e-8d7a-6c1b2a9e0f17
cat >"$home/config/ardour7/export/tesvar-float.format" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<ExportFormatSpecification name="tesvar float" id="$format" with-cue="false" with-toc="false" with-mp4chaps="false" command="" analyse="false" soundcloud-upload="false">
  <Encoding id="F_WAV" type="T_Sndfile" extension="wav" name="WAV" has-sample-format="true" channel-limit="256"/>
  <SampleRate rate="SR_Session"/>
  <SRCQuality quality="SRC_SincBest"/>
  <EncodingOptions>
    <Option name="sample-format" value="SF_Float"/>
    <Option name="dithering" value="D_None"/>
    <Option name="tag-metadata" value="false"/>
    <Option name="tag-support" value="false"/>
    <Option name="broadcast-info" value="false"/>
  </EncodingOptions>
  <Processing>
    <Normalize enabled="false" loudness="no" dbfs="0" lufs="-23" dbtp="-1"/>
    <Silence>
      <Start><Trim enabled="false"/><Add enabled="false"><Duration format="Timecode" hours="0" minutes="0" seconds="0" frames="0"/></Add></Start>
      <End><Trim enabled="false"/><Add enabled="false"><Duration format="Timecode" hours="0" minutes="0" seconds="0" frames="0"/></Add></End>
    </Silence>
  </Processing>
</ExportFormatSpecification>
XML
cat >"$home/config/ardour7/export/tesvar-float.preset" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<ExportPreset id="$preset" name="tesvar float">
  <ExportFormat id="$format"/>
  <ExportFilename>
    <Folder relative="1" path="export"/>
    <Field name="label" enabled="0"/>
    <Field name="session" enabled="0"/>
    <Field name="snapshot" enabled="0"/>
    <Field name="timespan" enabled="1"/>
    <Field name="revision" enabled="0"/>
    <Field name="time" enabled="0" value="T_None"/>
    <Field name="date" enabled="0" value="D_None"/>
  </ExportFilename>
</ExportPreset>
XML

# step MODE: one ardour7-lua process; a crash (not a failed check, not a timeout) is tried
# again, up to ARDOUR_CHECK_TRIES times (10: Ardour 7.3 crashes in about half of its runs
# here, with its own synth as the instrument as well).
step() {
  local mode=$1 attempt rc tries=${ARDOUR_CHECK_TRIES:-10}
  for ((attempt = 1; ; attempt++)); do
    timeout -k 10 240 ardour7-lua "$here/ardour-session.lua" "$mode" "$uri" "$out" "$preset" \
      >"$out/$mode.log" 2>&1 </dev/null
    rc=$?
    grep -q 'CHECK-FAIL' "$out/$mode.log" && break
    [[ $rc -eq 0 || $rc -eq 124 || $rc -eq 137 || $attempt -ge $tries ]] && break
    echo "ardour-check: ardour7-lua ended with status $rc in $mode (attempt $attempt: $(grep -m1 -o -E \
      'munmap_chunk[^ ]*|double free[^)]*|free\(\): [a-z ]*|malloc[^:]*: [a-z_]*|Port already exists' "$out/$mode.log")); again"
    cp "$out/$mode.log" "$out/$mode.try$attempt.log"
    [[ $mode == build ]] && rm -rf "$out/session"
  done
  grep -E '^RESULT|CHECK-FAIL|^  ' "$out/$mode.log" | sed 's/^/   | /'
  [[ $rc -eq 0 ]] || { echo "ardour-check: FAIL in $mode (status $rc, see $out/$mode.log)"; exit 1; }
}

# A render's level in three bands (below 400 Hz, around 1 kHz, above 2.5 kHz): the same sound
# gives the same levels, whatever phase the plug-in's free-running oscillators had when the
# export started (which no session saves).
bands() {
  local band
  for band in "lowpass 400" "bandpass 1000 1.5q" "highpass 2500"; do
    sox "$1" -n $band stat 2>&1 | awk '/RMS +amplitude/ { printf "%s ", $3 }'
  done
}
# Whether two band lists agree within 2 % (0.17 dB) in every band.
same_bands() { awk -v a="$1" -v b="$2" 'BEGIN { n = split(a, x); split(b, y); if (n != 3) exit 1
  for (i = 1; i <= n; i++) if (x[i] <= 0 || y[i] / x[i] < 0.98 || y[i] / x[i] > 1.02) exit 1 }'; }
peak() { sox "$1" -n stat 2>&1 | awk '/Maximum amplitude/ { print $3 }'; }
# The bank in a state folder of the session, as hex.
bank_hex() {
  perl -0777 -ne 'print $1 if /#bank> """(.*?)"""/s' "$1/state.ttl" | tr -d ' \t\n' | base64 -d 2>/dev/null |
    od -An -tx1 -v | tr -d ' \n'
}

step build
[[ -f $out/build.wav ]] || { echo "ardour-check: FAIL: no render"; exit 1; }
built_peak=$(peak "$out/build.wav")
echo "ardour-check: render peak $built_peak"
awk -v p="$built_peak" 'BEGIN { exit !(p > 0.001) }' || { echo "ardour-check: FAIL: the render is silent"; exit 1; }
sox "$out/build.wav" -n stat 2>&1 | grep -qi nan && { echo "ardour-check: FAIL: NaN in the render"; exit 1; }

# The changed value (31.5, the double 0x403f800000000000) is in the plug-in's saved bank.
state_dir=$(sed -n 's/.*<lv2 [^>]*state-dir="\([^"]*\)".*/\1/p' "$out/session/check.ardour" | head -n 1)
plugin_dir=$(dirname "$(find "$out/session/plugins" -type d -name "$state_dir" | head -n 1)")
saved_bank=$(bank_hex "$plugin_dir/$state_dir")
[[ $saved_bank == *0000000000803f40* ]] || { echo "ardour-check: FAIL: the changed parameter is not in the saved state"; exit 1; }
built=$(bands "$out/build.wav")

step reload
reloaded=$(bands "$out/reload.wav")
resaved_dir=$(sed -n 's/.*<lv2 [^>]*state-dir="\([^"]*\)".*/\1/p' "$out/session/resaved.ardour" | head -n 1)
# (Not the same bytes: the plug-in rewrites the unused name field of every stored program on
# restoring a bank, as the VST2 library does.)
[[ -n $resaved_dir && $(bank_hex "$plugin_dir/$resaved_dir") == *0000000000803f40* ]] ||
  { echo "ardour-check: FAIL: the state saved again after the reload lost the changed parameter"; exit 1; }

# The copy without the plug-in's port values: Ardour leaves its controls at the defaults, and
# only the plug-in's state can bring back the preset and the changed parameter.
sed -E "/<Processor [^>]*unique-id=\"${uri//\//\\/}\"/,/<\/Processor>/ { /<Port symbol=/d }" \
  "$out/session/check.ardour" >"$out/session/stateonly.ardour"
grep -q '<Port symbol=' "$out/session/stateonly.ardour" && { echo "ardour-check: FAIL: ports left in the copy"; exit 1; }
step state-only
stateonly=$(bands "$out/stateonly.wav")

echo "ardour-check: band levels: built $built, reloaded $reloaded, from the state alone $stateonly"
status=0
same_bands "$built" "$reloaded" || { echo "ardour-check: FAIL: the sound after the reload differs"; status=1; }
same_bands "$built" "$stateonly" || { echo "ardour-check: FAIL: the plug-in's state alone does not give the sound back"; status=1; }
[[ $status -eq 0 ]] && echo "ardour-check: PASS"
exit $status
