#!/usr/bin/env bash
# The grid editor in a real window (X11 on Linux, Win32 under wine): cell
# clicks in modifier mode and in single-click mode edit the grid as the
# command tables say (checked through the saved state), a pattern's
# thumbnail shows the saved grid, a Ctrl-drag on the step canvas draws a
# line of accent levels, the panel switch shows the sequencer panel, the
# cells and wall strips follow the heaviest scene from capture to capture
# exactly as the offscreen rendering of the same run, and the editor closes
# and opens 50 times while that scene plays.
set -euo pipefail
. "$(dirname "$0")/run-host.sh"
rerun_in_xvfb

editor() { # NAME PLUGIN ARGS...
    local name="$1" plugin="$2" status=0
    shift 2
    run_host editor "$plugin" "$@" >"$name.json" 2>"$name.err" || status=$?
    [ "$status" -eq 0 ] && grep -q '"opened": *true' "$name.json" ||
        fail "$name: the editor run failed (status $status): $(head -n 5 "$name.err")"
}
# A copy of the module with a configuration beside it.
plugin_with_palette() { # FOLDER PALETTE
    mkdir -p "$1"
    cp "$PLUGIN" "$1/"
    printf 'Palette %s\n' "$2" >"$1/Tarvo3.ini"
    echo "$WORKDIR/$1/$(basename "$PLUGIN")"
}
heavy="$TARVO_SOURCE_DIR/tests/e2e/scenes/heavy.script"

# 1. Modifier mode: buttons and modifier keys choose the command; the
#    palettes choose what the plain and Ctrl right clicks place. Cell (r, c)
#    lies at (215 + 19c, 39 + 19r).
cat >modifier.txt <<'INPUT'
click 234 58               # (1,1) left: the rover palette's N
click 253 77 ctrl          # (2,2) NE
click 272 96 alt           # (3,3) N, slow
click 291 115 ctrl alt     # (4,4) NE, slow
click 310 134              # (5,5) a rover ...
click 310 134 shift        # ... removed again
click 329 153 right        # (6,6) obstacle kind 1 ...
click 329 153 right        # ... kind 2
click 66 90                # obstacle palette: wormhole
click 348 172 right ctrl   # (7,7) the palette's wormhole
click 329 153 right shift  # (6,6) no obstacle
click 154 162              # rover palette: SE, slow
click 367 39               # (0,8) SE, slow
click 215 191 ctrl shift   # (8,0) nothing but a repaint
click 44 631               # pattern slot 1 saves the grid
wait 2
INPUT
editor modifier "$(plugin_with_palette modifier Palette)" --input modifier.txt --ticks 3 \
    --png "$WORKDIR/modifier.png" --chunk-out "$WORKDIR/modifier.chunk"

# 2. Single-click mode: left clicks paint with the palette chosen last,
#    right clicks clear the cell.
cat >single.txt <<'INPUT'
click 66 90                # obstacle palette: wormhole
click 253 77               # (2,2) wormhole
click 272 96               # (3,3) wormhole
click 106 42               # rover palette: W
click 291 115              # (4,4) W rover
click 272 96 right         # (3,3) cleared
INPUT
editor single "$(plugin_with_palette single Single)" --input single.txt --ticks 2 \
    --chunk-out "$WORKDIR/single.chunk"

# 3. The sequencer panel, and a line of accent levels drawn with Ctrl held
#    from step 0 near the bottom to step 8 at the top.
cat >panels.txt <<'INPUT'
click 38 511               # PnlSeq
wait 1
drag 127 615 247 552 ctrl
wait 1
INPUT
editor panels "$PLUGIN" --input panels.txt --ticks 3 --png "$WORKDIR/panels.png" \
    --chunk-out "$WORKDIR/panels.chunk"
run_snapshot --chunk-in "$WORKDIR/panels.chunk" --param 393=1 --ticks 3 --png "$WORKDIR/panels-offscreen.png"

# 4. The heaviest scene, captured while the audio thread waits at three
#    block counts, against the offscreen rendering of the same runs.
editor playing "$PLUGIN" --play --speed 2 --script "$heavy" --blocks 40 --ticks 2 \
    --capture-at "20=$WORKDIR/play20.png" --capture-at "30=$WORKDIR/play30.png" \
    --capture-at "40=$WORKDIR/play40.png"
for blocks in 20 30 40; do
    run_snapshot --ticks 2 --png "$WORKDIR/offscreen$blocks.png" -- --script "$heavy" --blocks "$blocks"
done

# 5. Closed and opened 50 times while the heaviest scene plays.
editor reopen "$PLUGIN" --play --speed 2 --script "$heavy" --reopen 50 --ticks 2

/usr/bin/python3 - "$TARVO_SOURCE_DIR/tests/e2e/fixtures" <<'PY' || fail "grid editor checks failed (see above)"
import json, sys
sys.path.insert(0, sys.argv[1])
from png_probe import read_png
from tarvo_state import read_state
problems = []
N, E, S, W, NE, SE = 0, 1, 2, 3, 4, 5

def cell(row, col):
    return 17 * row + col

modifier = read_state(open("modifier.chunk", "rb").read())
expected = [(1, 1, N, 0), (2, 2, NE, 0), (3, 3, N, 1), (4, 4, NE, 1), (0, 8, SE, 1)]
if modifier["rovers"] != expected:
    problems.append("modifier mode: rovers %r, expected %r" % (modifier["rovers"], expected))
kinds = {i: k for i, k in enumerate(modifier["kinds"]) if k}
if kinds != {cell(7, 7): 11}:
    problems.append("modifier mode: obstacles %r, expected a wormhole (11) at (7, 7) only" % kinds)

single = read_state(open("single.chunk", "rb").read())
if single["rovers"] != [(4, 4, W, 0)]:
    problems.append("single-click mode: rovers %r, expected one heading W at (4, 4)" % single["rovers"])
kinds = {i: k for i, k in enumerate(single["kinds"]) if k}
if kinds != {cell(2, 2): 11}:
    problems.append("single-click mode: obstacles %r, expected a wormhole at (2, 2) only" % kinds)

# Thumbnail 1 at (32, 552): 4 x 4 pixels a cell, rovers white, obstacles
# pink, empty cells grey, outside the 9 x 9 window black.
width, height, rows = read_png("modifier.png")
def pixel(x, y):
    return rows[y][x][:3]
for (row, col), colour, what in (((1, 1), (255, 255, 255), "a rover"), ((7, 7), (255, 128, 128), "an obstacle"),
                                 ((0, 0), (127, 127, 127), "an empty cell"), ((0, 12), (0, 0, 0), "outside")):
    got = pixel(32 + 4 * col + 2, 552 + 4 * row + 2)
    if tuple(got) != colour:
        problems.append("thumbnail 1 shows %r for %s at (%d, %d), expected %r" % (got, what, row, col, colour))

levels = read_state(open("panels.chunk", "rb").read())["levels"]
expected = [2, 18, 34, 50, 66, 82, 98, 114, 128] + [128] * 23
if levels != expected:
    problems.append("step canvas levels %r, expected %r" % (levels, expected))

def differing(a, b, box=None):
    wa, ha, ra = read_png(a)
    wb, hb, rb = read_png(b)
    if (wa, ha) != (wb, hb):
        return -1
    x0, y0, x1, y1 = box or (0, 0, wa, ha)
    return sum(1 for y in range(y0, y1) for x in range(x0, x1) if ra[y][x] != rb[y][x])

count = differing("panels.png", "panels-offscreen.png")
if count:
    problems.append("the sequencer panel: %d pixels differ from the offscreen rendering" % count)
playing = json.load(open("playing.json"))
if playing.get("captures") != 3:
    problems.append("%r captures while playing, expected 3" % playing.get("captures"))
grid = (200, 24, 535, 360)
for blocks in (20, 30, 40):
    count = differing("play%d.png" % blocks, "offscreen%d.png" % blocks)
    if count:
        problems.append("after %d blocks %d pixels of the window differ from the offscreen rendering" % (blocks, count))
for a, b in ((20, 30), (30, 40)):
    if differing("play%d.png" % a, "play%d.png" % b, grid) <= 0:
        problems.append("the grid shows the same after %d and %d blocks" % (a, b))

reopen = json.load(open("reopen.json"))
if reopen["reopened"] != 50 or reopen["noteOns"] < 20:
    problems.append("reopening: %d of 50, %d notes played" % (reopen["reopened"], reopen["noteOns"]))
for p in problems:
    print("grid_editor: " + p, file=sys.stderr)
sys.exit(1 if problems else 0)
PY
echo "grid editor: both palette modes, thumbnail, step canvas line, panels, playing captures and 50 reopenings checked"
