#!/usr/bin/env bash
# The test command's own scripts: step results and the summary, what the installer asks
# apt-get for (with apt-get and dpkg replaced by stand-ins), when the real-host check skips
# and when it fails, the count of tests per suite, and the 32-bit check against what this
# machine really does.
# Usage: scripts_test.sh REPO
set -uo pipefail
repo=$(cd "${1:?usage: scripts_test.sh REPO}" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tesvar-scripts-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_status() {  # WANT GOT WHAT
  [[ $1 == "$2" ]] || fail "$3: exit status $2, expected $1"
}
expect_line() {  # TEXT PATTERN WHAT
  grep -Eq -- "$2" <<<"$1" || fail "$3: no line matching '$2' in:"$'\n'"$1"
}

# --- Steps: results, nesting, the count, failures passed up --------------------------------
cat >"$work/inner.sh" <<EOF
source "$repo/.ci/steps.sh"
step "inner ok" true
step_skip "inner skipped" "no such thing here"
step "inner fails" false || exit 1
EOF
cat >"$work/outer.sh" <<EOF
source "$repo/.ci/steps.sh"
status=0
step "first" true
step "check" bash "$work/inner.sh" || status=1
step "last" true
steps_summary
exit \$status
EOF
out=$(unset TESVAR_STEP_LOG; bash "$work/outer.sh")
expect_status 1 $? "a failing step inside a check"
expect_line "$out" '^== inner skipped: skipped: no such thing here$' "skip line"
expect_line "$out" '^ +[0-9]+:[0-9]{2} +[0-9]+:[0-9]{2}  check  FAILED' "the check that failed, in the summary"
expect_line "$out" '^ {18}inner skipped  skipped: no such thing here$' "skipped step, indented"
expect_line "$out" '^steps: 3 passed, 1 failed, 1 skipped$' "innermost steps counted once"
[[ $(grep -c '^== inner skipped' <<<"$out") == 1 ]] || fail "the skip is said once"

# --- Steps beside: output held back until the wait, a failure passed up and counted, each
# step's own steps listed under it, processor times their own ----------------------------------
cat >"$work/nested.sh" <<EOF
source "$repo/.ci/steps.sh"
step "\$1" bash -c 'timeout 1 sh -c "while :; do :; done"; true'
EOF
cat >"$work/beside.sh" <<EOF
source "$repo/.ci/steps.sh"
status=0
step_beside "waits" bash -c 'bash "$work/nested.sh" "beside inner"; sleep 1; echo waited; exit 3'
step "meanwhile" bash -c 'echo "in front"; bash "$work/nested.sh" "front inner"'
steps_wait || status=1
steps_summary
exit \$status
EOF
out=$(unset TESVAR_STEP_LOG; bash "$work/beside.sh")
expect_status 1 $? "a failing step beside the others"
[[ $(grep -n -e '^in front$' -e '^waited$' <<<"$out" | cut -d: -f2 | tr '\n' ' ') == "in front waited " ]] ||
  fail "the beside step's output after the steps in front: $out"
expect_line "$out" '^ +[0-9]+:[0-9]{2} +[0-9]+:[0-9]{2}  waits  FAILED \(exit status 3\)$' "the beside step in the summary"
expect_line "$out" '^steps: 2 passed, 1 failed, 0 skipped$' "the inner steps counted, and the failure around them"
summary=$(sed -n '/^== time per step/,$p' <<<"$out" | grep -E '^ +[0-9]+:' | sed -E 's/^ +[0-9:]+ +[0-9:]+  //')
# (The two began at about the same time, in either order.)
[[ $(tr '\n' '|' <<<"$summary") == *"waits  FAILED (exit status 3)|  beside inner|"* &&
   $(tr '\n' '|' <<<"$summary") == *"meanwhile|  front inner|"* ]] || fail "each step under the one that ran it: $summary"
grep -q -- '-[0-9]' <<<"$(sed -n '/^== time per step/,$p' <<<"$out")" && fail "a negative time: $out"

# --- Installer: one update, one install without recommendations, Ardour optional ----------
fake=$work/fake
mkdir -p "$fake"
cat >"$fake/dpkg" <<'EOF'
#!/usr/bin/env bash
# Installed: whatever is listed in $FAKE_INSTALLED.
[[ $1 == --print-foreign-architectures ]] && { echo i386; exit 0; }
[[ $1 == -s ]] && grep -qx -- "$2" "$FAKE_INSTALLED" && exit 0
exit 1
EOF
cat >"$fake/apt-get" <<'EOF'
#!/usr/bin/env bash
# Records each call; an install naming a package in $FAKE_BROKEN fails.
echo "apt-get $*" >>"$FAKE_LOG"
if [[ " $* " == *" install "* ]]; then
  for p in "$@"; do
    grep -qx -- "$p" "$FAKE_BROKEN" && exit 100
  done
fi
exit 0
EOF
cat >"$fake/id" <<'EOF'
#!/usr/bin/env bash
echo 0
EOF
chmod +x "$fake"/*
export FAKE_INSTALLED=$work/installed FAKE_BROKEN=$work/broken FAKE_LOG=$work/apt.log
installer() {
  : >"$FAKE_LOG"
  PATH=$fake:$PATH bash "$repo/tools/install-deps.sh" "$@"
}
read -r -a base <<<"$(bash "$repo/tools/install-deps.sh" --print)"
read -r -a with_tests <<<"$(bash "$repo/tools/install-deps.sh" --print --tests)"
test_only=("${with_tests[@]:${#base[@]}}")
[[ " ${base[*]} " == *" cmake "* && " ${base[*]} " == *" sox "* ]] || fail "the base packages name cmake and sox"

printf '%s\n' "${base[@]}" >"$FAKE_INSTALLED"
: >"$FAKE_BROKEN"
installer >/dev/null
expect_status 0 $? "nothing missing"
[[ -s $FAKE_LOG ]] && fail "nothing missing, yet apt-get ran: $(cat "$FAKE_LOG")"

grep -v -x -e cmake -e sox "$FAKE_INSTALLED" >"$work/some" && mv "$work/some" "$FAKE_INSTALLED"
installer --tests >/dev/null
expect_status 0 $? "missing packages"
log=$(cat "$FAKE_LOG")
[[ $(grep -c ' update' <<<"$log") == 1 ]] || fail "one apt-get update, got: $log"
expect_line "$log" "^apt-get install -y -q --no-install-recommends (.* )?cmake sox ${test_only[*]}\$" \
  "one install of everything missing, without recommendations"

printf '%s\n' "${base[@]}" >"$FAKE_INSTALLED"
echo ardour >"$FAKE_BROKEN"
out=$(installer --realhost)
expect_status 0 $? "Ardour cannot be installed"
expect_line "$out" '^install-deps: ardour bc could not be installed' "one line about Ardour"
expect_line "$(cat "$FAKE_LOG")" 'install .* ardour bc$' "Ardour tried with the rest"

grep -v -x cmake "$FAKE_INSTALLED" >"$work/some" && mv "$work/some" "$FAKE_INSTALLED"
echo cmake >"$FAKE_BROKEN"
installer --realhost >/dev/null 2>&1
expect_status 100 $? "a needed package cannot be installed"

# --- Real-host check: skips only without its script or without Ardour ----------------------
tree=$work/tree
mkdir -p "$tree/repo/.ci/checks" "$tree/repo/tools" "$tree/bin"
cp "$repo/.ci/steps.sh" "$tree/repo/.ci/"
cp "$repo/.ci/checks/realhost.sh" "$tree/repo/.ci/checks/"
# Only the commands the check itself uses, so that an installed Ardour stays out of sight.
for tool in bash mktemp rmdir dirname grep date rm awk cat; do
  ln -s "$(command -v "$tool")" "$tree/bin/$tool"
done
realhost() {
  (unset TESVAR_STEP_LOG; export TESVAR_DEPS_INSTALLED=1; PATH=$tree/bin bash "$tree/repo/.ci/checks/realhost.sh")
}
out=$(realhost)
expect_status 0 $? "no check script"
expect_line "$out" '^== real host \(Ardour\): skipped: \.\./shared/realhost/ardour-check\.sh not found$' "skip without the script"

mkdir -p "$tree/shared/realhost"
printf '#!/usr/bin/env bash\necho "checked $1"\nexit ${CHECK_STATUS:-0}\n' >"$tree/shared/realhost/ardour-check.sh"
out=$(realhost)
expect_status 0 $? "no Ardour"
expect_line "$out" 'skipped: Ardour is not installed and could not be installed$' "skip without Ardour"

printf '#!/bin/sh\nexit 0\n' >"$tree/bin/ardour7-lua"
cp "$tree/bin/ardour7-lua" "$tree/bin/bc"
chmod +x "$tree/bin/ardour7-lua" "$tree/bin/bc"
out=$(realhost)
expect_status 0 $? "Ardour there, the check passes"
expect_line "$out" '^checked build/linux/Tesvar64.so$' "the check ran on the plug-in"
out=$(CHECK_STATUS=1 realhost)
expect_status 1 $? "Ardour there, the check fails"

# --- Tests per suite: a suite that ran none, or a skip where everything is installed, fails --
suites=$work/suites
mkdir -p "$suites"
echo "engine editor" >"$suites/tesvar-suites.txt"
# A stand-in ctest that prints what $FAKE_CTEST holds, and fails when $FAKE_CTEST_STATUS says so.
printf '#!/bin/sh\nprintf "%%b" "$FAKE_CTEST"\nexit ${FAKE_CTEST_STATUS:-0}\n' >"$fake/ctest"
chmod +x "$fake/ctest"
both='Label Time Summary:\neditor    =   3.21 sec*proc (12 tests)\nengine    =  10.50 sec*proc (140 tests)\n\nTotal Test time (real) =  13.71 sec\n'
engine_only='Label Time Summary:\nengine    =  10.50 sec*proc (140 tests)\n\nTotal Test time (real) =  10.50 sec\n'
skip='\nThe following tests did not run:\n\t 7 - X11WindowTest.Opens (Skipped)\n'
while IFS='|' read -r want installed output ctest_status what; do
  out=$(unset TESVAR_DEPS_INSTALLED; [[ -n $installed ]] && export TESVAR_DEPS_INSTALLED=1
        FAKE_CTEST=$output FAKE_CTEST_STATUS=$ctest_status TESVAR_CTEST=$fake/ctest "$repo/tools/ctest-suites.sh" "$suites")
  expect_status "$want" $? "tests per suite: $what"
done <<CASES
0||$both|0|every suite ran
1||$engine_only|0|a suite ran none
1||$both|8|ctest failed
0||$both$skip|0|a skip where not everything is installed
1|yes|$both$skip|0|a skip where everything is installed
CASES
out=$(TESVAR_CTEST="$fake/ctest" FAKE_CTEST=$engine_only "$repo/tools/ctest-suites.sh" "$suites")
expect_line "$out" '^  engine +140$' "the count of a suite"
expect_line "$out" '^  editor +none ran: FAILED$' "the suite that ran none, named"
"$repo/tools/ctest-suites.sh" "$work/nowhere" >/dev/null 2>&1
expect_status 2 $? "a build folder without its list of suites"

# --- 32-bit check: agrees with what this machine does -------------------------------------
if [[ -x /usr/lib/wine/wine ]]; then
  reason=$("$repo/tools/wine-test.sh" --check i686)
  got=$?
  if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    expect_status 0 "$got" "32-bit check on a machine that runs 32-bit programs ($reason)"
  else
    expect_status 1 "$got" "32-bit check on a machine that cannot run 32-bit programs"
    [[ $(wc -l <<<"$reason") == 1 && $reason == *32-bit* ]] || fail "one line saying why, got: $reason"
  fi
fi
"$repo/tools/wine-test.sh" --check arm64 >/dev/null 2>&1
expect_status 2 $? "unknown architecture"

[[ $failures -eq 0 ]] && echo "scripts_test: all cases hold"
[[ $failures -eq 0 ]]
