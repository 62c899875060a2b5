#!/usr/bin/env bash
# The files beside the plug-in module: "Tarvo3.ini" sets the octave numbering
# of note names and names a MIDI map file (relative to the module's folder,
# with a space in its name); mapped controllers and notes move parameters
# and change the music, the host hears of it, unmapped messages only pass
# through, and control change 123 ends the sounding notes of its channel.
set -euo pipefail
. "$(dirname "$0")/run-host.sh"

mkdir -p plug
cp "$PLUGIN" plug/
plugin="$WORKDIR/plug/$(basename "$PLUGIN")"
cat >plug/Tarvo3.ini <<'INI'
; Tarvo3 configuration used by the end-to-end tests
LowestOctave  -1
MidiMap       "my map.txt"   ; a file name with a space
Palette       single
INI
cat >"plug/my map.txt" <<'MAP'
; controller 20 on channel 1 sets the step length, any channel's 21 the tilt
TimeUnits   cc20
Tilt        CC21:16
MFlipH      k37:9      ; a pad on channel 10
nosuchparam cc22
MAP

status=0
run_host info "$plugin" >info.json 2>info.err || status=$?
[ "$status" -eq 0 ] || fail "info failed: $(head -n 3 info.err)"
/usr/bin/python3 - <<'PY' || fail "LowestOctave -1 is not applied to the note names"
import json, sys
params = json.load(open("info.json"))["params"]
display = params[21]["display"]
sys.exit(0 if display == "D3" else "Transp1 reads %r, expected D3" % display)
PY

scene=(--script "$TARVO_SOURCE_DIR/tools/scenes/demo.script" --tempo 120 --blocks 400 --block 512)
play() {
    local name="$1" status=0
    shift
    run_host play "$plugin" "${scene[@]}" "$@" --events "$WORKDIR/$name.events" \
        --automation "$WORKDIR/$name.automation" --chunk-out "$WORKDIR/$name.chunk" >"$name.json" 2>"$name.err" || status=$?
    [ "$status" -eq 0 ] && grep -q '"noteOns"' "$name.json" || fail "$name: play failed: $(head -n 3 "$name.err")"
}
play plain
check_no_overlaps plain.events
# Controller 20 = 127 on channel 1 (status b0): "1/32t" steps from block 50.
# The same controller on channel 2 (b1) and controller 22 are not mapped.
play mapped --at "50 midi 3 b0 14 7f" --at "60 midi 0 b1 14 00" --at "70 midi 0 b0 16 40" \
    --at "80 midi 7 b5 15 00" --at "90 midi 0 99 25 64" --at "300 midi 11 b0 7b 00"
# The one note passed through (channel 10) never sounds twice.
check_no_overlaps mapped.events

/usr/bin/python3 - <<'PY' || fail "MIDI map checks failed (see above)"
import json, struct, sys
problems = []
def events(name):
    return [line.split() for line in open(name + ".events")]
plain, mapped = json.load(open("plain.json")), json.load(open("mapped.json"))
if mapped["noteOns"] < plain["noteOns"] * 2:
    problems.append("controller 20 did not quicken the steps: %d note-ons against %d"
                    % (mapped["noteOns"], plain["noteOns"]))
automation = [line.split() for line in open("mapped.automation")]
told = {(int(b), int(i)) for b, i, v in automation}
for expected in [(50, 0), (80, 9), (90, 77)]:
    if expected not in told:
        problems.append("the host was not told of parameter %d at block %d" % (expected[1], expected[0]))
if any(int(i) not in (0, 9, 77) for b, i, v in automation):
    problems.append("unexpected automation: %r" % automation)
# Every input message passes through at its own offset.
passed = [e for e in events("mapped") if e[1] in ("b0", "b1", "b5", "99")]
wanted = [["25603", "b0", "14", "7f"], ["30720", "b1", "14", "00"], ["35840", "b0", "16", "40"],
          ["40967", "b5", "15", "00"], ["46080", "99", "25", "64"], ["153611", "b0", "7b", "00"]]
if passed != wanted:
    problems.append("passed through %r, expected %r" % (passed, wanted))
# Control change 123 at block 300: no note of channel 1 sounds after it.
sounding = set()
for sample, status, note, velocity in events("mapped"):
    sample = int(sample)
    if sample > 153611:
        break
    if status == "90" and int(velocity, 16):
        sounding.add(note)
    elif status in ("80", "90"):
        sounding.discard(note)
if sounding:
    problems.append("notes %s still sound after control change 123" % sorted(sounding))
# The chunk keeps the new step length (parameter 0 = 15, "1/32t").
chunk = open("mapped.chunk", "rb").read()
time_units = struct.unpack("<d", chunk[len(chunk) - 808:len(chunk) - 800])[0]
if time_units != 15:
    problems.append("TimeUnits in the saved state is %r, expected 15" % time_units)
for p in problems:
    print("midi_map_config: " + p, file=sys.stderr)
sys.exit(1 if problems else 0)
PY
echo "configuration and MIDI map beside the module: note names, mapped controllers and notes, pass-through, all notes off all good"
