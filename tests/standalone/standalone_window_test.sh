#!/usr/bin/env bash
# tesvar with its window on a virtual display (run through tools/with-xvfb.sh) and a JACK
# server with the dummy back end: the window holds the editor as tesvar-snapshot paints it
# and a status strip; a chord typed on the computer keyboard sounds as the same chord from
# MIDI does; keys typed into the editor's text field stay there and sound nothing; closing
# the window saves the state (the name typed included); SIGTERM with a menu of the editor
# open still saves it and leaves no client; a display that goes away does too.
# Usage: standalone_window_test.sh TESVAR PROBE TESVAR-RENDER PLUGIN TESVAR-SNAPSHOT
set -u
tesvar=$1 probe=$2 render=$3 plugin=$4 snapshot=$5
source "$(dirname "$0")/jack_test_common.sh"
# A chord from the computer keyboard against the same chord from a MIDI file rendered by
# tesvar-render: its keys are pressed one after another and may fall into different blocks
# a few milliseconds apart, so the voices' envelopes and oscillators stand a little apart and
# the spectrum is not compared (standalone_jack_test.sh does that for MIDI). The pitches
# are, and the level within 1 dB (measured: 0.2 dB; a missing note costs 2.1 dB or more).
level_tolerance=1

start_server
check "tesvar starts with its window" start_tesvar window --program 11
window=$(timeout 10 xdotool search --sync --name '^Tesvar - 11 Fat Brass$' | head -1)
check "the window is titled \"Tesvar - 11 Fat Brass\"" test -n "$window"
read -r width height < <(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
check "and holds the editor (1032 x 588) and the strip below it (got $width x $height)" \
  test "$width" -eq 1032 -a "$height" -eq 608
sleep 0.5
read -r ox oy < <(xwininfo -id "$window" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 } END { print x, y }')
import -window root -crop "1032x588+$ox+$oy" +repage "$work/editor.png"
"$snapshot" --program 11 --out "$work/snapshot.png" >/dev/null
differing=$(compare -metric AE -fuzz 2% "$work/editor.png" "$work/snapshot.png" null: 2>&1)
check "the editor shows what tesvar-snapshot paints ($differing pixels differ)" test "${differing%%.*}" -le 20
import -window root -crop "1032x20+$ox+$((oy + 588))" +repage "$work/strip.png"
check "the strip has text on it" test "$(convert "$work/strip.png" -format '%[fx:standard_deviation > 0.02]' info:)" = 1

# ---- The computer keyboard: = raises the octave, Z C B is then C4 E4 G4 ---------------------------
record 2.5 "$work/keys.wav"
xdotool key equal
xdotool keydown --delay 0 z c b
sleep 1.5
xdotool keyup --delay 0 z c b
wait_recording
chord_render "$work/chord-render.wav" 60,64,67 11
"$probe" analyse "$work/keys.wav" --notes 60,64,67 --against "$work/chord-render.wav" \
  --level-tolerance "$level_tolerance" >"$work/analysis.txt"
status=$?
sed 's/^/  /' "$work/analysis.txt"
check "keys typed into the window sound the chord's pitches at its level" test "$status" -eq 0

# ---- The editor's text field keeps its keys -----------------------------------------------------
wait_silence
xdotool mousemove $((ox + 435)) $((oy + 79)) click 1
sleep 0.5
record 2 "$work/typing.wav"
xdotool type --delay 80 zxcvb
xdotool key Return
wait_recording
check "keys typed into the program name sound nothing" "$probe" peak "$work/typing.wav" --below -90
check "and name the program" bash -c "timeout 5 xdotool search --sync --name '^Tesvar - 11 zxcvb$' >/dev/null"
record 1.5 "$work/after.wav"
xdotool keydown z
sleep 0.8
xdotool keyup z
wait_recording
check "after the field closes the keyboard plays again" "$probe" analyse "$work/after.wav" --notes 60

# ---- Closing the window ------------------------------------------------------------------------------
"$probe" close-window "$window"
for ((i = 0; i < 50; i++)); do kill -0 "$tesvar_pid" 2>/dev/null || break; sleep 0.1; done
wait "$tesvar_pid"
status=$?
check "closing the window ends tesvar with status 0 (got $status)" test "$status" -eq 0
check "saving the state" grep -q '^tesvar: state saved' "$work/window.out"
check "and leaving no JACK client" no_tesvar_ports
start_tesvar restored --headless
check "the name typed in the editor is in the saved state" wait_for "$work/restored.out" '^tesvar: program 11 zxcvb$' 5
stop_tesvar TERM

# ---- SIGTERM while a menu of the editor holds the main thread -------------------------------------
start_tesvar menu
window=$(timeout 10 xdotool search --sync --name '^Tesvar - ' | head -1)
read -r ox oy < <(xwininfo -id "$window" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 } END { print x, y }')
xdotool mousemove $((ox + 80)) $((oy + 234)) click 1  # MENU: the utility menu stays open
sleep 1
rm -f "$state_file"
kill -TERM "$tesvar_pid"
for ((i = 0; i < 80; i++)); do kill -0 "$tesvar_pid" 2>/dev/null || break; sleep 0.1; done
check "SIGTERM with a menu open ends tesvar within 8 s" bash -c "! kill -0 $tesvar_pid 2>/dev/null"
wait "$tesvar_pid" 2>/dev/null
status=$?
check "with status 0 (got $status)" test "$status" -eq 0
check "having saved the state" test -s "$state_file"
check "and left no JACK client" no_tesvar_ports

# ---- The display goes away (the program's connection killed) -------------------------------------
start_tesvar killed
window=$(timeout 10 xdotool search --sync --name '^Tesvar - ' | head -1)
rm -f "$state_file"
"$probe" kill-client "$window"
for ((i = 0; i < 50; i++)); do kill -0 "$tesvar_pid" 2>/dev/null || break; sleep 0.1; done
wait "$tesvar_pid" 2>/dev/null
status=$?
check "a broken display ends tesvar with status 1 (got $status)" test "$status" -eq 1
check "saying so" grep -q 'connection to the display broke' "$work/killed.err"
check "having saved the state" test -s "$state_file"
check "and left no JACK client" no_tesvar_ports

stop_server
finish
