#!/usr/bin/env bash
# The LV2 bundle by the LV2 project's own tools: lv2_validate (sord_validate against LV2's own
# vocabulary files) finds no error in its Turtle files; lv2info lists the plug-in with its 55
# ports, its UI and the 192 factory presets; lv2bench runs it (instantiates it with the
# fewest features a host can offer and runs blocks of audio).
#
# Usage: tools/lv2/check-bundle.sh BUNDLE
set -uo pipefail
bundle=$(cd "${1:?usage: check-bundle.sh BUNDLE}" && pwd)
uri=https://www.quellmarkmusic.com/lv2/tesvar
for tool in lv2_validate sord_validate lv2info lv2bench; do
  command -v "$tool" >/dev/null || { echo "check-bundle: $tool is not installed"; exit 1; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/tesvar-lv2-bundle.XXXXXX")
trap 'rm -rf "$work"' EXIT
# This bundle, and the LV2 vocabularies (which name the plug-in classes) from the system.
mkdir -p "$work/lv2"
ln -s "$bundle" "$work/lv2/tesvar.lv2"
export LV2_PATH=$work/lv2:/usr/lib/lv2
status=0
fail() { echo "check-bundle: FAIL: $*"; status=1; }

lv2_validate "$bundle"/*.ttl >"$work/validate.log" 2>&1
summary=$(tail -n 1 "$work/validate.log")
echo "check-bundle: lv2_validate: $summary"
[[ $summary == "Found 0 errors"* ]] || { grep -E '^(error|warning)' -A3 "$work/validate.log" | head -n 40; fail "lv2_validate"; }

lv2info "$uri" >"$work/info.log" 2>&1 || fail "lv2info does not know $uri"
ports=$(grep -c '^	Port [0-9]*:' "$work/info.log")
presets=$(grep -cE "Factory Sounds [1-8][1-8]: " "$work/info.log")
echo "check-bundle: lv2info: $ports ports, $presets presets, UI $(grep -c 'X11UI' "$work/info.log")"
[[ $ports -eq 55 ]] || fail "lv2info lists $ports ports, not 55"
[[ $presets -eq 192 ]] || fail "lv2info lists $presets presets, not 192"
grep -qE 'Class: +Instrument Plugin' "$work/info.log" || fail "not listed as an instrument"
grep -q "$uri#ui" "$work/info.log" || fail "the UI is not listed"

lv2bench -b 512 -n 441000 "$uri" >"$work/bench.log" 2>&1
rc=$?
echo "check-bundle: lv2bench: $(grep "$uri" "$work/bench.log" || echo "no result") (exit status $rc)"
[[ $rc -eq 0 ]] && grep -q "$uri" "$work/bench.log" || { cat "$work/bench.log"; fail "lv2bench"; }
[[ $status -eq 0 ]] && echo "check-bundle: PASS"
exit $status
