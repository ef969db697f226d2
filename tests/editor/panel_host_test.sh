#!/usr/bin/env bash
# Playing the instrument from the panel: the built plug-in's editor in tesvar-host's editor
# mode under a virtual display (run through tools/with-xvfb.sh), clicked on its real pixels.
# Program keys 3 then 5 select program 35 (the display shows "3-" in between); PARAMETER, 3,
# 1 and UP raise "VCF Cutoff" one step and the sound is brighter; the view switch; FACTORY,
# a bank row and a program row load that program; CHORD captures the held notes.
# Usage: panel_host_test.sh TESVAR-HOST PLUGIN IMAGE-FOLDER BANK-FOLDER
# With TESVAR_WINE_ARCH (x86_64 or i686) the host is tesvar-host.exe and the plug-in a DLL,
# run under Wine on the same display (tools/wine-test.sh).
set -u
host_exe=$1
plugin=$2
images=$3
banks=$4
source "$(dirname "$0")/host_test_common.sh"
settle=0.3  # seconds for the editor's timer to draw after a click
[[ -n ${TESVAR_WINE_ARCH:-} ]] && settle=0.6
wait_for() {  # wait_for PATTERN [SECONDS]: a line of the host's output
  local i
  for ((i = 0; i < ${2:-20} * 10; i++)); do grep -q -- "$1" "$work/host.out" && return 0; sleep 0.1; done
  return 1
}
ox=0 oy=0  # the editor's top left corner on the screen (the host's "origin")
click() {  # click X Y: a left click on the editor, then time for its timer to draw
  xdotool mousemove $((ox + $1)) $((oy + $2)) click 1
  sleep "$settle"
}
# same_as_art NAME W H X Y ART [FRAME-Y]: the screen at X,Y (W x H) is the background art of
# the view drawn under one frame of a digit strip (or the background alone), within the
# rounding of the two blends.
same_as_art() {
  local name=$1 w=$2 h=$3 x=$4 y=$5 back=$6 strip=${7:-} frameY=${8:-0}
  import -window root -crop "${w}x${h}+$((ox + x))+$((oy + y))" +repage "$work/$name-screen.png"
  if [ -n "$strip" ]; then
    convert "$images/$back" -crop "${w}x${h}+${x}+${y}" +repage \
      \( "$images/$strip" -crop "${w}x${h}+0+${frameY}" +repage \) -composite "$work/$name-art.png"
  else
    convert "$images/$back" -crop "${w}x${h}+${x}+${y}" +repage "$work/$name-art.png"
  fi
  local differing
  differing=$(compare -metric AE -fuzz 2% "$work/$name-art.png" "$work/$name-screen.png" null: 2>&1)
  [ "${differing%% *}" = "0" ]
}
# digit_shows NAME X Y FRAME: a red LED digit (digits.png, 34-pixel frames) at X,Y.
digit_shows() { same_as_art "$1" 26 34 "$2" "$3" back.png digits.png $((($4 - 1) * 34)); }

mkfifo "$work/host.in"
run_host --editor "$plugin" <"$work/host.in" >"$work/host.out" 2>"$work/host.err" &
host_pid=$!
exec {host_fd}>"$work/host.in"
check "the editor opens" wait_for '^open 0 1$' "$slow"
read -r _ ox oy < <(grep '^origin' "$work/host.out")
sleep 0.5

# ---- Program keys 3 then 5 ------------------------------------------------------------------------
# The program display's digits stand at 54,145 and 87,145; frames 1 to 10 are 0 to 9, 11 minus.
click 178 508  # key 3
check "after key 3 the program display shows 3" digit_shows key3-left 54 145 4
check "and a minus" digit_shows key3-right 87 145 11
click 266 508  # key 5
check "keys 3 then 5 select program index 20" test "$(ask program program)" = "20"
check "the display shows 3" digit_shows key5-left 54 145 4
check "and 5" digit_shows key5-right 87 145 6

# ---- PARAMETER, 3, 1, UP -------------------------------------------------------------------------
tell "note 48 100"
before_sound=$(ask "render 22050" render | cut -d' ' -f2)
tell "note 48 0"
ask "render 88200" render >/dev/null
cutoff_before=$(ask "get 16" value | cut -d' ' -f2)
click 235 366  # PARAMETER
click 178 508  # key 3
click 90 508   # key 1
click 96 366   # UP
cutoff_after=$(ask "get 16" value | cut -d' ' -f2)
step=$(awk -v a="$cutoff_before" -v b="$cutoff_after" 'BEGIN { d = (b - a) * 63; print (d > 0.99 && d < 1.01) ? 1 : 0 }')
check "UP raises VCF Cutoff by one step ($cutoff_before -> $cutoff_after)" test "$step" = 1
check "the host heard the new value" grep -q '^automate 0 16 ' "$work/host.out"
tell "note 48 100"
after_sound=$(ask "render 22050" render | cut -d' ' -f2)
tell "note 48 0"
brighter=$(awk -v a="$before_sound" -v b="$after_sound" 'BEGIN { print (b > a) ? 1 : 0 }')
check "the sound after UP is brighter ($before_sound -> $after_sound)" test "$brighter" = 1

# ---- The view switch -------------------------------------------------------------------------------
# Between the fader rows of the main view lies the alternative view's "PROGRAMS" bar.
click 10 2
check "the view switch shows the alternative view" same_as_art alt 200 10 300 314 back2.png
click 10 2
check "and the main view again" same_as_art main 200 10 300 314 back.png
click 10 2

# ---- FACTORY, a bank row, a program row -------------------------------------------------------------
click 712 361  # FACTORY
click 880 367  # file row 1: "Quellmark's Factory Sounds"
click 120 435  # program row 5
expected_name=$(awk -F'\t' '$1 == "5" { print $2 }' "$banks/quellmark.tsv")
expected_cutoff=$(awk -F'\t' '$1 == "5" { printf "%.4f", $19 / 63 }' "$banks/quellmark.tsv")
check "the program stays 20" test "$(ask program program)" = "20"
check "its name becomes \"$expected_name\"" test "$(ask name name)" = "$expected_name"
got_cutoff=$(ask "get 16" value | cut -d' ' -f2)
check "its values too (cutoff $got_cutoff, listed $expected_cutoff)" \
  test "$(awk -v a="$got_cutoff" -v b="$expected_cutoff" 'BEGIN { print (a - b < 0.0002 && b - a < 0.0002) }')" = 1

# ---- CHORD with held notes ----------------------------------------------------------------------------
click 10 2  # back to the main view
tell "set 5 0"  # Poly with room for three notes, whatever the loaded program had
tell "set 6 1"
for note in 60 64 67; do tell "note $note 100"; done
ask "render 512" render >/dev/null
click 716 508  # CHORD
chord=$(ask chord chord)
check "CHORD captures the held notes (chord memory: $chord)" test "$chord" = "2 4 7"
check "and sets Chord mode" test "$(ask "get 5" value | cut -d' ' -f2)" = "0.500000"

echo "quit" >&"$host_fd"
exec {host_fd}>&-
wait "$host_pid"
status=$?
# A crash, or a sanitizer's report, at any point or at the end shows here.
check "the host ends cleanly (status $status)" test "$status" -eq 0
[ "$status" -eq 0 ] || tail -20 "$work/host.err"
echo "$passed passed, $failed failed"
test "$failed" -eq 0
