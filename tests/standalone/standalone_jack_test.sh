#!/usr/bin/env bash
# tesvar against a JACK server with the dummy back end, without a window (--headless):
# no server; a chord from a JACK MIDI client recorded from the playback ports, with its
# pitches and the spectrum tesvar-render gives the same chord; a new block size followed;
# hardware MIDI ports connected at the start and, with --auto-connect, later; the state
# through SIGINT and SIGTERM, --bank and --program, and a damaged state file set aside; the
# server going away.
# Usage: standalone_jack_test.sh TESVAR PROBE TESVAR-RENDER PLUGIN BANK-FOLDER
set -u
tesvar=$1 probe=$2 render=$3 plugin=$4 banks=$5
source "$(dirname "$0")/jack_test_common.sh"

# The spectra of a chord through tesvar and through tesvar-render, in third-octave bands
# from 100 Hz to 10 kHz, 0.3 s after the onset (the sustain of program 11): both run the
# same plug-in code on the same events, and the voices start alike wherever the chord
# falls, so they differ only by where the onset falls against blocks and control ticks.
# Shifting the chord's start by 0.43 s in the renderer moves the bands by 0.01 dB; a
# semitone changed in the chord moves one by 1.9 dB, another program by 17 dB. 0.5 dB.
tolerance=0.5

# ---- No server ------------------------------------------------------------------------------
start=$(date +%s%N)
timeout 10 "$tesvar" --headless >"$work/none.out" 2>"$work/none.err"
status=$?
took_ms=$((($(date +%s%N) - start) / 1000000))
check "without a server tesvar ends with status 2 (got $status) within 5 s (took $took_ms ms)" \
  test "$status" -eq 2 -a "$took_ms" -lt 5000
check "and says how to start one" grep -q 'jackd -d alsa' "$work/none.err"
check "and names the server" grep -q "$JACK_DEFAULT_SERVER" "$work/none.err"

start_server

# ---- Ports ------------------------------------------------------------------------------------
"$tesvar" --list-ports >"$work/list.out" 2>&1
check "--list-ports marks the playback ports the outputs go to" grep -q '^  \* system:playback_2' "$work/list.out"

# ---- A chord, recorded ----------------------------------------------------------------------------
check "tesvar starts" start_tesvar play --headless --program 11
check "its outputs are connected to the playback ports" \
  bash -c "jack_lsp -c tesvar:out_right | grep -q 'system:playback_2'"
record 3 "$work/chord.wav"
"$probe" send --connect tesvar:midi_in --notes 60,64,67 --hold 1.5 >/dev/null
wait_recording
chord_render "$work/chord-render.wav" 60,64,67 11
"$probe" analyse "$work/chord.wav" --notes 60,64,67 --against "$work/chord-render.wav" --tolerance "$tolerance" \
  >"$work/analysis.txt"
status=$?
sed 's/^/  /' "$work/analysis.txt"
check "the recording has the chord's pitches and the renderer's spectrum" test "$status" -eq 0
# The comparison can fail: the same recording against a minor chord.
chord_render "$work/minor-render.wav" 60,63,67 11
check "a minor chord's render does not pass for it" \
  bash -c "! '$probe' analyse '$work/chord.wav' --notes 60,64,67 --against '$work/minor-render.wav' --tolerance $tolerance >/dev/null"

# ---- A new block size -------------------------------------------------------------------------
jack_bufsize 512 >/dev/null
check "a new block size is followed" wait_for "$work/play.out" '512 frames a block' 10
wait_silence
record 3 "$work/chord512.wav"
"$probe" send --connect tesvar:midi_in --notes 60,64,67 --hold 1.5 >/dev/null
wait_recording
# A later chord starts on other voices, whose oscillators stand elsewhere in their cycles:
# its pitches are measured, not its spectrum.
check "and the chord's pitches sound at it" "$probe" analyse "$work/chord512.wav" --notes 60,64,67
jack_bufsize 256 >/dev/null

# ---- SIGINT: the state is saved and the client gone ---------------------------------------------
"$probe" send --connect tesvar:midi_in --program 34 --notes 60 --hold 0.1 >/dev/null
check "a program change from MIDI selects program 53" wait_for "$work/play.out" '^tesvar: program 53 ' 10
stop_tesvar INT
check "SIGINT ends tesvar with status 0 (got $tesvar_status)" test "$tesvar_status" -eq 0
check "and saves the state" wait_for "$work/play.out" "^tesvar: state saved in $state_file" 1
check "and leaves no JACK client behind" no_tesvar_ports

check "the next start restores it" start_tesvar again --headless
check "with program 53 current" wait_for "$work/again.out" '^tesvar: program 53 ' 5
check "saying where it came from" grep -q "state restored from $state_file" "$work/again.out"
stop_tesvar TERM
check "SIGTERM ends it with status 0 (got $tesvar_status)" test "$tesvar_status" -eq 0
check "leaving no client" no_tesvar_ports

# ---- --bank and --program override the state; the bank itself is kept ------------------------------
check "--bank and --program are taken" start_tesvar bank --headless --bank "$banks/quellmark.fxb" --program 35
wait_for "$work/bank.out" '^tesvar: program 35 ' 5
bank_line=$(grep '^tesvar: program 35 ' "$work/bank.out")
stop_tesvar TERM
start_tesvar bank-again --headless
wait_for "$work/bank-again.out" '^tesvar: program 35 ' 5
check "the next start has the bank's program 35 ($bank_line)" \
  test "$(grep '^tesvar: program 35 ' "$work/bank-again.out")" = "$bank_line"
factory_name=$("$render" "$plugin" --program 35 --midi "$work/chord.mid" --out "$work/f35.wav" | sed 's/.*program "\([^"]*\)".*/\1/')
check "which is not the factory bank's ($factory_name)" test "$bank_line" != "tesvar: program 35 $factory_name"
stop_tesvar TERM

"$tesvar" --headless --program 99 >"$work/bad.out" 2>"$work/bad.err"
status=$?
check "an unknown --program is refused with status 1 (got $status)" test "$status" -eq 1
check "saying why" grep -q 'no program "99"' "$work/bad.err"
saved=$(md5sum <"$state_file")
"$tesvar" --headless --bank "$work/none.fxb" >"$work/bad.out" 2>"$work/bad.err"
status=$?
check "so is a --bank that cannot be read (status $status)" bash -c "test $status -eq 1 && grep -q 'cannot read' '$work/bad.err'"
check "leaving the saved state alone" test "$(md5sum <"$state_file")" = "$saved"

# ---- A damaged state file is set aside, never lost ----------------------------------------------------
head -c 3000 /dev/urandom >"$work/garbage"
cp "$work/garbage" "$state_file"
start_tesvar damaged --headless
check "a damaged state file is reported" grep -q 'is damaged.*set aside as' "$work/damaged.err"
aside=$(ls "$state_file".damaged-* 2>/dev/null | head -1)
check "and set aside whole ($aside)" cmp -s "$work/garbage" "$aside"
check "and the factory bank is used" wait_for "$work/damaged.out" '^tesvar: program 11 Fat Brass' 5
stop_tesvar TERM
check "on exit a sound state is saved again (status $tesvar_status)" test "$tesvar_status" -eq 0 -a -s "$state_file"

# ---- MIDI hardware ports --------------------------------------------------------------------------
"$probe" send --physical --name keyboard-early --wait-connected 15 --delay 0.3 --notes 67 --hold 0.3 >"$work/early.out" &
early_pid=$!
sleep 0.5
start_tesvar hardware --headless --auto-connect
wait "$early_pid"
check "a MIDI hardware port present at the start is connected" test $? -eq 0
"$probe" send --physical --name keyboard-late --wait-connected 10 --notes 67 --hold 0.3 >"$work/late.out"
check "with --auto-connect, one that appears later is too" test $? -eq 0
check "and the connection is reported" grep -q '^tesvar: connected keyboard-late:keys' "$work/hardware.out"
stop_tesvar TERM

start_tesvar plain --headless
"$probe" send --physical --name keyboard-unwatched --wait-connected 2 --notes 67 --hold 0.3 >/dev/null
check "without --auto-connect a later one is left alone" test $? -eq 3
stop_tesvar TERM

start_tesvar unconnected --headless --no-connect
check "--no-connect connects nothing" bash -c "! jack_lsp -c tesvar:out_left | grep -q system"
stop_tesvar TERM

# ---- The server goes away ---------------------------------------------------------------------------
rm -f "$state_file"
start_tesvar orphan --headless
stop_server
for ((i = 0; i < 50; i++)); do kill -0 "$tesvar_pid" 2>/dev/null || break; sleep 0.1; done
wait "$tesvar_pid" 2>/dev/null
status=$?
check "when the server goes away tesvar ends with status 1 (got $status)" test "$status" -eq 1
check "saying so" grep -q 'the JACK server went away' "$work/orphan.err"
check "having saved the state" test -s "$state_file"
finish
