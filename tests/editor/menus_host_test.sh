#!/usr/bin/env bash
# The menus end to end: the built plug-in's editor in tesvar-host's editor mode under a
# virtual display (run through tools/with-xvfb.sh), used with the mouse and keys only. MENU
# opens the utility menu; "Save Program" saves through the editor's own file chooser; the
# program is changed and "Load Program..." brings it back; "Load Poly-61 Tape Dump" shows
# the tape dialog, whose OK imports a generated recording; "Init Program" with Yes
# initialises the program.
# Usage: menus_host_test.sh TESVAR-HOST PLUGIN [TAPE-DUMP-GEN]
# With TESVAR_WINE_ARCH (x86_64 or i686) the host is tesvar-host.exe and the plug-in a DLL,
# run under Wine on the same display (tools/wine-test.sh); the menu is then the system's,
# used with keys, and only "Init Program" is checked.
set -u
host_exe=$1
plugin=$2
tape_gen=${3:-}
source "$(dirname "$0")/host_test_common.sh"
export TESVAR_FILE_DIALOG=drawn
wait_for() {  # wait_for PATTERN [SECONDS]: a line of the host's output
  local i
  for ((i = 0; i < ${2:-20} * 10; i++)); do grep -q -- "$1" "$work/host.out" && return 0; sleep 0.1; done
  return 1
}
# A window of the plug-in's own (menu, chooser, message box) appears: the number of
# top-level windows grows beyond the host's.
windows() { xwininfo -root -children | grep -c '^ *0x'; }
wait_windows() {  # wait_windows COUNT: at least COUNT top-level windows
  local i
  for ((i = 0; i < 50; i++)); do [ "$(windows)" -ge "$1" ] && return 0; sleep 0.1; done
  return 1
}

# The utility menu opens where MENU is pressed (plus the editor's origin on the screen); the
# editor's own menu has items 20 pixels high, separators 7, below a 2-pixel border.
menu_x=80
menu_y=235
item_y() {  # item_y INDEX: the middle of top-level item INDEX
  local index=$1 y=2 i
  for ((i = 0; i < index; i++)); do
    case $i in 3 | 9 | 13 | 18 | 22) y=$((y + 7)) ;; *) y=$((y + 20)) ;; esac
  done
  echo $((menu_y + y + 10))
}
open_menu() {
  local base
  base=$(windows)
  xdotool mousemove $((ox + menu_x)) $((oy + menu_y)) click 1
  wait_windows $((base + 1))
  sleep 0.2
}
pick() {  # pick INDEX: hover and click a top-level item
  xdotool mousemove $((ox + menu_x + 30)) $((oy + $(item_y "$1")))
  sleep 0.2
  xdotool click 1
  sleep 0.3
}
# Waits for a chooser or a box to take the keyboard, then types.
type_in_dialog() {  # type_in_dialog BASE-WINDOWS TEXT
  wait_windows $(($1 + 1))
  sleep 0.4
  if [ -n "$2" ]; then xdotool type --delay 20 "$2"; fi
  xdotool key Return
  sleep 0.5
}

mkfifo "$work/host.in"
run_host --editor "$plugin" <"$work/host.in" >"$work/host.out" 2>"$work/host.err" &
exec {host_fd}>"$work/host.in"
check "the editor opens" wait_for '^open 0 1$' "$slow"
read -r _ ox oy < <(grep '^origin' "$work/host.out")
sleep 0.5
base=$(windows)

# ---- Init Program with Yes -------------------------------------------------------------------------
tell "set 16 0.125"
program=$(ask program program)
open_menu
check "MENU opens the utility menu" test "$(windows)" -gt "$base"
if [[ -n ${TESVAR_WINE_ARCH:-} ]]; then
  xdotool key Down Down Down Return  # the third item
else
  pick 2
fi
type_in_dialog "$base" ""  # the confirmation's Yes
check "\"Init Program\" with Yes names the program after its place" test "$(ask name name)" = "Program 1-1"
check "and gives it the default cutoff" test "$(ask "get 16" value | cut -d' ' -f2)" = "1.000000"
check "the program stays where it was ($program)" test "$(ask program program)" = "$program"
check "no box or menu is left" test "$(windows)" -eq "$base"
if [[ -n ${TESVAR_WINE_ARCH:-} ]]; then
  echo "quit" >&"$host_fd"
  exec {host_fd}>&-
  wait
  echo "$passed passed, $failed failed"
  test "$failed" -eq 0
  exit
fi

# ---- Save Program through the chooser ------------------------------------------------------------
cutoff=$(ask "get 16" value | cut -d' ' -f2)
resonance=$(ask "get 17" value | cut -d' ' -f2)
name=$(ask name name)
open_menu
pick 5  # Save Program
type_in_dialog "$base" ""  # the proposed name, in the documents folder (here the home)
saved=$(find "$work" -maxdepth 1 -name '*.fxp' | head -1)
check "\"Save Program\" saved $saved (program \"$name\")" test -s "$saved"
check "under the program's name" test "$(basename "$saved" .fxp)" = "$(printf '%s' "$name" | tr '<>:"/\\|?*' '_________' | cut -c1-63)"
check "the chooser and the menu are gone" test "$(windows)" -eq "$base"

# ---- Change the program, load it back ------------------------------------------------------------
tell "set 16 0.125"
tell "set 17 0.875"
changed=$(ask "get 16" value | cut -d' ' -f2)
check "the program changed ($cutoff -> $changed)" test "$changed" != "$cutoff"
open_menu
xdotool mousemove $((ox + menu_x + 30)) $((oy + $(item_y 4)))  # Load Program... opens its submenu
sleep 0.3
xdotool key Down Return  # its first item, "Load Program"
type_in_dialog "$base" "$saved"
check "\"Load Program\" brings VCF Cutoff back ($cutoff)" test "$(ask "get 16" value | cut -d' ' -f2)" = "$cutoff"
check "and the resonance ($resonance)" test "$(ask "get 17" value | cut -d' ' -f2)" = "$resonance"
check "and the name" test "$(ask name name)" = "${name:0:27}"

# ---- The tape load dialog --------------------------------------------------------------------------
"$tape_gen" --random 5 "$work/dump.wav" >/dev/null
open_menu
pick 8  # Load Poly-61 Tape Dump
sleep 0.3
import -window root -crop 256x200+$((ox + 388))+$((oy + 194)) +repage "$work/dialog.png"
grey=$(convert "$work/dialog.png" -format '%[pixel:p{12,16}]' info:)
check "the tape dialog shows ($grey at its panel)" test "$grey" = "srgb(192,192,192)"
xdotool mousemove $((ox + 460)) $((oy + 366)) click 1  # OK
type_in_dialog "$base" "$work/dump.wav"
check "a message box tells the import worked" test "$(windows)" -gt "$base"
xdotool key Return  # its OK
sleep 0.5
check "the dump's programs replace the bank" test "$(ask name name)" = "Program 1-1"
import -window root -crop 256x200+$((ox + 388))+$((oy + 194)) +repage "$work/after.png"
after=$(convert "$work/after.png" -format '%[pixel:p{12,16}]' info:)
check "and the dialog is closed ($after)" test "$after" != "srgb(192,192,192)"

echo "quit" >&"$host_fd"
exec {host_fd}>&-
wait
echo "$passed passed, $failed failed"
test "$failed" -eq 0
