#!/usr/bin/env bash
# "Load scene" and "Save scene" in a real editor window (X11 on Linux, Win32
# under wine): a scene loaded with the editor's button gives the state that
# `play --fxp-in` gives; a damaged, a foreign and a truncated file leave the
# state byte for byte and show a problem on the message line; a scene saved
# with the button (named without extension, into a user folder that does
# not exist yet) loads with --fxp-in to the same state; on Linux, without
# zenity or kdialog, the file buttons say so instead of doing nothing.
#
# The dialogs are answered as a user would: on Linux by a stand-in zenity
# first on PATH (the plug-in runs the dialog as a program of its own), on
# Windows by the host's "answer" input line, which types the file into the
# system's file dialog and presses OK.
set -euo pipefail
. "$(dirname "$0")/run-host.sh"
rerun_in_xvfb

# The plug-in in a folder of its own whose configuration sends saved scenes
# to a folder that does not exist yet.
mkdir -p plugin
cp "$PLUGIN" plugin/
plugin="$WORKDIR/plugin/$(basename "$PLUGIN")"
printf 'UserSceneFolder "%s"\n' "$(host_path "$WORKDIR/user/scenes")" >plugin/Tarvo3.ini

# The stand-in dialog: it records its arguments and answers with the path in
# answer.txt.
mkdir -p bin empty
cat >bin/zenity <<SH
#!/bin/sh
printf '%s\n' "\$@" >"$WORKDIR/zenity-args.txt"
cat "$WORKDIR/answer.txt"
SH
chmod +x bin/zenity

# editor NAME FILE INPUT-LINES... : opens the editor, answers its next file
# dialog with FILE and delivers the input; the state goes to NAME.chunk, the
# window to NAME.png.
editor() {
    local name="$1" file="$2" status=0
    shift 2
    : >"$name.txt"
    if [ "$PLATFORM" = linux ]; then
        printf '%s\n' "$file" >answer.txt
    else
        printf 'answer %s\n' "$(host_path "$file")" >>"$name.txt"
    fi
    printf '%s\n' "$@" >>"$name.txt"
    PATH="$WORKDIR/bin:$PATH" run_host editor "$plugin" --input "$WORKDIR/$name.txt" --ticks 3 \
        --png "$WORKDIR/$name.png" --chunk-out "$WORKDIR/$name.chunk" ${EDITOR_ARGS:-} \
        >"$name.json" 2>"$name.err" || status=$?
    [ "$status" -eq 0 ] && grep -q '"opened": *true' "$name.json" ||
        fail "$name: the editor run failed (status $status): $(head -n 5 "$name.err")"
    if [ "$PLATFORM" != linux ]; then
        json_check "$name.json" 'r["dialogsAnswered"] == 1' "$name: the file dialog was not answered"
    fi
}
LOAD_SCENE="click 647 545"
SAVE_SCENE="click 647 563"
LOAD_SCALE="click 543 517"

heavy="$TARVO_SOURCE_DIR/tests/e2e/scenes/heavy.script"
run_ok scene play "$PLUGIN" --script "$heavy" --blocks 8 --fxp-out "$WORKDIR/heavy.fxp"
run_ok fxp-in play "$PLUGIN" --fxp-in "$WORKDIR/heavy.fxp" --blocks 0 --chunk-out "$WORKDIR/fxp-in.chunk"
run_ok fresh play "$PLUGIN" --blocks 0 --chunk-out "$WORKDIR/fresh.chunk"

# 1. A load through the editor is the state load of --fxp-in.
editor load "$WORKDIR/heavy.fxp" "$LOAD_SCENE" "wait 2"
compare_binary_files fxp-in.chunk load.chunk || fail "the editor's load differs from --fxp-in"
if [ "$PLATFORM" = linux ]; then
    grep -qx -- "--filename=$WORKDIR/plugin/Scenes/" zenity-args.txt ||
        fail "the load dialog did not open in the Scenes folder beside the plug-in: $(tr '\n' ' ' <zenity-args.txt)"
fi

# 2. Files that are no scene of this plug-in change nothing.
/usr/bin/python3 - <<'PY'
data = bytearray(open("heavy.fxp", "rb").read())
damaged = bytearray(data)
damaged[68:] = b"\xee" * (len(data) - 68)  # the state after the chunk's own header
open("damaged.fxp", "wb").write(damaged)
foreign = bytearray(data)
foreign[16:20] = b"Xxxx"  # another plug-in's id
open("foreign.fxp", "wb").write(foreign)
open("truncated.fxp", "wb").write(data[:-100])
PY
for refused in damaged foreign truncated; do
    editor "$refused" "$WORKDIR/$refused.fxp" "$LOAD_SCENE" "wait 2"
    compare_binary_files fresh.chunk "$refused.chunk" || fail "$refused.fxp changed the state"
done

# 3. A saved scene loads to the same state; ".fxp" is added to its name.
EDITOR_ARGS="--fxp-in $WORKDIR/heavy.fxp" editor save "$WORKDIR/user/scenes/Night" "$SAVE_SCENE" "wait 2"
[ -f "user/scenes/Night.fxp" ] || fail "Save scene wrote no user/scenes/Night.fxp: $(ls -R user 2>&1)"
run_ok saved play "$PLUGIN" --fxp-in "$WORKDIR/user/scenes/Night.fxp" --blocks 0 --chunk-out "$WORKDIR/saved.chunk"
compare_binary_files fxp-in.chunk saved.chunk || fail "the saved scene does not load to the state it was saved from"

# 4. Linux without a dialog program: the scale and scene buttons say so.
if [ "$PLATFORM" = linux ]; then
    status=0
    printf '%s\n' "$LOAD_SCALE" "wait 2" "$LOAD_SCENE" "wait 2" >nodialog.txt
    PATH="$WORKDIR/empty" run_host editor "$plugin" --input "$WORKDIR/nodialog.txt" --ticks 3 \
        --png "$WORKDIR/nodialog.png" --chunk-out "$WORKDIR/nodialog.chunk" >nodialog.json 2>nodialog.err || status=$?
    [ "$status" -eq 0 ] || fail "the editor run without a dialog program failed: $(head -n 5 nodialog.err)"
    compare_binary_files fresh.chunk nodialog.chunk || fail "a file button without a dialog changed the state"
fi

# The message line (324..478 x 502..540): the warning amber for problems,
# the label grey for a loaded or saved scene.
/usr/bin/python3 - "$TARVO_SOURCE_DIR/tests/e2e/fixtures" "$PLATFORM" <<'PY' || fail "message line checks failed (see above)"
import os, sys
sys.path.insert(0, sys.argv[1])
from png_probe import read_png

def message_pixels(name):
    width, height, rows = read_png(name + ".png")
    amber = grey = 0
    for y in range(502, 540):
        for x in range(324, 478):
            r, g, b = rows[y][x][:3]
            if r > 150 and r - b > 70 and g > 100:
                amber += 1
            elif r > 120 and abs(r - g) < 20 and abs(g - b) < 20:
                grey += 1
    return amber, grey

problems = []
names = {"load": False, "save": False, "damaged": True, "foreign": True, "truncated": True}
if sys.argv[2] == "linux":
    names["nodialog"] = True
for name, problem in names.items():
    amber, grey = message_pixels(name)
    if problem and amber < 40:
        problems.append("%s: no problem on the message line (%d amber pixels)" % (name, amber))
    if not problem and (grey < 40 or amber > 0):
        problems.append("%s: no confirmation on the message line (%d grey, %d amber pixels)" % (name, grey, amber))
for p in problems:
    print(p, file=sys.stderr)
sys.exit(1 if problems else 0)
PY
echo "scene files: load, refusals, save and messages hold on $PLATFORM"
