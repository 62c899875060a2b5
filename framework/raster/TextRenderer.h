// Text drawn into raster bitmaps with the system's fonts: FreeType with a
// fontconfig lookup on Linux (where "Arial" resolves to a metric-compatible
// face such as Liberation Sans), GDI on Windows.
//
// Layout follows GDI's DrawText with a positive font height: size is the
// height of a text line (the font's ascent plus descent), lines break at
// '\n', each line is aligned inside the rect's width, the first line's top
// sits on the rect's top, and no kerning is applied. Text is drawn with
// RasterBlend_Alpha in the format's colour, its alpha scaled by the glyph
// coverage. Orientation turns the text counter-clockwise about the rect's
// top-left corner. Text is UTF-8; bytes that are not valid UTF-8 are read
// as Latin-1 characters.
#pragma once

#include <cstdint>
#include <memory>

#include "RasterBitmap.h"

enum TextFontStyle {
    TextFontStyle_Normal = 0,
    TextFontStyle_Bold = 1,
    TextFontStyle_Italic = 2
};

enum TextAlignment {
    TextAlignment_Left = 0,
    TextAlignment_Centre = 1,
    TextAlignment_Right = 2
};

struct TextFormat {
    char fontName[32];    // family name, zero-terminated
    int32_t size;         // line height in pixels, 1..2048
    uint32_t color;       // 0xAARRGGBB
    int32_t style;        // TextFontStyle
    int32_t alignment;    // TextAlignment
    int32_t orientation;  // degrees, counter-clockwise
};

// Fills a format; the name is cut to fit.
TextFormat MakeTextFormat(const char* fontName, int size, uint32_t color, int style = TextFontStyle_Normal,
                          int alignment = TextAlignment_Left, int orientation = 0);

struct TextRendererState;

// One renderer per drawing surface. Fonts are looked up once per family,
// style and size and kept. Several renderers may draw at once on different
// threads.
class TextRenderer {
public:
    TextRenderer();
    virtual ~TextRenderer();

    // Draws the text aligned in rect. With clipToRect false the text may
    // spill out of the rect as GDI's unclipped drawing does; it is always
    // clipped to the bitmap. Returns false when no font can be found for the
    // format or the text is null; an empty text draws nothing and succeeds.
    virtual bool DrawTextInRect(RasterBitmap& dest, const TextFormat& format, const char* text, const RasterRect& rect,
                                bool clipToRect = false);

    // The unturned size of the text's layout: the widest line's advance and
    // the line count times the line height. False as for DrawTextInRect.
    virtual bool MeasureText(const TextFormat& format, const char* text, int* pWidth, int* pHeight);

    // Decodes one character of UTF-8 at *pText and advances past it; a byte
    // that does not start a valid sequence is taken as Latin-1. Returns 0 at
    // the end of the text.
    static uint32_t NextCharacter(const char** pText);

private:
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    // The font system's part, one definition per platform
    // (TextRendererPosix.cpp, TextRendererWin32.cpp), called with a text and
    // a usable format. MeasureLines gives the widest line's advance in whole
    // pixels and the line height; DrawLines draws a text that is not empty.
    bool MeasureLines(const TextFormat& format, const char* text, int* pWidest, int* pLineHeight);
    bool DrawLines(RasterBitmap& dest, const TextFormat& format, const char* text, const RasterRect& rect,
                   bool clipToRect);

    std::unique_ptr<TextRendererState> mpState;
};
