#!/usr/bin/env bash
# tarvo-host editor on Windows (under wine), against the test fixture
# EditorFixture.dll built beside the Windows host (tests/e2e/fixtures): its
# editor paints four coloured quadrants and reports every mouse and key
# message it receives as parameter edits, so the --automation file shows
# exactly what the host delivered, where, with which button and modifiers.
set -euo pipefail
. "$(dirname "$0")/run-host.sh"

FIXTURE="$(dirname "$HOST")/EditorFixture.dll"
[ -f "$FIXTURE" ] || fail "$FIXTURE is missing (it is built with the Windows host)"

rerun_in_xvfb
# Wine's processes hold this private X display: let them end before Xvfb.
trap wine_idle EXIT

cat >all.input <<'INPUT'
click 100 50 shift
click 200 150 right ctrl
dblclick 30 40
drag 10 10 60 30
wheel 50 60 2
wheel 50 60 -1
key a
key up
INPUT
status=0
run_host editor "$FIXTURE" --input "$WORKDIR/all.input" --png "$WORKDIR/fixture.png" \
    --automation "$WORKDIR/all.auto" --play --blocks 20 >all.json 2>all.err || status=$?
[ "$status" -eq 0 ] || fail "the fixture's editor run exited with $status: $(head -n 5 all.err)"
[ -s all.json ] || fail "no report: the host did not run ($(head -n 3 all.err))"
json_check all.json 'r["opened"] is True and r["editorWidth"] == 320 and r["editorHeight"] == 240' \
    "expected the fixture's 320 x 240 editor to open"
json_check all.json 'r["inputs"] == 8 and r["blocks"] == 20' "expected 8 inputs and 20 blocks"

# What the fixture received, block numbers left out (they depend on timing):
# INDEX VALUE, with index 0 x, 1 y, 2 what, 3 modifiers (see the fixture).
cut -d' ' -f2- all.auto >received.txt
{
    printf '0 0.100000\n1 0.050000\n2 0.010000\n3 0.010000\n'  # left down, shift
    printf '0 0.100000\n1 0.050000\n2 0.020000\n3 0.010000\n'  # left up
    printf '0 0.200000\n1 0.150000\n2 0.030000\n3 0.020000\n'  # right down, ctrl
    printf '0 0.200000\n1 0.150000\n2 0.040000\n3 0.020000\n'  # right up
    printf '0 0.030000\n1 0.040000\n2 0.010000\n3 0.000000\n'  # double click: down,
    printf '0 0.030000\n1 0.040000\n2 0.020000\n3 0.000000\n'  # up,
    printf '0 0.030000\n1 0.040000\n2 0.050000\n3 0.000000\n'  # double click,
    printf '0 0.030000\n1 0.040000\n2 0.020000\n3 0.000000\n'  # up
    printf '0 0.010000\n1 0.010000\n2 0.010000\n3 0.000000\n'  # drag: down at 10,10
    for point in "0.018000 0.013000" "0.026000 0.016000" "0.035000 0.020000" "0.043000 0.023000" \
                 "0.051000 0.026000" "0.060000 0.030000"; do
        set -- $point
        printf '0 %s\n1 %s\n2 0.090000\n3 0.000000\n' "$1" "$2"  # moves with the button held
    done
    printf '0 0.060000\n1 0.030000\n2 0.020000\n3 0.000000\n'  # up at 60,30
    printf '0 0.050000\n1 0.060000\n2 0.060000\n3 0.000000\n'  # wheel up, twice
    printf '0 0.050000\n1 0.060000\n2 0.060000\n3 0.000000\n'
    printf '0 0.050000\n1 0.060000\n2 0.070000\n3 0.000000\n'  # wheel down
    printf '2 0.080000\n4 0.065000\n5 0.097000\n'  # key A, character 'a'
    printf '2 0.080000\n4 0.038000\n'  # key Up, no character
} >expected.txt
compare_files expected.txt received.txt || fail "the fixture did not receive the input as given"

PROBE="$TARVO_SOURCE_DIR/tests/e2e/fixtures/png_probe.py"
[ -s fixture.png ] || fail "--png wrote nothing"
[ "$(/usr/bin/python3 "$PROBE" fixture.png)" = "320 240 4" ] ||
    fail "the capture is not the fixture's 320 x 240 four-colour picture: $(/usr/bin/python3 "$PROBE" fixture.png)"
[ "$(/usr/bin/python3 "$PROBE" fixture.png 5 5 315 5 5 235 315 235 159 119 160 120 | tr '\n' ' ')" = \
  "ff0000 00ff00 0000ff ffffff ff0000 ffffff " ] || fail "the capture's quadrants are wrong or misplaced"

# A plug-in that does not open its editor: a clear failure, opened false.
status=0
run_host editor "$FIXTURE" --param 7=1 >refused.json 2>refused.err || status=$?
[ "$status" -eq 1 ] && grep -q "did not open its editor" refused.err ||
    fail "a refused editor: expected exit 1 and a clear message, got $status: $(head -n 3 refused.err)"
json_check refused.json 'r["opened"] is False' "a refused editor must report opened false"

printf 'click 320 10\n' >outside.input
status=0
run_host editor "$FIXTURE" --input "$WORKDIR/outside.input" >outside.json 2>outside.err || status=$?
[ "$status" -eq 1 ] && grep -q "lies outside the editor (320 x 240)" outside.err ||
    fail "a point outside the editor: expected exit 1, got $status: $(head -n 3 outside.err)"

echo "editor_win32_fixture: the editor opens in a Win32 window, receives posted input exactly, and is captured"
