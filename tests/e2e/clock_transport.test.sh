#!/usr/bin/env bash
# The step clock against hosts that report time the way real ones do:
# a host that rounds its musical position to 1/1920 of a quarter note plays
# the same notes as an exact host; a stop sends the note-offs of sounding
# notes at once; without time information no step fires; double-precision
# processing leaves silent outputs; a block longer than announced is played.
set -euo pipefail
. "$(dirname "$0")/run-host.sh"

scene=(--script "$TARVO_SOURCE_DIR/tools/scenes/demo.script" --sr 48000 --block 480)

play() { # NAME ARGS...: play, keeping the JSON report in NAME.json
    local name="$1" status=0
    shift
    run_host play "$PLUGIN" "$@" >"$name.json" 2>"$name.err" || status=$?
    [ "$status" -eq 0 ] && grep -q '"noteOns"' "$name.json" ||
        fail "$name: play failed (status $status): $(head -n 5 "$name.err")"
}

for tempo in 10 61 120 187 333; do
    play "exact$tempo" "${scene[@]}" --tempo "$tempo" --blocks 600 --events "$WORKDIR/exact$tempo.events"
    play "rounded$tempo" "${scene[@]}" --tempo "$tempo" --blocks 600 --ppq-resolution 1920 \
        --events "$WORKDIR/rounded$tempo.events"
done

play stopped "${scene[@]}" --tempo 120 --blocks 300 --at "150 stop" --events "$WORKDIR/stopped.events"
play notime "${scene[@]}" --tempo 120 --blocks 300 --no-time --events "$WORKDIR/notime.events"
play double "${scene[@]}" --tempo 120 --blocks 300 --precision double
play longblock "${scene[@]}" --tempo 120 --blocks 300 --at "20 blocksize 8192" --at "21 blocksize 480" \
    --events "$WORKDIR/longblock.events"
for events in *.events; do check_no_overlaps "$events"; done

/usr/bin/python3 - <<'PY' || fail "clock checks failed (see above)"
import json, sys

def events(name):
    return [tuple(int(f, 10) if i == 0 else int(f, 16) for i, f in enumerate(line.split()))
            for line in open(name + ".events")]

problems = []
for tempo in (10, 61, 120, 187, 333):
    exact, rounded = events("exact%d" % tempo), events("rounded%d" % tempo)
    if len(exact) < 4 and tempo >= 61:
        problems.append("tempo %d: the exact host played only %d events" % (tempo, len(exact)))
    if len(exact) != len(rounded):
        problems.append("tempo %d: %d events with an exact host, %d when rounding" % (tempo, len(exact), len(rounded)))
        continue
    for a, b in zip(exact, rounded):
        if a[1:] != b[1:] or abs(a[0] - b[0]) > 3:
            problems.append("tempo %d: %s differs from %s" % (tempo, a, b))
            break

# The stop comes before block 150: the note-offs of every sounding note must
# be sent in the first stopped block, at the position where playback stopped.
stop_at = 150 * 480
sounding = set()
for sample, status, note, velocity in events("stopped"):
    kind = status & 0xF0
    if sample > stop_at + 16:
        problems.append("stopped: event %s after the stop" % ((sample, status, note, velocity),))
        break
    if kind == 0x90 and velocity > 0:
        sounding.add((status & 15, note))
    elif kind == 0x80 or kind == 0x90:
        sounding.discard((status & 15, note))
if sounding:
    problems.append("stopped: notes %s never ended" % sorted(sounding))

if json.load(open("notime.json"))["noteOns"] != 0 or events("notime"):
    problems.append("no time information: events were sent")
if json.load(open("double.json"))["outputPeak"] != 0:
    problems.append("double precision left non-silent outputs: %r" % json.load(open("double.json"))["outputPeak"])
if json.load(open("longblock.json"))["noteOns"] < 10:
    problems.append("a longer block than announced stopped the music")
for p in problems:
    print("clock_transport: " + p, file=sys.stderr)
sys.exit(1 if problems else 0)
PY
echo "clock and transport: rounding host continuous at 5 tempi, stop, no time, double precision, long block all good"
