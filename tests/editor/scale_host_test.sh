#!/usr/bin/env bash
# The editor at a screen scale, end to end: the built plug-in's editor in tesvar-host's editor
# mode under a virtual display (run through tools/with-xvfb.sh). With the desktop at 192 dpi
# the editor opens at 200 % (2064 x 1176) and the programmer keys work at their 200 % places
# (3 then 5 selects program 35, index 20); the Zoom submenu resizes the open editor and the
# host hears it, and the size holds when the editor opens again; a "Zoom" setting that
# cannot be read gives 100 % whatever the desktop says; a host that refuses the new size
# keeps the editor as it is until it opens again, and the editor says so once.
# Places come from the layout tables (the host's "place" command), never typed here.
# Usage: scale_host_test.sh TESVAR-HOST PLUGIN
# With TESVAR_WINE_ARCH (x86_64 or i686) the host is tesvar-host.exe and the plug-in a DLL
# under Wine: the desktop's 192 dpi is Wine's LogPixels setting, and the menu is the
# system's, used with keys.
set -u
host_exe=$1
plugin=$2
source "$(dirname "$0")/host_test_common.sh"
ini_dir=$XDG_CONFIG_HOME/QuellmarkMusic
wine=${TESVAR_WINE_ARCH:-}
if [[ -n $wine ]]; then
  # The desktop's DPI is a setting of the Wine prefix, which is this test's own
  # (tools/wine-test.sh --with-prefix).
  # The settings file lies in that prefix's local application data.
  user_dir=$(find "${WINEPREFIX:-$work/none}/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public 2>/dev/null | head -1)
  ini_dir=${user_dir:-$work/none}/AppData/Local/QuellmarkMusic
fi
mkdir -p "$ini_dir"

wait_for() {  # wait_for PATTERN [SECONDS]
  local i
  for ((i = 0; i < ${2:-20} * 10; i++)); do grep -q -- "$1" "$work/host.out" && return 0; sleep 0.1; done
  return 1
}
windows() { xwininfo -root -children | grep -c '^ *0x'; }
start_host() {  # start_host ARGS...: a host with the editor open; sets ox, oy
  : >"$work/host.out"
  rm -f "$work/host.in"
  mkfifo "$work/host.in"
  run_host --editor "$plugin" "$@" <"$work/host.in" >"$work/host.out" 2>"$work/host.err" &
  exec {host_fd}>"$work/host.in"
  wait_for '^open 0 1$' "$slow" || return 1
  read -r _ ox oy < <(grep '^origin' "$work/host.out")
  sleep 0.5
}
stop_host() {
  tell quit
  exec {host_fd}>&-
  wait
}
# The editor's own window inside the host's: its size as W H.
editor_size() {
  local host
  host=$(xwininfo -root -tree | grep '"Tesvar Test Host 1"' | awk '{print $1}' | head -1)
  xwininfo -tree -id "$host" | grep -E '^ +0x[0-9a-f]+ .* [0-9]+x[0-9]+\+' | head -1 |
    sed -E 's/.* ([0-9]+)x([0-9]+)\+.*/\1 \2/'
}
click_place() {  # click_place PERCENT VIEW NUMBER: the middle of a control at a scale
  local l t r b
  read -r l t r b < <(ask "place $2 $3" place)
  xdotool mousemove $((ox + $1 * (l + r) / 200)) $((oy + $1 * (t + b) / 200)) click 1
  sleep 0.3
}
set_dpi() {  # the desktop's scale: X resources here, LogPixels under Wine
  if [[ -n $wine ]]; then
    "$tools/wine-test.sh" "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  else
    echo "Xft.dpi: $1" | xrdb -merge
  fi
}
pick_zoom() {  # pick_zoom ITEM: the Zoom submenu's item (0 Auto, 1 100 %, ... 5 200 %)
  local base keys=()
  base=$(windows)
  click_place 100 main -112
  sleep 0.4
  # Up from nothing selected lands on the last item, "Go Online...", then on "Zoom".
  keys=(Up Up Right)
  for ((k = 0; k < $1; k++)); do keys+=(Down); done
  xdotool key "${keys[@]}" Return
  sleep 0.6
}

# ---- 192 dpi: 200 % and the keys at their 200 % places ------------------------------------------
set_dpi 192
start_host
check "at 192 dpi the editor asks for 2064 x 1176" grep -q '^ready 2064 1176$' "$work/host.out"
[[ -z $wine ]] && check "and its window has that size" test "$(editor_size)" = "2064 1176"
click_place 200 main -128  # programmer key 3
click_place 200 main -130  # key 5
check "keys 3 then 5 at their 200 % places select program 35 (index 20)" test "$(ask program program)" = "20"
stop_host

# ---- A "Zoom" that cannot be read: 100 % whatever the desktop says --------------------------------
printf '[Editor]\nZoom=bogus\n' >"$ini_dir/tesvar.ini"
start_host
check "Zoom=bogus gives 100 % (1032 x 588) at 192 dpi" grep -q '^ready 1032 588$' "$work/host.out"

# ---- The Zoom submenu: the size changes at once and holds ------------------------------------------
pick_zoom 3  # 150 %
check "\"150 %\" asks the host for 1548 x 882" wait_for '^resize 0 1548 882 1$' 5
check "effEditGetRect answers 1548 x 882" test "$(ask rect rect)" = "1548 882"
[[ -z $wine ]] && check "the editor's window is 1548 x 882" test "$(editor_size)" = "1548 882"
check "the setting is saved" grep -q '^Zoom=150' "$ini_dir/tesvar.ini"
tell close
tell open
sleep 0.5
check "after reopening the size holds" test "$(ask rect rect)" = "1548 882"
[[ -z $wine ]] && check "and the window has it" test "$(editor_size)" = "1548 882"
click_place 150 main -127  # key 2
click_place 150 main -133  # key 8
check "keys 2 then 8 at their 150 % places select program 28 (index 15)" test "$(ask program program)" = "15"
stop_host

# ---- A host that refuses: the size waits for the next opening, said once ---------------------------
printf '[Editor]\nZoom=100\n' >"$ini_dir/tesvar.ini"
start_host --refuse-resize
base=$(windows)
pick_zoom 5  # 200 %
check "the refused request was made" wait_for '^resize 0 2064 1176 0$' 5
check "the editor says so in a box" test "$(windows)" -gt "$base"
xdotool key Return  # the box holds the host's loop until it is answered
sleep 0.5
check "and keeps its size" test "$(ask rect rect)" = "1032 588"
[[ -z $wine ]] && check "in its window too" test "$(editor_size)" = "1032 588"
pick_zoom 4  # 175 %
check "the second refusal asks again" wait_for '^resize 0 1806 1029 0$' 5
check "without a second box" test "$(windows)" -eq "$base"
tell close
tell open
sleep 0.5
check "the next opening takes the new size" test "$(ask rect rect)" = "1806 1029"
stop_host
set_dpi 96

# The copied prefix's Wine server goes with the test.
if [[ -n $wine ]]; then WINEPREFIX=$WINEPREFIX /usr/lib/wine/wineserver -k >/dev/null 2>&1; fi
echo "$passed passed, $failed failed"
test "$failed" -eq 0
