#!/usr/bin/env bash
# The Tarvo3 editor in a real window of the platform (X11 on Linux, Win32
# under wine), opened by tarvo-host: its size, its pixels against the
# offscreen rendering of the same state, mouse and key input that changes
# parameters (checked through the saved state and the automation the host
# saw), a host parameter change shown by the knob and its read-out, and the
# editor closed and opened again 50 times while the transport plays.
set -euo pipefail
. "$(dirname "$0")/run-host.sh"
rerun_in_xvfb

editor() { # NAME ARGS...
    local name="$1" status=0
    shift
    run_host editor "$PLUGIN" "$@" >"$name.json" 2>"$name.err" || status=$?
    [ "$status" -eq 0 ] && grep -q '"opened": *true' "$name.json" ||
        fail "$name: the editor run failed (status $status): $(head -n 5 "$name.err")"
}

# 1. A host change of NoteProb while playing, then the window's pixels
#    against the offscreen rendering of the same run.
shown_run=(--blocks 40 --script "$TARVO_SOURCE_DIR/tools/scenes/demo.script" --at "10 param 8 0.2"
    --at "11 param 93 0.73")
editor shown --png "$WORKDIR/shown.png" --ticks 3 --play --speed 4 "${shown_run[@]}" \
    --chunk-out "$WORKDIR/shown.chunk"
run_snapshot --ticks 3 --png "$WORKDIR/offscreen.png" -- "${shown_run[@]}"

# 2. Input through the window system.
cat >input.txt <<'INPUT'
# drag the Tilt knob up by 60 pixels
drag 650 66 650 6
# switch the clock off (Enabled) and press the Flip H contact
click 155 338
click 130 234
# turn the Velocity knob's value down with the wheel
wheel 650 442 -5
# capture the grid into pattern slot 1, clear the rovers, bring it back
click 44 633
wait 2
click 24 281
wait 2
click 84 633
wait 2
# type a new Slow value into the value prompt
click 650 322 right
wait 2
key 2
key period
key 5
key Return
wait 2
INPUT
editor input --input input.txt --ticks 3 --param 118=0.076923 --param 7=0.25 \
    --automation "$WORKDIR/input.automation" --chunk-out "$WORKDIR/input.chunk"

# 3. Closed and opened again 50 times while the transport plays.
editor reopen --play --speed 2 --script "$TARVO_SOURCE_DIR/tools/scenes/demo.script" --reopen 50 --ticks 2

/usr/bin/python3 - "$TARVO_SOURCE_DIR/tests/e2e/fixtures" <<'PY' || fail "editor checks failed (see above)"
import json, struct, sys
sys.path.insert(0, sys.argv[1])
from png_probe import read_png
problems = []
shown = json.load(open("shown.json"))
if (shown["editorWidth"], shown["editorHeight"]) != (729, 650):
    problems.append("the editor is %dx%d, not 729x650" % (shown["editorWidth"], shown["editorHeight"]))
window, offscreen = read_png("shown.png"), read_png("offscreen.png")
if window[:2] != offscreen[:2]:
    problems.append("capture %dx%d, offscreen %dx%d" % (window[0], window[1], offscreen[0], offscreen[1]))
else:
    differing = sum(1 for row_a, row_b in zip(window[2], offscreen[2]) for a, b in zip(row_a, row_b) if a != b)
    if differing:
        problems.append("%d pixels of the window differ from the offscreen rendering" % differing)

def params(path):
    chunk = open(path, "rb").read()
    return struct.unpack("<101d", chunk[-808:])
values = params("input.chunk")
told = {}
for line in open("input.automation"):
    block, index, value = line.split()
    told.setdefault(int(index), []).append(float(value))
if not values[9] > 0.55:
    problems.append("the Tilt drag left Tilt at %r" % values[9])
if values[90] != 0:
    problems.append("the Enabled switch left Enabled at %r" % values[90])
if not values[4] < 80:
    problems.append("the wheel left Velocity at %r" % values[4])
if abs(values[2] - 2.5) > 1e-9:
    problems.append("the value prompt left Slow at %r, expected 2.5" % values[2])
for index in (9, 90, 77, 4, 53, 18, 61, 2):
    if index not in told:
        problems.append("the host was not told of parameter %d" % index)
# The rover placed at row 1, column 0 (code 2: heading east) was flipped to
# column 8, saved, cleared and restored: the state holds it at (1, 8).
chunk = open("input.chunk", "rb").read()
grid = 8 + 8 + 80
name_length = struct.unpack("<i", chunk[grid:grid + 4])[0]
grid += 4 + name_length
count = struct.unpack("<i", chunk[grid + 4:grid + 8])[0]
rovers = [tuple(chunk[grid + 8 + 6 * i:grid + 8 + 6 * i + 2]) for i in range(count)]
if rovers != [(1, 8)]:
    problems.append("the grid holds rovers %r, expected one at (1, 8)" % rovers)
reopen = json.load(open("reopen.json"))
if reopen["reopened"] != 50 or reopen["noteOns"] < 5:
    problems.append("reopening: %d of 50, %d notes played" % (reopen["reopened"], reopen["noteOns"]))
for p in problems:
    print("editor_tarvo: " + p, file=sys.stderr)
sys.exit(1 if problems else 0)
PY
echo "editor: 729x650, window matches the offscreen rendering, input and host changes applied, reopened 50 times"
