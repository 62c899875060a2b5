#!/usr/bin/env bash
# tarvo-host validate on Debian's third-party VST 2 plug-ins (Kars, Nekobi,
# 3BandEQ, amsynth) at the highest level, threads and editor included. Their
# results are reported, never judged: a check they fail (or a crash, which
# ends their run at that check) is their own, and this test fails only when
# the validator itself could not run (no JSON, not even the instance checks).
set -euo pipefail
. "$(dirname "$0")/run-host.sh"
rerun_in_xvfb
. "$(dirname "$0")/thirdparty-plugins.sh"

for module in "$KARS" "$NEKOBI" "$THREE_BAND_EQ" "$AMSYNTH"; do
    name="$(basename "$module" .so)"
    status=0
    run_host validate "$module" --level 10 --threads --editor --json "$WORKDIR/$name.json" \
        >"$name.txt" 2>"$name.err" || status=$?
    echo "== $name (exit $status)"
    grep -E '^(FAIL|SKIP) ' "$name.txt" || true
    tail -n 1 "$name.txt"
    [ -s "$name.json" ] || fail "validate wrote no JSON for $name: $(tail -n 3 "$name.txt") $(head -n 3 "$name.err")"
    json_check "$name.json" 'len(r["checks"]) >= 3' "validate ran only a few checks on $name"
done
