#!/usr/bin/env bash
# The music follows the host's timeline, not its blocks: the heaviest scene
# played in blocks of 1, 7, 64, 512 and 4096 frames, and with a block size
# that changes during the run (empty blocks included), sends the same events
# byte for byte, and no generated note overlaps another of its pitch and
# channel.
set -euo pipefail
. "$(dirname "$0")/run-host.sh"

samples=38400  # one bar at 300 bpm and 48 kHz
scene=(--script "$TARVO_SOURCE_DIR/tests/e2e/scenes/heavy.script" --tempo 300 --sr 48000)

for frames in 1 7 64 512 4096; do
    run_ok "block$frames" play "$PLUGIN" "${scene[@]}" --block "$frames" \
        --blocks $(((samples + frames - 1) / frames)) --events "$WORKDIR/block$frames.events"
done
cat >varying.script <<'SCRIPT'
0 blocksize 300
3 blocksize 0
4 blocksize 1
104 blocksize 4096
106 blocksize 0
107 blocksize 7
407 blocksize 513
457 blocksize 0
458 blocksize 2048
SCRIPT
run_ok varying play "$PLUGIN" "${scene[@]}" --script "$WORKDIR/varying.script" --blocks 470 \
    --events "$WORKDIR/varying.events"

for events in *.events; do check_no_overlaps "$events"; done
/usr/bin/python3 - "$samples" <<'PY' || fail "the events depend on the block size (see above)"
import sys
end = int(sys.argv[1])
def events(name):
    return [line for line in open(name + ".events") if int(line.split()[0]) < end]
expected = events("block64")
if len(expected) < 200:
    print("block_sizes: only %d events in the bar" % len(expected), file=sys.stderr)
    sys.exit(1)
bad = False
for name in ("block1", "block7", "block512", "block4096", "varying"):
    actual = events(name)
    if actual != expected:
        first = next((i for i, (a, b) in enumerate(zip(actual, expected)) if a != b), min(len(actual), len(expected)))
        print("block_sizes: %s differs from block64 at event %d (%d events against %d)"
              % (name, first, len(actual), len(expected)), file=sys.stderr)
        bad = True
sys.exit(1 if bad else 0)
PY
echo "block sizes: 1, 7, 64, 512, 4096 and a changing size play the same $(wc -l <block64.events) events, none overlapping"
