#!/usr/bin/env bash
# tarvo-host against VST 2 plug-ins it did not grow up with (Debian's
# dpf-plugins-vst and amsynth): Kars exports only "main", amsynth has 41
# parameters and program chunks. Both are synths, so MIDI delivered through
# effProcessEvents must make them sound, and without it they stay silent.
set -euo pipefail
. "$(dirname "$0")/run-host.sh"

. "$(dirname "$0")/thirdparty-plugins.sh"

run_ok kars-info info "$KARS"
json_check kars-info.json 'r["name"] == "Kars" and r["numParams"] == 3 and len(r["params"]) == 3' \
    "Kars: expected name Kars with 3 parameters"
json_check kars-info.json 'r["category"] == 2 and r["canDo"]["receiveVstMidiEvent"] == 1' \
    "Kars: expected a synth that receives MIDI"
json_check kars-info.json '[p["name"] for p in r["params"]] == ["Sustain", "Release", "Volume"]' \
    "Kars: unexpected parameter names"

run_ok kars-silent play "$KARS" --blocks 40
json_check kars-silent.json 'r["blocks"] == 40 and r["outputPeak"] == 0.0' \
    "Kars without MIDI: expected 40 silent blocks"
run_ok kars-note play "$KARS" --blocks 40 --set Release=0.2 --at "2 midi 17 90 3c 64" --at "20 midi 0 80 3c 00"
json_check kars-note.json 'r["outputPeak"] > 0.01 and r["events"] == 0' \
    "Kars with a note-on: expected sound and no MIDI output"

status=0
run_host play "$KARS" --blocks 4 --set NoSuchParameter=1 >bad.json 2>bad.err || status=$?
[ "$status" -eq 2 ] && grep -q "no parameter named 'NoSuchParameter'" bad.err ||
    fail "--set with an unknown name: exit $status, stderr: $(head -n 3 bad.err)"

run_ok ams-info info "$AMSYNTH"
json_check ams-info.json 'r["name"] == "amsynth" and r["numParams"] == 41 and len(r["params"]) == 41' \
    "amsynth: expected name amsynth with 41 parameters"
json_check ams-info.json 'len(r["programs"]) == r["numPrograms"] and all(isinstance(p, str) for p in r["programs"])' \
    "amsynth: program names missing"

cat >notes.script <<'SCRIPT'
# a short phrase, stopped and restarted
0 midi 0 90 30 70
4 midi 100 90 37 70    # a fifth above
30 midi 0 80 30 00
30 midi 0 80 37 00
40 stop
50 locate 0
50 play
SCRIPT
run_ok ams-note play "$AMSYNTH" --bars 1 --script notes.script --chunk-out ams.chunk
json_check ams-note.json 'r["blocks"] == 173 and r["outputPeak"] > 0.01' \
    "amsynth with notes: expected 173 blocks (one bar) with sound"
[ -s ams.chunk ] || fail "amsynth: --chunk-out wrote no state"
run_ok ams-restore play "$AMSYNTH" --blocks 4 --chunk-in ams.chunk --chunk-out ams2.chunk
[ -s ams2.chunk ] || fail "amsynth: the restored state could not be saved again"

status=0
run_host play "$AMSYNTH" --blocks 2 --precision double >double.json 2>double.err || status=$?
[ "$status" -eq 3 ] && grep -q "does not process double precision" double.err ||
    fail "amsynth has no double precision: expected a refusal, got exit $status: $(head -n 3 double.err)"

# Not every file in a plug-in folder is a plug-in.
printf 'not a plug-in\n' >fake-vst.so
status=0
run_host info "$WORKDIR/fake-vst.so" >fake.json 2>fake.err || status=$?
[ "$status" -eq 3 ] && grep -q "cannot load" fake.err || fail "a text file was not refused cleanly (exit $status)"

echo "thirdparty_plugin: Kars (main only) and amsynth load, list their parameters, play MIDI and round-trip state"
