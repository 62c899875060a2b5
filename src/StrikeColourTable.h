// The colours of the wall strips: one row per strike mark (none, sounding,
// silent, muted) and one column per scale entry, so that a wall shows
// which entry of its scale each position plays and what the last step did
// there. Built once, in single precision, so every build gets the same
// bytes.
#pragma once

#include "StrikeRecord.h"
#include "framework/gui/GuiTypes.h"

class StrikeColourTable {
public:
    static constexpr int NUM_MARKS = 4;
    static constexpr int NUM_ENTRIES = WALL_POSITIONS;

    StrikeColourTable();

    // Out-of-range marks and entries are brought into range.
    const Color& Colour(int mark, int entry) const;

private:
    Color mColours[NUM_MARKS][NUM_ENTRIES];
};

// An opaque colour from hue (degrees), saturation and value (0..1), each
// component scaled to 0..255 and truncated.
Color HsvToColor(float hue, float saturation, float value);
