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

# Hear it: the demo scene through Debian's Kars (a plucked-string synth of
# dpf-plugins-vst), and a piano roll of its notes.
synth=/usr/lib/vst/Kars-vst.so
tempo=120
rate=44100
previous=""
for option in "${DEMO_PLAY_OPTIONS[@]}"; do
    case "$previous" in
        --tempo) tempo="$option" ;;
        --sr) rate="$option" ;;
    esac
    previous="$option"
done
say "rendering the demo scene through Kars: out/demo.wav"
rm -f out/demo.wav out/demo-roll.png
run "$host" render "$plugin" --synth "$synth" --synth-param 2=0.4 --wav out/demo.wav "${DEMO_PLAY_OPTIONS[@]}"
length=$(/usr/bin/python3 -c '
import sys, wave
audio = wave.open(sys.argv[1])
print("%.1f s at %d Hz" % (audio.getnframes() / audio.getframerate(), audio.getframerate()))' out/demo.wav)
say "out/demo.wav: $length, 24-bit stereo; listen with: aplay out/demo.wav (or any audio player)"
say "the demo's notes as a piano roll: out/demo-roll.png"
run /usr/bin/python3 scripts/piano-roll.py out/demo-events.txt --scene "$DEMO_SCENE" --tempo "$tempo" --rate "$rate" \
    -o out/demo-roll.png
