// The part of text layout that does not depend on the font system (see
// TextRenderer.h for the rules), shared by the FreeType and GDI renderers.
#pragma once

#include "TextRenderer.h"

namespace TextLayout {

const int MAX_TEXT_SIZE = 2048;

inline bool UsableFormat(const TextFormat& format) { return format.size > 0 && format.size <= MAX_TEXT_SIZE; }

// The start of the line after the one at text, or null after the last line.
const char* NextLine(const char* text);
int CountLines(const char* text);

// Where a line of that width starts, from the rect's left edge, by the
// format's alignment; whole pixels, so the glyphs land on the pixel grid as
// GDI places them.
double AlignedOffset(const TextFormat& format, const RasterRect& rect, double lineWidth);

// The format's orientation: a counter-clockwise turn about the rect's
// top-left corner. Right angles are exact.
struct TextTurn {
    explicit TextTurn(int orientation);

    // Screen y points down, so the counter-clockwise turn of the layout
    // point (x, y) is (x cos + y sin, y cos - x sin) from the corner.
    double ScreenX(const RasterRect& rect, double x, double y) const
    {
        return double(rect.left) + x * cosine + y * sine;
    }
    double ScreenY(const RasterRect& rect, double x, double y) const
    {
        return double(rect.top) + y * cosine - x * sine;
    }

    double cosine;
    double sine;
};

}  // namespace TextLayout
