#!/usr/bin/env bash
# tarvo-host validate on this binary at the highest level, with the threads,
# the editor (opened and closed with a control held) and a factory scene:
# every check must pass, comparing the notes the scene generates. The faults it guards: the editor stalling the
# audio thread (wait-effEditOpen, wait-effEditClose), gestures left open when
# the editor closes (editor-gestures), outputs a speaker arrangement leaves
# unwritten (speaker-arrangement), an absurd block size escaping as an
# exception (block-size-absurd), allocations on the audio thread
# (realtime-allocations; Linux only).
set -euo pipefail
. "$(dirname "$0")/run-host.sh"
rerun_in_xvfb

# A factory scene that plays from its first block, so that the processing
# and state checks compare the notes it generates.
scene="${TARVO_BUILD_DIR:?}/Scenes/Dorian Drift.fxp"
[ -f "$scene" ] || fail "$scene is missing (built by the factory_scenes target)"

status=0
run_host validate "$PLUGIN" --level 10 --threads --editor --chunk "$scene" \
    --json "$WORKDIR/validate.json" >validate.txt 2>validate.err || status=$?
cat validate.txt
[ -s validate.json ] || fail "validate wrote no JSON (status $status): $(head -n 5 validate.err)"
json_check validate.json 'r["passed"] is True and r["counts"]["failed"] == 0' "validate reported failed checks"
[ "$status" -eq 0 ] || fail "validate exited with $status although every check passed"

json_check validate.json 'r["plugin"]["role"] == "generator" and r["counts"]["nothingToCompare"] == 0' \
    "Tarvo3 was not validated as a MIDI generator, or a check had nothing to compare"
# The checks that guard this plug-in's faults ran and measured something.
json_check validate.json 'all(any(c["name"] == n and c["status"] == "PASS" for c in r["checks"]) for n in
    ["wait-effEditOpen", "wait-effEditClose", "editor-gestures", "speaker-arrangement", "block-size-absurd",
     "state-round-trip", "state-same-output", "state-damaged", "transport", "threads-editor"])' \
    "a check that guards a known fault did not pass or did not run"
json_check validate.json 'next(f["value"] for c in r["checks"] if c["name"] == "editor-gestures"
    for f in c["figures"] if f["name"] == "begun") > 0' \
    "no control was held while the editor closed: editor-gestures proved nothing"
# Every check that compares output compared the scene's notes (level 10: five
# rates, the state reload and the transport).
json_check validate.json '[f["value"] > 0 for c in r["checks"] if c["name"].startswith("process-")
    or c["name"] in ("state-same-output", "transport") for f in c["figures"] if f["unit"] == "events"] == [True] * 7' \
    "the scene played no notes in a check that compares them"
if [ "$PLATFORM" = linux ]; then
    json_check validate.json 'any(c["name"] == "realtime-allocations" and c["status"] == "PASS" for c in r["checks"])' \
        "allocations were not counted on Linux"
fi
