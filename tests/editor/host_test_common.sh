# Sourced by the editor's host tests after they set host_exe: the host run natively or, with
# TESVAR_WINE_ARCH (x86_64 or i686), as tesvar-host.exe under Wine on the same display; a
# work folder as the home and settings folder, removed at exit with any host still running;
# and check NAME CONDITION..., which counts into passed and failed.
tools=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tools" && pwd)
slow=20  # seconds for a host to start
if [[ -n ${TESVAR_WINE_ARCH:-} ]]; then
  export TESVAR_WINE_DISPLAY=1
  slow=90
fi
run_host() {
  if [[ -n ${TESVAR_WINE_ARCH:-} ]]; then
    "$tools/wine-test.sh" "$TESVAR_WINE_ARCH" "$host_exe" "$@"
  else
    "$host_exe" "$@"
  fi
}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config
passed=0
failed=0
check() {  # check NAME CONDITION...
  local name=$1
  shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $name"; else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
# For tests of one host whose output is $work/host.out and whose input is on host_fd:
# tell COMMAND sends a command; ask COMMAND WORD sends a query and prints the answer's fields
# after "WORD 0".
tell() { echo "$1" >&"$host_fd"; }
ask() {
  local before i
  before=$(grep -c "^$2 " "$work/host.out")
  echo "$1" >&"$host_fd"
  for ((i = 0; i < 300; i++)); do
    if [ "$(grep -c "^$2 " "$work/host.out")" -gt "$before" ]; then
      grep "^$2 " "$work/host.out" | tail -1 | cut -d' ' -f3-
      return 0
    fi
    sleep 0.05
  done
  echo "no answer to $1" >&2
  return 1
}
