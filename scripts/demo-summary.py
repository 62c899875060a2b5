#!/usr/bin/env python3
"""Summarises a demo render: notes per wall and the pitch range.

The demo scene gives every wall a scale slot of its own in a register of its
own, so each note names the wall that struck it. The walls' notes are worked
out from the scene script the way the plug-in lays a scale along a wall.
"""
import sys

DEFAULT_SCALE = [50, 57, 58, 60, 62, 64, 65, 69, 72, 74, 76, 77, 81, 82, 84, 86, 88]
WALLS = ["north", "east", "south", "west"]
NAMES = ["C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"]


def note_name(note):
    # As the plug-in names notes by default: MIDI note 0 is C0.
    return "%s%d" % (NAMES[note % 12], note // 12)


def scene_settings(script):
    params = {}
    for line in open(script):
        fields = line.split()
        if len(fields) == 4 and fields[1] == "param":
            params[int(fields[2])] = float(fields[3])
    transpose = [round(params.get(21 + k, 50 / 127) * 127) for k in range(4)]
    rotate = [round(params.get(33 + k, 0) * 16) for k in range(4)]
    binding = [int(3 * params.get(41 + w, 0) + 0.1) for w in range(4)]
    rows = round(params.get(7, 0.5) * 16) + 1
    cols = round(params.get(6, 0.5) * 16) + 1
    return transpose, rotate, binding, rows, cols


def wall_notes(transpose, rotate):
    notes = []
    for i in range(17):
        n = transpose + DEFAULT_SCALE[(i + rotate) % 17] - DEFAULT_SCALE[0]
        notes.append(min(127, max(0, n)))
    return notes


def scene_wall_notes(script):
    """The notes each wall (north, east, south, west) can strike in the scene."""
    transpose, rotate, binding, rows, cols = scene_settings(script)
    walls = []
    for wall in range(4):
        slot = binding[wall]
        positions = cols if wall in (0, 2) else rows
        walls.append(wall_notes(transpose[slot], rotate[slot])[:positions])
    return walls


def main(events_path, script):
    owner = {}
    for wall, notes in enumerate(scene_wall_notes(script)):
        for note in notes:
            owner.setdefault(note, wall)
    counts = [0, 0, 0, 0]
    unknown = 0
    pitches = []
    for line in open(events_path):
        sample, status, data1, data2 = line.split()
        if int(status, 16) & 0xF0 == 0x90 and int(data2, 16) > 0:
            note = int(data1, 16)
            pitches.append(note)
            if note in owner:
                counts[owner[note]] += 1
            else:
                unknown += 1
    print("notes: %d" % len(pitches))
    for wall in range(4):
        print("  %-5s wall: %3d" % (WALLS[wall], counts[wall]))
    if unknown:
        print("  (%d notes from no single wall)" % unknown)
    if pitches:
        print("pitch range: %s (%d) to %s (%d)" % (note_name(min(pitches)), min(pitches),
                                                    note_name(max(pitches)), max(pitches)))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
