// Pixels are 32-bit 0xAARRGGBB words with straight (not premultiplied)
// alpha: the colour channels hold the colour as it is, whatever the alpha.
// PNG images decode to this form unchanged, and the drawing functions
// composite in it (see Raster.h for the exact arithmetic).
#pragma once

#include <cstdint>

namespace RasterColor {

inline uint32_t Pack(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue)
{
    return (alpha & 0xFFu) << 24 | (red & 0xFFu) << 16 | (green & 0xFFu) << 8 | (blue & 0xFFu);
}

inline uint32_t Alpha(uint32_t color) { return color >> 24; }
inline uint32_t Red(uint32_t color) { return (color >> 16) & 0xFFu; }
inline uint32_t Green(uint32_t color) { return (color >> 8) & 0xFFu; }
inline uint32_t Blue(uint32_t color) { return color & 0xFFu; }

inline uint32_t WithAlpha(uint32_t color, uint32_t alpha) { return (color & 0x00FFFFFFu) | (alpha & 0xFFu) << 24; }

// value / 255 rounded to the nearest integer, exact for 0..65535 (every
// product of two 8-bit values), without a division.
inline uint32_t Div255(uint32_t value)
{
    value += 128;
    return (value + (value >> 8)) >> 8;
}

// A blend weight (opacity 0..1) as an 8-bit factor, rounded to the nearest
// 1/255: 0.5 -> 128, 0.25 -> 64. Out-of-range and NaN weights clamp.
inline uint32_t WeightToFactor(float weight)
{
    if (!(weight > 0.0f)) {
        return 0;
    }
    if (weight >= 1.0f) {
        return 255;
    }
    return static_cast<uint32_t>(weight * 255.0f + 0.5f);
}

}  // namespace RasterColor
