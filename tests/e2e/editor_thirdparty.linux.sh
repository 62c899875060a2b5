#!/usr/bin/env bash
# tarvo-host editor against X11 editors it did not grow up with: Debian's
# Nekobi (DPF, OpenGL) and amsynth (GTK). Each editor must open in a real
# window of its own size, show more than one colour, and take a drag
# delivered through XTEST as a parameter edit the host is told about. Runs
# on a private Xvfb screen, never on a desktop the tester is using.
set -euo pipefail
. "$(dirname "$0")/run-host.sh"
rerun_in_xvfb
. "$(dirname "$0")/thirdparty-plugins.sh"

PROBE="$TARVO_SOURCE_DIR/tests/e2e/fixtures/png_probe.py"

# run_fails NAME STATUS TEXT ARGS...: the host must exit with STATUS and say
# TEXT on standard error.
run_fails() {
    local name="$1" expected="$2" text="$3" status=0
    shift 3
    run_host "$@" >"$name.json" 2>"$name.err" || status=$?
    [ "$status" -eq "$expected" ] && grep -qF -- "$text" "$name.err" ||
        fail "'$*': expected exit $expected saying '$text', got $status: $(head -n 3 "$name.err")"
}

# The capture has the editor's size and is a picture, not an empty window.
check_capture() {
    local png="$1" json="$2" size
    [ -s "$png" ] || fail "$png was not written"
    size="$(/usr/bin/python3 "$PROBE" "$png")" || fail "$png is not a readable PNG"
    read -r width height colours <<<"$size"
    json_check "$json" "r['editorWidth'] == $width and r['editorHeight'] == $height" \
        "$png is ${width}x$height, not the editor's size"
    [ "$colours" -gt 50 ] || fail "$png shows only $colours colours: the editor drew nothing"
}

# Nekobi, untouched: the editor opens at its size and nothing is edited.
run_ok nekobi-idle editor "$NEKOBI" --png "$WORKDIR/nekobi-idle.png" --automation idle.auto
json_check nekobi-idle.json 'r["opened"] is True and r["editorWidth"] > 100 and r["editorHeight"] > 50' \
    "Nekobi: the editor did not open with a size"
json_check nekobi-idle.json 'r["blocks"] == 0 and r["automation"] == 0 and r["inputs"] == 0' \
    "Nekobi without input or --play: expected no blocks and no edits"
check_capture nekobi-idle.png nekobi-idle.json
[ ! -s idle.auto ] || fail "Nekobi reported edits nobody made: $(head -n 3 idle.auto)"

# Dragging the cutoff knob (parameter 2) upwards while the audio thread
# plays: the host hears the edits, and the blocks run meanwhile.
cat >cutoff.input <<'INPUT'
# the CUTOFF knob, pulled up
drag 210 70 210 30
wait 2
INPUT
run_ok nekobi-drag editor "$NEKOBI" --input cutoff.input --png "$WORKDIR/nekobi-drag.png" \
    --automation drag.auto --play --blocks 40
json_check nekobi-drag.json 'r["opened"] is True and r["inputs"] == 2 and r["blocks"] == 40 and r["automation"] > 0' \
    "Nekobi: expected 40 blocks and edits from the drag"
check_capture nekobi-drag.png nekobi-drag.json
awk '$2 != 2 { bad = 1 } END { exit bad ? 1 : 0 }' drag.auto ||
    fail "the cutoff drag edited other parameters than 2: $(head -n 5 drag.auto)"
cmp -s nekobi-idle.png nekobi-drag.png && fail "the drag changed nothing on screen"

# amsynth's SHAPE knob (parameter 23) dragged down: a GTK editor, and
# values that fall step by step as the pointer moves.
printf 'drag 104 43 104 90\n' >shape.input
run_ok ams-drag editor "$AMSYNTH" --input shape.input --png "$WORKDIR/ams-drag.png" --automation ams.auto \
    --chunk-out "$WORKDIR/ams-drag.chunk"
json_check ams-drag.json 'r["opened"] is True and r["automation"] > 0' "amsynth: the drag was not reported"
check_capture ams-drag.png ams-drag.json
awk '$2 != 23 { bad = 1 } NR == 1 { first = $3 } { last = $3 } END { exit (!bad && last < first) ? 0 : 1 }' \
    ams.auto || fail "amsynth: expected SHAPE (23) to fall during the drag: $(tr '\n' ' ' <ams.auto | cut -c1-200)"
# The state saved after the editor closed holds the edit.
run_ok ams-plain play "$AMSYNTH" --blocks 1 --chunk-out "$WORKDIR/ams-plain.chunk"
[ -s ams-drag.chunk ] || fail "amsynth: --chunk-out after the editor wrote no state"
cmp -s ams-plain.chunk ams-drag.chunk && fail "amsynth: the state after the drag equals the untouched state"

# Failures are clear and never hang.
run_fails kars 3 "the plug-in has no editor" editor "$KARS"
json_check kars.json 'r["opened"] is False' "Kars has no editor: expected opened false"

printf 'click 5 5\nclick 5000 5\n' >outside.input
run_fails outside 1 "outside.input:2: the point 5000,5 lies outside the editor" \
    editor "$NEKOBI" --input outside.input
json_check outside.json 'r["opened"] is True and r["inputs"] == 0' \
    "a point outside the editor must stop the run before any input"

printf 'click 5 5\nclick 5\n' >broken.input
run_fails broken 3 "broken.input:2: 'click' takes" editor "$NEKOBI" --input broken.input

status=0
env -u DISPLAY "$HOST" editor "$NEKOBI" >nodisplay.json 2>nodisplay.err || status=$?
[ "$status" -eq 1 ] && grep -q "cannot open the X display" nodisplay.err ||
    fail "without a display: expected exit 1 and a clear message, got $status: $(head -n 3 nodisplay.err)"
json_check nodisplay.json 'r["opened"] is False' "without a display: expected opened false"

start=$(date +%s)
run_fails slow 1 "did not end within 2 s" editor "$NEKOBI" --ticks 2000 --timeout 2
[ $(( $(date +%s) - start )) -lt 20 ] || fail "--timeout 2 took $(( $(date +%s) - start )) s"

echo "editor_thirdparty: Nekobi and amsynth editors open, draw, take drags through XTEST; failures are clear"
