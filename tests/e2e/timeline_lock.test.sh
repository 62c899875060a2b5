#!/usr/bin/env bash
# The timeline lock through the host: with the heaviest scene locked, a stop,
# a locate and a play give from the position on the notes of the play from
# sample 0 (note-ons, and the note-offs that end them), and a loop of bars 3
# and 4 bounced offline gives those bars on every pass.
set -euo pipefail
. "$(dirname "$0")/run-host.sh"

scene=(--script "$TARVO_SOURCE_DIR/tests/e2e/scenes/heavy.script" --at "0 lock on" --tempo 300 --sr 48000 --block 64)
BAR=38400  # 4/4 at 300 bpm

run_ok reference play "$PLUGIN" "${scene[@]}" --bars 8 --events "$WORKDIR/reference.events"
# Played to 2.5 bars, stopped, back to 60001: the song played so far holds the
# checkpoints that keep the locate within its block on any machine.
run_ok located play "$PLUGIN" "${scene[@]}" --blocks 5500 --at "1500 stop" --at "1502 locate 60001" \
    --at "1502 play" --events "$WORKDIR/located.events"
run_ok looped play "$PLUGIN" "${scene[@]}" --offline --blocks 2400 --at "0 locate $((2 * BAR))" \
    --at "0 loop $((2 * BAR)) $((4 * BAR))" --events "$WORKDIR/looped.events"
for name in reference located looped; do
    grep -q "timeline lock" "$name.err" && fail "$name: $(cat "$name.err")"
done

/usr/bin/python3 - "$BAR" <<'PY' || fail "the locked timeline did not replay the song (see above)"
import sys

BAR = int(sys.argv[1])

def events(name):
    return [tuple(int(f, 10) if i == 0 else int(f, 16) for i, f in enumerate(line.split()))
            for line in open(name + ".events")]

def played(evs, start, end):
    """The note-ons from start on and the note-offs that end them."""
    last_on, kept = {}, []
    for sample, status, note, velocity in evs:
        kind, key = status & 0xF0, (status & 15, note)
        if kind == 0x90 and velocity > 0:
            last_on[key] = sample
            if start <= sample < end:
                kept.append((sample, status, note, velocity))
        elif kind in (0x80, 0x90):
            if start <= sample < end and last_on.get(key, -1) >= start:
                kept.append((sample, status, note, velocity))
    return kept

problems = []
reference = events("reference")
position, end = 60001, 8 * BAR
located = events("located")
after = located[[i for i in range(1, len(located)) if located[i][0] < located[i - 1][0]][0]:]
expected = played(reference, position, end)
if len(expected) < 200:
    problems.append("the reference plays only %d events after %d" % (len(expected), position))
if played(after, position, end) != expected:
    problems.append("from %d the located play differs from the play from 0" % position)

# Passes of the loop: a new pass starts where the samples go back.
passes, current = [], []
for e in events("looped"):
    if current and e[0] < current[-1][0]:
        passes.append(current)
        current = []
    current.append(e)
passes.append(current)
expected = played(reference, 2 * BAR, 4 * BAR)
if len(passes) != 2:
    problems.append("the loop gave %d passes, not 2" % len(passes))
for number, events_of_pass in enumerate(passes):
    if played(events_of_pass, 2 * BAR, 4 * BAR) != expected:
        problems.append("loop pass %d differs from bars 3 and 4 of the play from 0" % (number + 1))
for p in problems:
    print("timeline_lock: " + p, file=sys.stderr)
sys.exit(1 if problems else 0)
PY
echo "timeline lock: a locate and two offline loop passes replay the song exactly"
