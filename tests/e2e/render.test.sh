#!/usr/bin/env bash
# tarvo-host render: Tarvo3 drives an instrument and the WAV must hold its
# notes where the event log puts them. On Linux the instrument is Debian's
# Kars (a plucked string: full level from its note-on's sample, one output);
# on Windows the SineSynth fixture built beside the host (one output too).
# Linux writes 24-bit PCM, Windows 32-bit float. The synthesiser must not
# change what Tarvo3 does: events and state equal those of play byte for
# byte. Bad input fails cleanly and leaves no WAV behind.
set -euo pipefail
. "$(dirname "$0")/run-host.sh"

FIXTURES="$TARVO_SOURCE_DIR/tests/e2e/fixtures"
if [ "$PLATFORM" = linux ]; then
    . "$(dirname "$0")/thirdparty-plugins.sh"
    SYNTH="$KARS"
    EFFECT="$THREE_BAND_EQ"
    FORMAT=pcm24
else
    SYNTH="$(dirname "$HOST")/SineSynth.dll"
    EFFECT="$(dirname "$HOST")/EditorFixture.dll"
    FORMAT=float32
    [ -f "$SYNTH" ] && [ -f "$EFFECT" ] || fail "the Windows fixtures beside $HOST are missing (built with the host)"
fi

# Four bars at 120 bpm in blocks of 512: 690 blocks, then a 1.5 s tail.
BLOCKS=690
FRAMES=$((BLOCKS * 512 + 66150))
SCENE=(--script "$TARVO_SOURCE_DIR/tests/e2e/scenes/onsets.script" --bars 4)

run_ok render render "$PLUGIN" --synth "$SYNTH" --wav "$WORKDIR/scene.wav" --wav-format "$FORMAT" --tail 1.5 \
    "${SCENE[@]}" --events "$WORKDIR/render.events" --chunk-out "$WORKDIR/render.chunk"
json_check render.json "r['blocks'] == $BLOCKS and r['wavFrames'] == $FRAMES and r['noteOns'] >= 10" \
    "expected $BLOCKS blocks, $FRAMES WAV frames and at least 10 notes"
json_check render.json "r['synthPeak'] > 0.01" "the synthesiser stayed silent"
[ ! -e scene.wav.part ] || fail "the temporary WAV was left behind"
/usr/bin/python3 "$FIXTURES/onset_check.py" scene.wav render.events --rate 44100 --frames "$FRAMES" \
    --format "$FORMAT" --tolerance-ms 2 || fail "the WAV does not hold the notes where the event log puts them"

run_ok play play "$PLUGIN" "${SCENE[@]}" --events "$WORKDIR/play.events" --chunk-out "$WORKDIR/play.chunk"
compare_binary_files play.events render.events || fail "render and play sent different MIDI"
compare_binary_files play.chunk render.chunk || fail "render and play left different state"

# Bad input: a clear message, exit 1, no WAV (nor its temporary file).
refused() {
    local name="$1" message="$2" status=0
    shift 2
    run_host render "$PLUGIN" --blocks 20 --wav "$WORKDIR/$name.wav" "$@" >"$name.json" 2>"$name.err" || status=$?
    [ "$status" -eq 1 ] && grep -q -- "$message" "$name.err" ||
        fail "$name: expected exit 1 and '$message', got $status: $(head -n 3 "$name.err")"
    [ ! -e "$name.wav" ] && [ ! -e "$name.wav.part" ] || fail "$name: a WAV was left behind"
}
refused missing-synth "--synth: cannot load" --synth "$WORKDIR/no-such-synth.so"
refused effect "is not an instrument" --synth "$EFFECT"
status=0
run_host render "$PLUGIN" --blocks 20 --synth "$SYNTH" --wav "$WORKDIR/no-such-folder/out.wav" \
    >unwritable.json 2>unwritable.err || status=$?
[ "$status" -eq 1 ] && grep -q -- "--wav: cannot create" unwritable.err ||
    fail "an unwritable WAV path: expected exit 1 and a clear message, got $status: $(head -n 3 unwritable.err)"
[ ! -e no-such-folder ] || fail "an unwritable WAV path left something behind"

echo "render: $(/usr/bin/python3 "$FIXTURES/onset_check.py" scene.wav render.events --rate 44100 \
    --frames "$FRAMES" --format "$FORMAT" --tolerance-ms 2); events and state as by play; bad input refused"
