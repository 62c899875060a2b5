#!/usr/bin/python3
"""Draws the notes of a tarvo-host --events file as a piano roll (PNG).

    piano-roll.py EVENTS [--scene SCRIPT] -o OUT.png [--rate HZ] [--tempo BPM]
                  [--sig N/D] [--size WIDTHxHEIGHT]

Each note is a bar from its note-on to its note-off; x is time in seconds
(below) and in bars at the scene's tempo (above), y the note's name. With a
scene whose walls play notes of their own (as the demo scene's do), the bars
are coloured by the wall that struck them; otherwise by velocity. The tempo
and signature come from the options, else from the scene's "0 tempo" and
"0 sig" lines, else 120 bpm in 4/4. The PNG is exactly WIDTH x HEIGHT pixels
(1600x800).
"""
import argparse
import os
import runpy
import sys
import types

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
from matplotlib.patches import Patch  # noqa: E402
from matplotlib.ticker import MaxNLocator  # noqa: E402

DPI = 100
# A thin white edge keeps notes that follow each other apart.
EDGE = {"edgecolor": "white", "linewidth": 0.5}
WALL_COLOURS = ["#1f5fa8", "#d9822b", "#3a9b4a", "#b23a48"]


def load_demo_summary():
    # The scene's wall notes are worked out as the demo summary does.
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "demo-summary.py")
    return types.SimpleNamespace(**runpy.run_path(path))


def read_notes(path):
    """(start, end, note, velocity) per note; a note never ended lasts to the last event."""
    notes, sounding, last = [], {}, 0
    for number, line in enumerate(open(path), 1):
        fields = line.split()
        if not fields:
            continue
        try:
            sample, status, data1, data2 = int(fields[0]), int(fields[1], 16), int(fields[2], 16), int(fields[3], 16)
        except (ValueError, IndexError):
            sys.exit("piano-roll: %s:%d: not an event line (SAMPLE STATUS DATA1 DATA2)" % (path, number))
        last = max(last, sample)
        key = (status & 0x0F, data1)
        if status & 0xF0 == 0x90 and data2 > 0:
            sounding.setdefault(key, []).append((sample, data2))
        elif status & 0xF0 in (0x80, 0x90) and sounding.get(key):
            start, velocity = sounding[key].pop(0)
            notes.append((start, sample, data1, velocity))
    for (channel, note), starts in sounding.items():
        notes.extend((start, last, note, velocity) for start, velocity in starts)
    return sorted(notes)


def scene_timing(script):
    tempo, sig = None, None
    for line in open(script):
        fields = line.split("#")[0].split()
        if len(fields) == 3 and fields[0] == "0" and fields[1] == "tempo":
            tempo = float(fields[2])
        elif len(fields) == 3 and fields[0] == "0" and fields[1] == "sig":
            sig = fields[2]
    return tempo, sig


def wall_owners(summary, script):
    """note -> wall when every wall plays notes no other wall plays, else None."""
    owners = {}
    for wall, notes in enumerate(summary.scene_wall_notes(script)):
        for note in notes:
            if owners.get(note, wall) != wall:
                return None
            owners[note] = wall
    return owners


def main():
    parser = argparse.ArgumentParser(description="Draws a tarvo-host --events file as a piano roll.")
    parser.add_argument("events")
    parser.add_argument("--scene", help="the play script of the scene (walls, tempo)")
    parser.add_argument("-o", "--output", required=True, help="the PNG file to write")
    parser.add_argument("--rate", type=float, default=44100.0, help="sample rate of the run (44100)")
    parser.add_argument("--tempo", type=float, help="tempo of the run in bpm")
    parser.add_argument("--sig", help="time signature of the run, N/D")
    parser.add_argument("--size", default="1600x800", help="WIDTHxHEIGHT in pixels (1600x800)")
    args = parser.parse_args()

    try:
        width, height = (int(v) for v in args.size.lower().split("x"))
        assert 200 <= width <= 10000 and 150 <= height <= 10000
    except (ValueError, AssertionError):
        sys.exit("piano-roll: --size takes WIDTHxHEIGHT, 200x150 to 10000x10000, not '%s'" % args.size)
    summary = load_demo_summary()
    tempo, sig = (scene_timing(args.scene) if args.scene else (None, None))
    tempo = args.tempo or tempo or 120.0
    sig = args.sig or sig or "4/4"
    numerator, denominator = (int(v) for v in sig.split("/"))
    bar_seconds = numerator * 4.0 / denominator * 60.0 / tempo

    notes = read_notes(args.events)
    owners = wall_owners(summary, args.scene) if args.scene else None
    name = os.path.splitext(os.path.basename(args.scene or args.events))[0]

    fig = plt.figure(figsize=(width / DPI, height / DPI), dpi=DPI)
    ax = fig.add_subplot(1, 1, 1)
    seconds = [(start / args.rate, (end - start) / args.rate, note, velocity) for start, end, note, velocity in notes]
    if owners is not None:
        for wall in range(4):
            bars = [s for s in seconds if owners.get(s[2]) == wall]
            for start, length, note, _ in bars:
                ax.broken_barh([(start, max(length, 0.01))], (note - 0.4, 0.8), facecolors=WALL_COLOURS[wall], **EDGE)
        others = [s for s in seconds if s[2] not in owners]
        for start, length, note, _ in others:
            ax.broken_barh([(start, max(length, 0.01))], (note - 0.4, 0.8), facecolors="#888888", **EDGE)
        counts = [sum(1 for s in seconds if owners.get(s[2]) == wall) for wall in range(4)]
        handles = [Patch(color=WALL_COLOURS[w], label="%s wall (%d)" % (summary.WALLS[w], counts[w]))
                   for w in range(4)]
        if others:
            handles.append(Patch(color="#888888", label="no single wall (%d)" % len(others)))
        ax.legend(handles=handles, loc="upper left", bbox_to_anchor=(1.005, 1.0), fontsize="small")
    else:
        colours = plt.get_cmap("viridis")
        for start, length, note, velocity in seconds:
            ax.broken_barh([(start, max(length, 0.01))], (note - 0.4, 0.8), facecolors=colours(velocity / 127.0), **EDGE)
        scale = plt.cm.ScalarMappable(cmap=colours, norm=plt.Normalize(0, 127))
        fig.colorbar(scale, ax=ax, pad=0.01, label="velocity")

    end = max([start + length for start, length, _, _ in seconds] + [bar_seconds])
    ax.set_xlim(0, end * 1.01)
    pitches = sorted({note for _, _, note, _ in seconds})
    if pitches:
        ax.set_ylim(pitches[0] - 1, pitches[-1] + 1)
        ticks = pitches if len(pitches) <= 40 else range(pitches[0] - pitches[0] % 12, pitches[-1] + 1, 12)
        ax.set_yticks(list(ticks))
        ax.set_yticklabels([summary.note_name(note) for note in ticks], fontsize="small")
    else:
        ax.text(0.5, 0.5, "no notes", transform=ax.transAxes, ha="center", va="center")
    ax.set_xlabel("time (s)")
    ax.set_ylabel("note")
    ax.grid(axis="x", color="#dddddd")
    bars = ax.secondary_xaxis("top", functions=(lambda s: s / bar_seconds + 1, lambda b: (b - 1) * bar_seconds))
    bars.xaxis.set_major_locator(MaxNLocator(integer=True))
    bars.set_xlabel("bar (%g bpm, %s)" % (tempo, sig))
    ax.set_title("Tarvo3 - %s: %d notes" % (name, len(notes)))
    fig.tight_layout()
    fig.savefig(args.output, dpi=DPI)
    print("piano-roll: %s: %d notes, %d x %d pixels" % (args.output, len(notes), width, height))


if __name__ == "__main__":
    main()
