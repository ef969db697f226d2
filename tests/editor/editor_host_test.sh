#!/usr/bin/env bash
# The built plug-in's editor in tesvar-host's editor mode under a virtual display (run
# through tools/with-xvfb.sh): a drag is one gesture of automation and changes the pixels,
# a key no control takes reaches the host, two instances, 100 opens and closes without
# leaking windows or memory, editor requests from a second thread, and the idle CPU figure.
# Usage: editor_host_test.sh TESVAR-HOST PLUGIN
# With TESVAR_WINE_ARCH (x86_64 or i686) the host is tesvar-host.exe and the plug-in a DLL,
# run under Wine on the same display (tools/wine-test.sh); the host then also reports its
# windows, GDI objects and handles, which must not grow either.
set -u
host_exe=$1
plugin=$2
source "$(dirname "$0")/host_test_common.sh"
wait_for() {  # wait_for FILE PATTERN [SECONDS]
  local i
  for ((i = 0; i < ${3:-20} * 10; i++)); do grep -q -- "$2" "$1" && return 0; sleep 0.1; done
  return 1
}
start_host() {  # start_host NAME ARGS...: the host reads $work/NAME.in and writes $work/NAME.out
  local name=$1
  shift
  mkfifo "$work/$name.in"
  run_host --editor "$plugin" "$@" <"$work/$name.in" >"$work/$name.out" 2>"$work/$name.err" &
  eval "${name}_pid=$!"
  exec {fd}>"$work/$name.in"
  eval "${name}_fd=$fd"
}
say() { local fd_var="${1}_fd"; echo "$2" >&"${!fd_var}"; }
region_pixels() { import -window root -crop "$1" txt:- | md5sum | cut -c1-12; }
figure() {  # figure NAME: the named figure of the last stats line of one.out ("" when not reported)
  grep '^stats' "$work/one.out" | tail -1 | awk -v n="$1" '{ for (i = 3; i < NF; i += 2) if ($i == n) print $(i + 1) }'
}
windows() { xwininfo -root -tree | grep -c '^ *0x'; }

# ---- One editor: drag, automation, pixels, keys -------------------------------------------------
start_host one
check "the editor opens in the host window" wait_for "$work/one.out" '^open 0 1$' "$slow"
read -r _ ox oy < <(grep '^origin' "$work/one.out")
sleep 0.5
before=$(region_pixels 40x40+$((ox + 614))+$((oy + 49)))  # the Volume knob
xdotool mousemove $((ox + 634)) $((oy + 69)) mousedown 1
sleep 0.2
for y in 64 59 54 49 44; do xdotool mousemove $((ox + 634)) $((oy + y)); sleep 0.05; done
xdotool mouseup 1
sleep 0.5
after=$(region_pixels 40x40+$((ox + 614))+$((oy + 49)))
gesture=$(grep -E '^(begin|automate|end) 0 0' "$work/one.out" | cut -d' ' -f1 | uniq | tr '\n' ' ')
check "the drag is begin, automate, end (got: $gesture)" test "$gesture" = "begin automate end "
check "the knob's pixels changed ($before -> $after)" test "$before" != "$after"
xdotool mousemove $((ox + 700)) $((oy + 100)) click 1
sleep 0.2
xdotool key q
check "a key no control takes reaches the host" wait_for "$work/one.out" '^key 0 q$' 5

# ---- 100 opens and closes -------------------------------------------------------------------------
say one "cycle 10"
wait_for "$work/one.out" '^cycled 10$' 60
say one "stats"
wait_for "$work/one.out" '^stats' 10
rss_before=$(grep '^stats' "$work/one.out" | tail -1 | cut -d' ' -f2)
windows_before=$(windows)
own_before=$(figure windows) gdi_before=$(figure gdi) handles_before=$(figure handles)
say one "cycle 100"
check "100 opens and closes finish" wait_for "$work/one.out" '^cycled 100$' 120
say one "stats"
for ((i = 0; i < 100; i++)); do [[ $(grep -c '^stats' "$work/one.out") -ge 2 ]] && break; sleep 0.1; done
rss_after=$(grep '^stats' "$work/one.out" | tail -1 | cut -d' ' -f2)
windows_after=$(windows)
echo "windows: $windows_before -> $windows_after; resident memory: $rss_before kB -> $rss_after kB"
check "no window is left behind" test "$windows_before" -eq "$windows_after"
if nm -D "$host_exe" 2>/dev/null | grep -q -E '__(a|t)san_init'; then
  echo "memory growth left to the sanitizer (its allocator keeps freed memory)"
else
  check "memory does not grow with opens (under 2 MB)" test $((rss_after - rss_before)) -lt 2048
fi
if [[ -n $own_before ]]; then
  own_after=$(figure windows) gdi_after=$(figure gdi) handles_after=$(figure handles)
  echo "process windows: $own_before -> $own_after; GDI objects: $gdi_before -> $gdi_after; handles: $handles_before -> $handles_after"
  check "the process keeps its window count" test "$own_before" -eq "$own_after"
  check "GDI objects are counted and do not grow" test "$gdi_before" -ge 0 -a "$gdi_before" -eq "$gdi_after"
  check "handles do not grow" test "$handles_after" -le $((handles_before + 2))
  check "the window class is gone while no editor is open" test "$(figure class)" = 0
fi

# ---- Editor requests from a second thread --------------------------------------------------------
say one "idle-from-thread"
say one "close-from-thread"
check "close from a second thread closes" wait_for "$work/one.out" '^close-thread 1$' 5
say one "open"
say one "quit"
exec {one_fd}>&-
wait "$one_pid"
status=$?
check "the host ends cleanly (status $status)" test "$status" -eq 0 -a "$(grep -c '^cpu' "$work/one.out")" -eq 1

# ---- Two instances ------------------------------------------------------------------------------
start_host two --instances 2
check "two editors open" wait_for "$work/two.out" '^open 1 1$' "$slow"
say two "close"
check "both close" wait_for "$work/two.out" '^close 1 1$' 5
say two "open"
check "and open again" wait_for "$work/two.out" '^open 1 1$' 5
say two "quit"
exec {two_fd}>&-
wait

# ---- Idle CPU of an open editor with nothing moving (a figure, not a check) ------------------------
run_host --editor "$plugin" --seconds 5 </dev/null >"$work/idle.out" 2>&1 &
wait
read -r _ cpu wall < <(grep '^cpu' "$work/idle.out")
echo "idle CPU of an open editor: ${cpu}s in ${wall}s ($(awk -v c="$cpu" -v w="$wall" 'BEGIN { printf "%.2f", 100 * c / w }')%)"

echo "$passed passed, $failed failed"
test "$failed" -eq 0
