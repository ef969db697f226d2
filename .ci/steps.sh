# shellcheck shell=bash
# Steps with times, for tools/test-all.sh and the scripts it runs (source this file).
#
#   step NAME COMMAND...     runs COMMAND as the step NAME and returns its status
#   step_beside NAME COMMAND...
#                            starts the step NAME in the background, beside the next steps
#                            (for a step that mostly waits); its output is held back
#   steps_wait               waits for the steps started beside, prints their output, and
#                            returns non-zero when one of them failed
#   step_skip NAME REASON    records NAME as skipped and prints one line saying why
#   steps_summary            prints each step with its time and result, the skipped ones
#                            with their reasons, and a closing count (the outermost script)
#
# A script run as a step records its own steps in the same log (TESVAR_STEP_LOG), indented
# under the step that ran it (TESVAR_STEP_DEPTH), so that the summary shows where the time
# went inside a check as well. A script sourcing this on its own gets a log of its own.

if [[ -z ${TESVAR_STEP_LOG:-} ]]; then
  TESVAR_STEP_LOG=$(mktemp "${TMPDIR:-/tmp}/tesvar-steps.XXXXXX")
  TESVAR_STEP_DEPTH=0
  TESVAR_STEP_PARENT=
  export TESVAR_STEP_LOG TESVAR_STEP_DEPTH TESVAR_STEP_PARENT
  steps_started=$(date +%s)
  trap 'rm -f "$TESVAR_STEP_LOG"' EXIT
fi

# Sets cpu_seconds to the processor seconds used so far by this shell's finished children
# (and theirs): what a step costs on any machine, where its wall time depends on what else
# runs. `times` must run in this shell, not in a subshell, to see them.
# The file is this shell's own: a step running beside writes its figures at the same time.
child_cpu_seconds() {
  local file=$TESVAR_STEP_LOG.times.$BASHPID
  times >"$file"
  cpu_seconds=$(awk 'NR == 2 { split($1 " " $2, t, /[ms ]+/); print int(t[1] * 60 + t[2] + t[3] * 60 + t[4]) }' "$file")
  rm -f "$file"
}

# Log lines, tab-separated: "begin ID DEPTH NAME PARENT" when a step starts, "end ID SECONDS
# CPU_SECONDS RESULT" when it ends. The summary lists each step under the step that ran it,
# in the order they began; IDs are unique also among steps that run side by side.
step_id() { echo "$BASHPID.$RANDOM$RANDOM"; }
step() {
  local name=$1 id start cpu cpu_seconds status=0
  shift
  id=$(step_id)
  printf 'begin\t%s\t%s\t%s\t%s\n' "$id" "$TESVAR_STEP_DEPTH" "$name" "${TESVAR_STEP_PARENT:-}" >>"$TESVAR_STEP_LOG"
  echo "== $name"
  start=$(date +%s)
  child_cpu_seconds
  cpu=$cpu_seconds
  TESVAR_STEP_DEPTH=$((TESVAR_STEP_DEPTH + 1)) TESVAR_STEP_PARENT=$id "$@" || status=$?
  local result=ok
  [[ $status -ne 0 ]] && result="FAILED (exit status $status)"
  child_cpu_seconds
  printf 'end\t%s\t%s\t%s\t%s\n' "$id" "$(($(date +%s) - start))" "$((cpu_seconds - cpu))" "$result" \
    >>"$TESVAR_STEP_LOG"
  [[ $status -ne 0 ]] && echo "== $name: FAILED (exit status $status)"
  return $status
}

step_beside_pids=()
step_beside_logs=()
step_beside() {
  local out
  out=$(mktemp "${TMPDIR:-/tmp}/tesvar-beside.XXXXXX")
  step "$@" >"$out" 2>&1 &
  step_beside_pids+=($!)
  step_beside_logs+=("$out")
  echo "== $1: started beside the next steps"
}

steps_wait() {
  local i status=0
  for i in "${!step_beside_pids[@]}"; do
    wait "${step_beside_pids[$i]}" || status=1
    cat "${step_beside_logs[$i]}"
    rm -f "${step_beside_logs[$i]}"
  done
  step_beside_pids=()
  step_beside_logs=()
  return $status
}

step_skip() {
  local name=$1 reason=$2 id
  id=$(step_id)
  printf 'begin\t%s\t%s\t%s\t%s\n' "$id" "$TESVAR_STEP_DEPTH" "$name" "${TESVAR_STEP_PARENT:-}" >>"$TESVAR_STEP_LOG"
  printf 'end\t%s\t0\t0\tskipped: %s\n' "$id" "$reason" >>"$TESVAR_STEP_LOG"
  echo "== $name: skipped: $reason"
}

steps_summary() {
  local total=$(($(date +%s) - ${steps_started:-$(date +%s)})) cpu_seconds
  child_cpu_seconds
  echo
  echo "== time per step (minutes:seconds): wall, and processor time of its programs"
  awk -F'\t' -v total="$total" -v cpu_total="$cpu_seconds" '
    function mmss(s) { return sprintf("%3d:%02d", int(s / 60), s % 60) }
    function spaces(k,   t) { t = ""; while (k-- > 0) t = t " "; return t }
    $1 == "begin" { kids[$5] = kids[$5] " " $2; depth[$2] = $3; name[$2] = $4 }
    $1 == "end"   { secs[$2] = $3; cpu[$2] = $4; result[$2] = $5 }
    # A step, then the steps it ran. The count is of the innermost steps, so that a failure
    # is not counted again in the step that ran it; a step that failed where all of its own
    # steps passed counts as one failure. Returns the failures counted.
    function show(id,   r, list, k, i, f) {
      r = (id in result) ? result[id] : "did not finish"
      printf "%s  %s%s%s\n", (r ~ /^skipped/ ? spaces(14) : mmss(secs[id]) "  " mmss(cpu[id])),
             spaces(2 * depth[id]), name[id], (r == "ok" ? "" : "  " r)
      k = split(kids[id], list, " ")
      f = 0
      for (i = 1; i <= k; i++) f += show(list[i])
      if (k > 0 && (f > 0 || r == "ok")) return f
      if (r == "ok") passed++; else if (r ~ /^skipped/) skipped++; else { failed++; f++ }
      return f
    }
    END {
      n = split(kids[""], roots, " ")
      for (i = 1; i <= n; i++) show(roots[i])
      print mmss(total) "  " mmss(cpu_total) "  in all"
      printf "steps: %d passed, %d failed, %d skipped\n", passed, failed, skipped
    }' "$TESVAR_STEP_LOG"
}
