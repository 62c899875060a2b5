#!/usr/bin/env bash
# tarvo-host validate on this binary at the highest level, with the threads,
# the editor (opened and closed with a control held) and the heaviest scene's
# state: every check must pass. The faults it guards: the editor stalling the
# audio thread (wait-effEditOpen, wait-effEditClose), gestures left open when
# the editor closes (editor-gestures), outputs a speaker arrangement leaves
# unwritten (speaker-arrangement), an absurd block size escaping as an
# exception (block-size-absurd), allocations on the audio thread
# (realtime-allocations; Linux only).
set -euo pipefail
. "$(dirname "$0")/run-host.sh"
rerun_in_xvfb

# The heaviest scene's state, so that the processing checks compare notes.
run_ok scene play "$PLUGIN" --script "$TARVO_SOURCE_DIR/tests/e2e/scenes/heavy.script" --blocks 1 \
    --chunk-out "$WORKDIR/heavy.chunk"

status=0
run_host validate "$PLUGIN" --level 10 --threads --editor --chunk "$WORKDIR/heavy.chunk" \
    --json "$WORKDIR/validate.json" >validate.txt 2>validate.err || status=$?
cat validate.txt
[ -s validate.json ] || fail "validate wrote no JSON (status $status): $(head -n 5 validate.err)"
json_check validate.json 'r["passed"] is True' "validate reported failed checks"
[ "$status" -eq 0 ] || fail "validate exited with $status although every check passed"

# The checks that guard this plug-in's faults ran and measured something.
json_check validate.json 'all(any(c["name"] == n and c["status"] == "PASS" for c in r["checks"]) for n in
    ["wait-effEditOpen", "wait-effEditClose", "editor-gestures", "speaker-arrangement", "block-size-absurd",
     "state-round-trip", "state-damaged", "transport", "threads-editor"])' \
    "a check that guards a known fault did not pass or did not run"
json_check validate.json 'int(next(c for c in r["checks"] if c["name"] == "editor-gestures")["figure"].split()[0]) > 0' \
    "no control was held while the editor closed: editor-gestures proved nothing"
json_check validate.json 'all(int(c["figure"].split()[0]) > 0 for c in r["checks"] if c["name"].startswith("process-"))' \
    "the heaviest scene played no notes in a processing check"
if [ "$PLATFORM" = linux ]; then
    json_check validate.json 'any(c["name"] == "realtime-allocations" and c["status"] == "PASS" for c in r["checks"])' \
        "allocations were not counted on Linux"
fi
