#!/usr/bin/env bash
# tarvo-host render: Tarvo3 drives an instrument and the WAV must hold its
# notes where the event log puts them. On Linux the instrument is Debian's
# Kars (a plucked string: full level from its note-on's sample, one output);
# on Windows the SineSynth fixture built beside the host (one output too).
# Linux writes 24-bit PCM, Windows 32-bit float. The synthesiser must not
# change what Tarvo3 does: events and state equal those of play byte for
# byte. The level is reported, and overs are counted with a fix that works.
# A MIDI file (--midi-in) renders through the SineSynth fixture alone with
# every note on its sample. Bad input fails cleanly and leaves no WAV behind.
set -euo pipefail
. "$(dirname "$0")/run-host.sh"

FIXTURES="$TARVO_SOURCE_DIR/tests/e2e/fixtures"
if [ "$PLATFORM" = linux ]; then
    . "$(dirname "$0")/thirdparty-plugins.sh"
    SYNTH="$KARS"
    EFFECT="$THREE_BAND_EQ"
    SINE="$(dirname "$HOST")/SineSynth.so"
    FORMAT=pcm24
else
    SYNTH="$(dirname "$HOST")/SineSynth.dll"
    SINE="$SYNTH"
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

# 12 dB too loud: the warning counts the samples over full scale (clipped in
# 24-bit files, kept in float ones) and the --gain it suggests ends it.
run_ok loud render "$PLUGIN" --synth "$SYNTH" --wav "$WORKDIR/loud.wav" --wav-format "$FORMAT" --tail 0.5 \
    "${SCENE[@]}" --gain 12
overs="$(sed -n 's/.*peaks at +[0-9.]* dBFS: \([0-9]*\) samples \(clipped at\|over\) full scale.*/\1/p' loud.err)"
[ -n "$overs" ] && [ "$overs" -gt 0 ] || fail "a render over full scale did not warn: $(cat loud.err)"
json_check loud.json "r['samplesOverFullScale'] == $overs and r['wavPeakDbfs'] > 0" "the summary disagrees with the warning"
/usr/bin/python3 - loud.wav "$FORMAT" "$overs" <<'PY' || fail "the WAV does not hold the counted overs"
import array, sys
data = open(sys.argv[1], "rb").read()
body = data[data.index(b"data") + 8:]
if sys.argv[2] == "float32":
    samples = array.array("f", body)
    found = sum(1 for x in samples if abs(x) > 1.0)
else:
    full = [int.from_bytes(body[i:i + 3], "little", signed=True) for i in range(0, len(body), 3)]
    found = sum(1 for x in full if abs(x) == 8388607)
sys.exit(0 if found == int(sys.argv[3]) else "%d overs in the file, %s reported" % (found, sys.argv[3]))
PY
fix="$(sed -n 's/.*lower the level with --gain \(-*[0-9.]*\) .*/\1/p' loud.err)"
run_ok fixed render "$PLUGIN" --synth "$SYNTH" --wav "$WORKDIR/fixed.wav" --wav-format "$FORMAT" --tail 0.5 \
    "${SCENE[@]}" --gain="$fix"
json_check fixed.json "r['samplesOverFullScale'] == 0 and -1 < r['wavPeakDbfs'] < 0" "--gain $fix did not bring it below full scale"
! grep -q "peaks at" fixed.err || fail "--gain $fix still warns: $(cat fixed.err)"

# A MIDI file through the sine instrument alone: format 1, 480 ticks per
# quarter at 48 kHz: 50 samples a tick at 120 bpm, 75 after the tempo change
# to 80 bpm at tick 1920, which a track of its own holds. The notes use
# running status and end with note-ons of velocity 0.
/usr/bin/python3 - tune.mid damaged.mid <<'PY'
import struct, sys
def quantity(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)
def track(events):
    body = b"".join(quantity(delta) + data for delta, data in events) + b"\x00\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(body)) + body
pitches = [0x3c, 0x3e, 0x40, 0x41, 0x43, 0x45, 0x47]
notes = [(0, b"\x90\x3c\x7f")]
for previous, pitch in zip(pitches, pitches[1:]):
    notes += [(240, bytes([previous, 0])), (240, bytes([pitch, 0x7f]))]
notes.append((240, bytes([pitches[-1], 0])))
tempo = [(0, b"\xff\x51\x03\x07\xa1\x20"), (1920, b"\xff\x51\x03\x0b\x71\xb0")]
data = b"MThd" + struct.pack(">IHHH", 6, 1, 3, 480) + track([(0, b"\xff\x03\x04tune")]) + track(notes) + track(tempo)
open(sys.argv[1], "wb").write(data)
# The damage: the velocity of the fourth note-on (running status) gets its
# top bit set.
second = 14 + 8 + 12 + 8  # header, first track, second track's header
offset = second + len(b"".join(quantity(d) + e for d, e in notes[:6])) + len(quantity(240)) + 1
damaged = bytearray(data)
damaged[offset] |= 0x80
open(sys.argv[2], "wb").write(bytes(damaged))
print(offset, file=open("damaged.offset", "w"))
# A note-off 2^28 - 1 ticks out (the longest delta a file can hold): 37,000
# hours at 480 ticks a beat, more than any WAV file holds.
far = track([(0, b"\x90\x3c\x7f"), (0x0FFFFFFF, b"\x80\x3c\x00")])
open("far.mid", "wb").write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480) + far)
PY
run_ok tune render --midi-in "$WORKDIR/tune.mid" --synth "$SINE" --wav "$WORKDIR/tune.wav" --wav-format float32 \
    --sr 48000 --tail 0.5
# The end of track at tick 3120 is 3.875 s: 186000 frames, 364 blocks of 512.
json_check tune.json "r['noteOns'] == 7 and r['blocks'] == 364 and r['wavFrames'] == 364 * 512 + 24000" \
    "expected 7 notes in 364 blocks and a 0.5 s tail"
/usr/bin/python3 - tune.wav <<'PY' || fail "the MIDI file's notes do not start on their samples"
import array, sys
data = open(sys.argv[1], "rb").read()
left = array.array("f", data[data.index(b"data") + 8:])[0::2]
expected = [0, 24000, 48000, 72000, 96000, 132000, 168000]
starts = [i for i in range(len(left)) if left[i] != 0.0 and not any(left[max(0, i - 100):i])]
sys.exit(0 if starts == expected else "sound starts at %s, expected %s" % (starts[:12], expected))
PY
status=0
run_host render --midi-in "$WORKDIR/damaged.mid" --synth "$SINE" --wav "$WORKDIR/damaged.wav" \
    >damaged.json 2>damaged.err || status=$?
[ "$status" -eq 3 ] && [ "$(wc -l <damaged.err)" -eq 1 ] && grep -q "damaged.mid': byte $(cat damaged.offset): " damaged.err ||
    fail "a damaged MIDI file: expected exit 3 and one line naming byte $(cat damaged.offset), got $status: $(cat damaged.err)"
[ ! -e damaged.wav ] || fail "a damaged MIDI file left a WAV behind"
status=0
run_host render --midi-in "$WORKDIR/far.mid" --synth "$SINE" --wav "$WORKDIR/far.wav" >far.json 2>far.err || status=$?
[ "$status" -eq 3 ] && grep -q "longer than a WAV file can hold" far.err && [ ! -e far.wav.part ] ||
    fail "a MIDI file reaching past what a WAV holds: expected exit 3 before any work, got $status: $(cat far.err)"

# Bad input: a clear message, exit 3 before any work, no WAV (nor its
# temporary file).
refused() {
    local name="$1" message="$2" status=0
    shift 2
    run_host render "$PLUGIN" --blocks 20 --wav "$WORKDIR/$name.wav" "$@" >"$name.json" 2>"$name.err" || status=$?
    [ "$status" -eq 3 ] && grep -q -- "$message" "$name.err" ||
        fail "$name: expected exit 3 and '$message', got $status: $(head -n 3 "$name.err")"
    [ ! -e "$name.wav" ] && [ ! -e "$name.wav.part" ] || fail "$name: a WAV was left behind"
}
refused missing-synth "--synth: cannot load" --synth "$WORKDIR/no-such-synth.so"
refused effect "is not an instrument" --synth "$EFFECT"
status=0
run_host render "$PLUGIN" --blocks 20 --synth "$SYNTH" --wav "$WORKDIR/no-such-folder/out.wav" \
    >unwritable.json 2>unwritable.err || status=$?
[ "$status" -eq 3 ] && grep -q -- "--wav: cannot create" unwritable.err ||
    fail "an unwritable WAV path: expected exit 3 and a clear message, got $status: $(head -n 3 unwritable.err)"
[ ! -e no-such-folder ] || fail "an unwritable WAV path left something behind"

echo "render: $(/usr/bin/python3 "$FIXTURES/onset_check.py" scene.wav render.events --rate 44100 \
    --frames "$FRAMES" --format "$FORMAT" --tolerance-ms 2); events and state as by play;\
 $overs overs counted and fixed by --gain $fix; a MIDI file's 7 notes on their samples; bad input and a MIDI file too long for a WAV refused"
