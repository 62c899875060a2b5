#include "TextRenderer.h"

#include <cmath>
#include <cstring>

#include "TextLayout.h"

TextFormat MakeTextFormat(const char* fontName, int size, uint32_t color, int style, int alignment, int orientation)
{
    TextFormat format;
    std::memset(&format, 0, sizeof(format));
    if (fontName) {
        std::strncpy(format.fontName, fontName, sizeof(format.fontName) - 1);
    }
    format.size = size;
    format.color = color;
    format.style = style;
    format.alignment = alignment;
    format.orientation = orientation;
    return format;
}

uint32_t TextRenderer::NextCharacter(const char** pText)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(*pText);
    uint32_t lead = p[0];
    if (lead == 0) {
        return 0;
    }
    int length = 0;
    uint32_t value = 0;
    uint32_t lowestSecond = 0x80;
    uint32_t highestSecond = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        // No overlong forms and no UTF-16 surrogates.
        lowestSecond = lead == 0xE0 ? 0xA0 : 0x80;
        highestSecond = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        lowestSecond = lead == 0xF0 ? 0x90 : 0x80;
        highestSecond = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || p[1] < lowestSecond || p[1] > highestSecond) {
        *pText += 1;
        return lead;
    }
    for (int i = 1; i < length; ++i) {
        // A terminating zero fails this test, so the loop never reads past it.
        if (p[i] < 0x80 || p[i] > 0xBF) {
            *pText += 1;
            return lead;
        }
        value = value << 6 | (p[i] & 0x3F);
    }
    *pText += length;
    return value;
}

bool TextRenderer::MeasureText(const TextFormat& format, const char* text, int* pWidth, int* pHeight)
{
    if (!text || !TextLayout::UsableFormat(format)) {
        return false;
    }
    int widest = 0;
    int lineHeight = 0;
    if (!MeasureLines(format, text, &widest, &lineHeight)) {
        return false;
    }
    if (pWidth) {
        *pWidth = widest;
    }
    if (pHeight) {
        *pHeight = TextLayout::CountLines(text) * lineHeight;
    }
    return true;
}

bool TextRenderer::DrawTextInRect(RasterBitmap& dest, const TextFormat& format, const char* text,
                                  const RasterRect& rect, bool clipToRect)
{
    if (!text) {
        return false;
    }
    if (!text[0]) {
        return true;
    }
    if (!TextLayout::UsableFormat(format)) {
        return false;
    }
    return DrawLines(dest, format, text, rect, clipToRect);
}

namespace TextLayout {

const char* NextLine(const char* text)
{
    const char* pBreak = std::strchr(text, '\n');
    return pBreak ? pBreak + 1 : nullptr;
}

int CountLines(const char* text)
{
    int lines = 0;
    for (const char* line = text; line; line = NextLine(line)) {
        ++lines;
    }
    return lines;
}

double AlignedOffset(const TextFormat& format, const RasterRect& rect, double lineWidth)
{
    double rectWidth = double(int64_t(rect.right) - rect.left);
    if (format.alignment == TextAlignment_Centre) {
        return std::floor((rectWidth - lineWidth) / 2.0);
    }
    if (format.alignment == TextAlignment_Right) {
        return std::floor(rectWidth - lineWidth);
    }
    return 0.0;
}

TextTurn::TextTurn(int orientation)
{
    int turn = orientation % 360;
    double radians = double(turn) * 3.14159265358979323846 / 180.0;
    cosine = turn == 90 || turn == -90 || turn == 270 || turn == -270 ? 0.0 : std::cos(radians);
    sine = turn == 180 || turn == -180 || turn == 0 ? 0.0 : std::sin(radians);
}

}  // namespace TextLayout
