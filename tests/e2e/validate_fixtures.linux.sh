#!/usr/bin/env bash
# tarvo-host validate against the small instruments of
# fixtures/ValidateFixture.cpp: the clean one passes with the validator's
# notes compared; one whose sound depends on the block size, one that sounds
# different after its state is loaded again and one that leaves an output
# unwritten each fail the check that guards that fault; a MIDI generator
# that produces nothing is skipped as having nothing to compare, never
# passed. The exit status: 0, 1, and 3 for a plug-in that cannot be used
# (told once, before any check).
set -euo pipefail
. "$(dirname "$0")/run-host.sh"

fixtures="${TARVO_BUILD_DIR:?}/validate-fixtures"
[ -f "$fixtures/ValidateClean.so" ] || fail "$fixtures holds no validate fixtures (build the tarvo_validate_fixture_* targets)"

# validate FIXTURE LEVEL: its status in $status, its output in FIXTURE.txt,
# its JSON in FIXTURE.json.
validate() {
    status=0
    run_host validate "$fixtures/$1.so" --level "$2" --json "$WORKDIR/$1.json" >"$1.txt" 2>"$1.err" || status=$?
    [ -s "$1.json" ] || fail "validate wrote no JSON for $1 (status $status): $(head -n 3 "$1.err")"
}
check_status() {  # NAME CHECK STATUS [REASON-PART]
    json_check "$1.json" "any(c['name'] == '$2' and c['status'] == '$3' and '${4:-}' in c['reason'] for c in r['checks'])" \
        "$1: $2 is not $3 ${4:-}: $(grep -- " $2" "$1.txt" || echo 'not run')"
}

# The clean instrument: every check passes, the processing and state checks
# compared the phrase's notes, and the JSON says what ran.
validate ValidateClean 5
[ "$status" -eq 0 ] || fail "the clean instrument did not pass (status $status): $(grep '^FAIL' ValidateClean.txt)"
for check in process-44100 process-96000 state-same-output transport; do
    json_check ValidateClean.json "any(c['name'] == '$check' and c['status'] == 'PASS' and
        any(f['unit'] == 'notes fed' and f['value'] > 0 for f in c['figures']) for c in r['checks'])" \
        "the clean instrument's $check compared no notes"
done
json_check ValidateClean.json '(r["tool"]["version"] == "1.0.0" and r["commandLine"][1:3] == ["validate", r["plugin"]["path"]]
    and r["level"] == 5 and r["seed"] == 1 and r["plugin"]["name"] == "ValidateFixture"
    and r["plugin"]["vendor"] == "Quillfen" and r["plugin"]["uniqueId"] == 0x54766678 and r["plugin"]["role"] == "instrument"
    and (r["plugin"]["parameters"], r["plugin"]["programs"], r["plugin"]["outputs"]) == (1, 1, 2))' \
    "the JSON does not describe the run and the plug-in"
json_check ValidateClean.json '(r["counts"] == {"passed": len(r["checks"]), "failed": 0, "skipped": 0, "nothingToCompare": 0}
    and all(isinstance(c["seconds"], float) and all(isinstance(f["value"], (int, float)) and f["unit"]
        for f in c["figures"]) for c in r["checks"])
    and next(c for c in r["checks"] if c["name"] == "realtime-longest-call")["figures"][0]["unit"] == "ms")' \
    "the JSON's counts, durations or figures are not numbers with units"

# A fault each, caught by its check.
validate ValidateBlockEvents 4
[ "$status" -eq 1 ] || fail "a failed check did not exit with 1 (status $status)"
check_status ValidateBlockEvents process-44100 FAIL "the audio differs"
validate ValidateReloadDrift 4
check_status ValidateReloadDrift state-same-output FAIL "the audio differs"
validate ValidateUnwritten 4
check_status ValidateUnwritten process-44100 FAIL "left as the host filled them"

# A generator that makes nothing: nothing to compare, counted apart.
validate ValidateGenerator 5
check_status ValidateGenerator process-44100 SKIP "nothing to compare"
check_status ValidateGenerator transport SKIP "nothing to compare"
json_check ValidateGenerator.json 'r["plugin"]["role"] == "generator" and r["counts"]["nothingToCompare"] == 3' \
    "the generator's checks with nothing to compare were not counted apart"

# A plug-in that is not there: one line, before any check, status 3.
status=0
run_host validate "$WORKDIR/missing.so" --json "$WORKDIR/missing.json" >missing.txt 2>missing.err || status=$?
[ "$status" -eq 3 ] || fail "a missing plug-in exited with $status, not 3"
[ ! -s missing.txt ] && [ "$(wc -l <missing.err)" -eq 1 ] ||
    fail "a missing plug-in was not told in one line before any check: $(cat missing.txt missing.err)"
