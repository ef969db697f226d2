# Sourced by the standalone program's tests: a work folder as the home (settings and saved
# state inside it), a JACK server with the dummy back end under a name of this test's own
# (so that tests running side by side never meet), check NAME CONDITION..., and helpers to
# run tesvar in the background and wait for its lines. Everything started is stopped at exit.
# Needs: tesvar, standalone_probe and the plug-in paths in $tesvar, $probe.
for tool in jackd jack_lsp jack_capture jack_bufsize; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed (tools/install-deps.sh --tests installs jackd2 and jack-capture)"
    exit 77
  fi
done

work=$(mktemp -d)
server_pid=
cleanup() {
  local pids
  pids=$(jobs -p)
  [[ -n $pids ]] && kill $pids 2>/dev/null
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_STATE_HOME=$work/home/.local/state
mkdir -p "$HOME"
state_file=$XDG_STATE_HOME/QuellmarkMusic/standalone.fxb
export JACK_DEFAULT_SERVER="tesvar-test-$$-$RANDOM"
export JACK_NO_START_SERVER=1
rate=48000  # not the plug-in's own default (44100): a rate that is not passed on shows as wrong pitches

passed=0
failed=0
check() {  # check NAME CONDITION...
  local name=$1
  shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $name"; else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
finish() {
  echo "$passed passed, $failed failed"
  [[ $failed -eq 0 ]]
  exit
}

wait_for() {  # wait_for FILE PATTERN [SECONDS]
  local i
  for ((i = 0; i < ${3:-20} * 10; i++)); do grep -q -- "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
  echo "(waited in vain for \"$2\" in $(basename "$1"):)"
  sed 's/^/  | /' "$1" 2>/dev/null
  return 1
}

start_server() {
  jackd -r -n "$JACK_DEFAULT_SERVER" -d dummy -r "$rate" -p 256 >"$work/jackd.log" 2>&1 &
  server_pid=$!
  local i
  for ((i = 0; i < 100; i++)); do jack_lsp >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "the JACK server did not start:"
  cat "$work/jackd.log"
  exit 1
}

stop_server() {
  kill "$server_pid" 2>/dev/null
  wait "$server_pid" 2>/dev/null
  server_pid=
}

# start_tesvar NAME ARGS...: tesvar in the background, its output in $work/NAME.out and
# .err; its process id in $tesvar_pid. Waits until it plays.
start_tesvar() {
  local name=$1
  shift
  "$tesvar" "$@" >"$work/$name.out" 2>"$work/$name.err" &
  tesvar_pid=$!
  wait_for "$work/$name.out" '^tesvar: JACK client' 20
}

# stop_tesvar SIGNAL: ends it and answers its exit status in $tesvar_status (124 when it
# did not end within 5 s).
stop_tesvar() {
  local i
  kill -"$1" "$tesvar_pid" 2>/dev/null
  for ((i = 0; i < 50; i++)); do
    kill -0 "$tesvar_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$tesvar_pid" 2>/dev/null; then
    kill -KILL "$tesvar_pid"
    wait "$tesvar_pid" 2>/dev/null
    tesvar_status=124
  else
    wait "$tesvar_pid"
    tesvar_status=$?
  fi
}

no_tesvar_ports() { ! jack_lsp 2>/dev/null | grep -q '^tesvar'; }

# record SECONDS FILE: what reaches the playback ports, from when the recorder has joined.
# Returns at once; wait_recording waits for the file.
record() {
  jack_capture -d "$1" -dc -ns -as "$2" >"$work/capture.log" 2>&1 &
  capture_pid=$!
  local i
  for ((i = 0; i < 100; i++)); do jack_lsp 2>/dev/null | grep -q '^jack_capture' && break; sleep 0.05; done
  sleep 0.2
}
wait_recording() { wait "$capture_pid"; }

# Waits (up to 8 s) until what reaches the playback ports is silent: a chord's release has
# died away before the next one is measured.
wait_silence() {
  local i
  for ((i = 0; i < 16; i++)); do
    record 0.5 "$work/silence.wav"
    wait_recording
    "$probe" peak "$work/silence.wav" --below -90 >/dev/null && return 0
  done
  return 1
}

# chord_render FILE NOTES PROGRAM [BANK]: the chord the probe sends (hold 1.5 s), rendered by
# tesvar-render at the server's rate and block size.
chord_render() {
  "$probe" midi-file "$work/chord.mid" --notes "$2" --start 0.5 --hold 1.5
  "$render" "$plugin" --program "$3" --midi "$work/chord.mid" --sample-rate "$rate" --block-size 256 \
    --out "$1" >/dev/null
}
