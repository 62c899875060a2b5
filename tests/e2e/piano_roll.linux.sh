#!/usr/bin/env bash
# scripts/piano-roll.py on the demo scene's events: a PNG of the size asked
# for with every note drawn (no pixel golden: the drawing is matplotlib's),
# and a clear refusal of a file that is not an event log.
set -euo pipefail
. "$(dirname "$0")/run-host.sh"

ROLL="$TARVO_SOURCE_DIR/scripts/piano-roll.py"
PROBE="$TARVO_SOURCE_DIR/tests/e2e/fixtures/png_probe.py"
DEMO="$TARVO_SOURCE_DIR/tools/scenes/demo.script"
/usr/bin/python3 -c "import matplotlib" 2>/dev/null ||
    fail "python3-matplotlib is missing (scripts/install-deps.sh installs it)"

run_ok demo play "$PLUGIN" --script "$DEMO" --tempo 110 --bars 8 --events "$WORKDIR/demo.events"
notes=$(/usr/bin/python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["noteOns"])' demo.json)
"$ROLL" demo.events --scene "$DEMO" --tempo 110 --size 900x450 -o "$WORKDIR/roll.png" >roll.out 2>roll.err ||
    fail "piano-roll.py failed: $(head -n 5 roll.err)"
grep -q ": $notes notes, 900 x 450 pixels" roll.out || fail "the roll does not draw the $notes notes: $(cat roll.out)"
read -r width height colours < <(/usr/bin/python3 "$PROBE" roll.png)
[ "$width $height" = "900 450" ] || fail "the roll is $width x $height pixels, not 900 x 450"
# Background, text, grid and four wall colours at the very least.
[ "$colours" -ge 8 ] || fail "the roll holds only $colours colours: nothing was drawn"

printf 'this is not an event log\n' >bad.events
status=0
"$ROLL" bad.events -o "$WORKDIR/bad.png" >bad.out 2>bad.err || status=$?
[ "$status" -ne 0 ] && grep -q "not an event line" bad.err && [ ! -e bad.png ] ||
    fail "a file that is not an event log: expected a clear refusal, got $status: $(head -n 3 bad.err)"

echo "piano_roll: the demo's $notes notes in a 900 x 450 PNG with $colours colours"
