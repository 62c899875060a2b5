#!/usr/bin/env bash
# Shows the plug-in at work without a DAW: installs what is missing, builds
# the Linux plug-in and host, prints what the plug-in tells a host about
# itself and plays a few bars, writing the MIDI it generates to
#   out/demo-events.txt  (one line per event: sample, status, data 1, data 2)
#   out/demo.mid         (Standard MIDI File, open it in any MIDI player)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

# ---------------------------------------------------------------------------
# DEMO SCENE: the options of `tarvo-host play` that set up and play the
# scene (tempo, length, state chunk, parameters, script; see the host's
# usage text). The output options are added below.
DEMO_SCENE=tools/scenes/demo.script
DEMO_PLAY_OPTIONS=(--script "$DEMO_SCENE" --tempo 110 --bars 8)
# ---------------------------------------------------------------------------

say() { echo "== demo: $*"; }
run() { echo "\$ $*"; "$@"; }

say "installing missing packages"
scripts/install-deps.sh --if-permitted

say "building the Linux plug-in and host (build/linux)"
scripts/build.sh linux

host=build/linux/tarvo-host
plugin=build/linux/Tarvo3.so
mkdir -p out

say "what the plug-in tells a host"
"$host" info "$plugin" | /usr/bin/python3 -c '
import json, sys
info = json.load(sys.stdin)
print("  %s by %s, version %s, unique id %s, %d parameters, %d programs, flags %s" % (
    info["name"], info["vendor"], info["version"], info["uniqueId"], info["numParams"],
    info["numPrograms"], info["flags"]))'

say "playing the demo scene"
rm -f out/demo-events.txt out/demo.mid
run "$host" play "$plugin" "${DEMO_PLAY_OPTIONS[@]}" --events out/demo-events.txt --mid out/demo.mid

say "out/demo-events.txt: $(wc -l < out/demo-events.txt) MIDI events; first lines:"
head -n 8 out/demo-events.txt
say "out/demo.mid: $(wc -c < out/demo.mid) bytes"
say "summary"
/usr/bin/python3 scripts/demo-summary.py out/demo-events.txt "$DEMO_SCENE"

# The editor as the demo scene leaves it, in a real (virtual) X11 window.
say "the editor after the demo scene: out/editor.png"
rm -f out/editor.png
run xvfb-run -a -s "-screen 0 1280x1024x24" "$host" editor "$plugin" --play --speed 4 \
    "${DEMO_PLAY_OPTIONS[@]}" --ticks 6 --png out/editor.png >/dev/null
say "out/editor.png: $(wc -c < out/editor.png) bytes"
