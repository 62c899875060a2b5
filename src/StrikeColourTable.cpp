#include "StrikeColourTable.h"

#include <algorithm>
#include <cmath>

namespace {

// Hues step evenly along the entries: warm to green for the ordinary
// marks, blue to red for muted positions.
const float HUE_START = 36.0f;
const float HUE_STEP = 4.9411764f;
const float MUTED_HUE_START = 245.0f;
const float MUTED_HUE_STEP = 6.7647057f;

int Component(float value) { return static_cast<int>(value * 255.0f); }

}  // namespace

Color HsvToColor(float hue, float saturation, float value)
{
    if (saturation == 0.0f) {
        int grey = Component(value);
        return Color(255, grey, grey, grey);
    }
    float h = hue / 60.0f;
    float sector = std::floor(h);
    float f = h - sector;
    float p = value * (1.0f - saturation);
    float q = value * (1.0f - saturation * f);
    float t = value * (1.0f - saturation * (1.0f - f));
    float red, green, blue;
    switch (static_cast<int>(sector)) {
    case 0:
        red = value, green = t, blue = p;
        break;
    case 1:
        red = q, green = value, blue = p;
        break;
    case 2:
        red = p, green = value, blue = t;
        break;
    case 3:
        red = p, green = q, blue = value;
        break;
    case 4:
        red = t, green = p, blue = value;
        break;
    default:
        red = value, green = p, blue = q;
        break;
    }
    return Color(255, Component(red), Component(green), Component(blue));
}

StrikeColourTable::StrikeColourTable()
{
    float hue = HUE_START;
    float mutedHue = MUTED_HUE_START;
    for (int entry = 0; entry < NUM_ENTRIES; ++entry) {
        mColours[StrikeMark_None][entry] = HsvToColor(hue, 0.5f, 0.5f);
        mColours[StrikeMark_Sounding][entry] = HsvToColor(hue, 0.9f, 0.8f);
        mColours[StrikeMark_Silent][entry] = HsvToColor(hue, 0.1f, 0.35f);
        mColours[StrikeMark_Muted][entry] = HsvToColor(mutedHue, 0.5f, 0.25f);
        hue += HUE_STEP;
        mutedHue += MUTED_HUE_STEP;
    }
}

const Color& StrikeColourTable::Colour(int mark, int entry) const
{
    if (mark < 0 || mark >= NUM_MARKS) mark = StrikeMark_None;
    entry = std::clamp(entry, 0, NUM_ENTRIES - 1);
    return mColours[mark][entry];
}
