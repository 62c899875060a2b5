// The per-pixel blend arithmetic of Raster.h and the row loops built on it.
// Internal to the raster library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Raster.h"
#include "RasterColor.h"

namespace RasterKernels {

// Every channel of d and s mixed as round((w s + (255 - w) d) / 255), two
// channels per multiplication: each 16-bit lane stays below 65536.
inline uint32_t MixAllChannels(uint32_t d, uint32_t s, uint32_t w)
{
    uint32_t inverse = 255 - w;
    uint32_t redBlue = (s & 0x00FF00FFu) * w + (d & 0x00FF00FFu) * inverse + 0x00800080u;
    redBlue = ((redBlue + ((redBlue >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    uint32_t alphaGreen = ((s >> 8) & 0x00FF00FFu) * w + ((d >> 8) & 0x00FF00FFu) * inverse + 0x00800080u;
    alphaGreen = ((alphaGreen + ((alphaGreen >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    return redBlue | alphaGreen << 8;
}

inline uint32_t DodgeChannel(uint32_t d, uint32_t s)
{
    if (d == 0) {
        return 0;
    }
    if (s == 255) {
        return 255;
    }
    uint32_t rest = 255 - s;
    uint32_t value = (255 * d + rest / 2) / rest;
    return value > 255 ? 255 : value;
}

template <int BLEND>
inline uint32_t BlendChannel(uint32_t d, uint32_t s)
{
    if (BLEND == RasterBlend_Add) {
        uint32_t sum = d + s;
        return sum > 255 ? 255 : sum;
    }
    if (BLEND == RasterBlend_Dodge) {
        return DodgeChannel(d, s);
    }
    return s;
}

// Saturating per-channel sum of the colour channels, two per addition.
inline uint32_t AddColorChannels(uint32_t d, uint32_t s)
{
    uint32_t redBlue = (d & 0x00FF00FFu) + (s & 0x00FF00FFu);
    uint32_t green = (d & 0x0000FF00u) + (s & 0x0000FF00u);
    uint32_t overflow = redBlue & 0x01000100u;
    redBlue = (redBlue | (overflow - (overflow >> 8))) & 0x00FF00FFu;
    green = green > 0xFF00u ? 0xFF00u : green;
    return redBlue | green;
}

// Source-over of s with effective alpha a (1..254, or 255 for the blends
// other than RasterBlend_Alpha) on a destination that is not opaque. Kept
// out of line so that the loops over opaque destinations stay small.
template <int BLEND>
#if defined(__GNUC__)
__attribute__((noinline))
#endif
uint32_t
CompositeTranslucent(uint32_t d, uint32_t s, uint32_t a)
{
    uint32_t destAlpha = d >> 24;
    if (destAlpha == 0) {
        return (s & 0x00FFFFFFu) | a << 24;
    }
    uint32_t sourceOnly = a * (255 - destAlpha);
    uint32_t both = a * destAlpha;
    uint32_t destOnly = (255 - a) * destAlpha;
    uint32_t total = sourceOnly + both + destOnly;
    uint32_t half = total / 2;
    uint32_t result = RasterColor::Div255(total) << 24;
    for (int shift = 0; shift <= 16; shift += 8) {
        uint32_t sc = (s >> shift) & 0xFFu;
        uint32_t dc = (d >> shift) & 0xFFu;
        uint32_t value = (sourceOnly * sc + both * BlendChannel<BLEND>(dc, sc) + destOnly * dc + half) / total;
        result |= value << shift;
    }
    return result;
}

// Source-over of s with effective alpha a (1..255) on d, for the blends
// that use alpha.
template <int BLEND>
inline uint32_t Composite(uint32_t d, uint32_t s, uint32_t a)
{
    using namespace RasterColor;
    if (d < 0xFF000000u) {
        return CompositeTranslucent<BLEND>(d, s, a);
    }
    if (BLEND == RasterBlend_Alpha) {
        return MixAllChannels(d, s, a) | 0xFF000000u;
    }
    if (BLEND == RasterBlend_Add) {
        return MixAllChannels(d, AddColorChannels(d, s), a) | 0xFF000000u;
    }
    uint32_t inverse = 255 - a;
    uint32_t red = Div255(BlendChannel<BLEND>(Red(d), Red(s)) * a + Red(d) * inverse);
    uint32_t green = Div255(BlendChannel<BLEND>(Green(d), Green(s)) * a + Green(d) * inverse);
    uint32_t blue = Div255(BlendChannel<BLEND>(Blue(d), Blue(s)) * a + Blue(d) * inverse);
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

// One pixel of any blend; w is the weight factor 0..255.
template <int BLEND>
inline uint32_t BlendOne(uint32_t d, uint32_t s, uint32_t w)
{
    if (BLEND == RasterBlend_Plain) {
        return w == 255 ? s : MixAllChannels(d, s, w);
    }
    uint32_t a = s >> 24;
    if (w != 255) {
        a = RasterColor::Div255(a * w);
    }
    if (a == 0) {
        return d;
    }
    if (BLEND == RasterBlend_Alpha && a == 255) {
        return s;
    }
    return Composite<BLEND>(d, s, a);
}

inline uint32_t BlendAny(uint32_t d, uint32_t s, RasterBlend blend, uint32_t w)
{
    switch (blend) {
    case RasterBlend_Plain:
        return BlendOne<RasterBlend_Plain>(d, s, w);
    case RasterBlend_Add:
        return BlendOne<RasterBlend_Add>(d, s, w);
    case RasterBlend_Dodge:
        return BlendOne<RasterBlend_Dodge>(d, s, w);
    default:
        return BlendOne<RasterBlend_Alpha>(d, s, w);
    }
}

inline bool AllOpaque(const uint32_t* pPixels, int count)
{
    uint32_t all = 0xFFFFFFFFu;
    for (int i = 0; i < count; ++i) {
        all &= pPixels[i];
    }
    return all >= 0xFF000000u;
}

// Alpha and Add onto an opaque row: the mix by a is exact for every a,
// including 0 (destination kept) and 255 (source taken), so the loop needs
// no branches and the compiler can vectorise it.
template <int BLEND>
void BlendOntoOpaqueRow(uint32_t* pDest, const uint32_t* pSrc, ptrdiff_t srcStep, int count, uint32_t w)
{
    for (int i = 0; i < count; ++i) {
        uint32_t d = pDest[i];
        uint32_t s = pSrc[i * srcStep];
        uint32_t a = RasterColor::Div255((s >> 24) * w);
        uint32_t b = BLEND == RasterBlend_Add ? AddColorChannels(d, s) : s;
        pDest[i] = MixAllChannels(d, b, a) | 0xFF000000u;
    }
}

// Blends count pixels of a source row (srcStep 1) or one colour (srcStep 0)
// onto a destination row. reverse walks right to left, for overlapping
// copies inside one row.
template <int BLEND>
void BlendRow(uint32_t* pDest, const uint32_t* pSrc, ptrdiff_t srcStep, int count, uint32_t w, bool reverse)
{
    if (reverse) {
        pSrc += srcStep * (count - 1);
        for (int i = count - 1; i >= 0; --i) {
            pDest[i] = BlendOne<BLEND>(pDest[i], *pSrc, w);
            pSrc -= srcStep;
        }
        return;
    }
    if (BLEND == RasterBlend_Alpha && w == 255 && srcStep == 1) {
        // Images are mostly opaque: copy the opaque runs whole and blend
        // only the pixels between them.
        int i = 0;
        while (i < count) {
            int start = i;
            while (i + 4 <= count && (pSrc[i] & pSrc[i + 1] & pSrc[i + 2] & pSrc[i + 3]) >= 0xFF000000u) {
                i += 4;
            }
            while (i < count && pSrc[i] >= 0xFF000000u) {
                ++i;
            }
            if (i > start) {
                std::memmove(pDest + start, pSrc + start, size_t(i - start) * sizeof(uint32_t));
            }
            while (i < count && pSrc[i] < 0xFF000000u) {
                pDest[i] = BlendOne<BLEND>(pDest[i], pSrc[i], w);
                ++i;
            }
        }
        return;
    }
    if ((BLEND == RasterBlend_Alpha || BLEND == RasterBlend_Add) && AllOpaque(pDest, count)) {
        if (srcStep == 0) {
            BlendOntoOpaqueRow<BLEND>(pDest, pSrc, 0, count, w);
        } else {
            BlendOntoOpaqueRow<BLEND>(pDest, pSrc, 1, count, w);
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        pDest[i] = BlendOne<BLEND>(pDest[i], pSrc[i * srcStep], w);
    }
}

inline void BlendRowAny(uint32_t* pDest, const uint32_t* pSrc, ptrdiff_t srcStep, int count, RasterBlend blend,
                        uint32_t w, bool reverse)
{
    switch (blend) {
    case RasterBlend_Plain:
        BlendRow<RasterBlend_Plain>(pDest, pSrc, srcStep, count, w, reverse);
        break;
    case RasterBlend_Add:
        BlendRow<RasterBlend_Add>(pDest, pSrc, srcStep, count, w, reverse);
        break;
    case RasterBlend_Dodge:
        BlendRow<RasterBlend_Dodge>(pDest, pSrc, srcStep, count, w, reverse);
        break;
    default:
        BlendRow<RasterBlend_Alpha>(pDest, pSrc, srcStep, count, w, reverse);
        break;
    }
}

// Intersection of [a0, a1) with [b0, b1) in 64 bits, so that rects near the
// int32 limits cannot overflow; empty when first >= second.
struct Span {
    int64_t first;
    int64_t second;
};

inline Span Intersect(int64_t a0, int64_t a1, int64_t b0, int64_t b1)
{
    Span span = {a0 > b0 ? a0 : b0, a1 < b1 ? a1 : b1};
    return span;
}

inline bool HasPixels(const RasterBitmap& bitmap)
{
    return bitmap.Width() > 0 && bitmap.Height() > 0 && bitmap.Pixels() != nullptr;
}

}  // namespace RasterKernels
