// Drawing on RasterBitmaps: copies with blending, scaled and rotated
// copies, fills, lines, arcs, circles, pixels and PNG images.
//
// Every function clips to the bitmaps it touches, whatever the rects and
// coordinates (negative, inverted, empty, or near the int32 limits), and
// never reads or writes outside them. Nothing throws or asserts on
// arguments: a call that has nothing visible to do returns quietly.
//
// Compositing (straight alpha, see RasterColor.h). A blend draws a source
// colour S with alpha Sa onto a destination colour D with alpha Da. The
// weight (opacity 0..1) becomes an 8-bit factor w = round(255 * weight),
// and a = round(Sa * w / 255) is the source's effective alpha. For the
// methods that use alpha (RasterBlend_Alpha, _Add, _Dodge), each colour
// channel follows the separable source-over rule
//     T  = 255 a + 255 Da - a Da,  Ra = T / 255
//     R  = (a (255 - Da) S + a Da B(D, S) + (255 - a) Da D) / T
// where B is the method's blend function; on an opaque destination
// (Da = 255) this is simply R = (a B + (255 - a) D) / 255 with Ra = 255.
// On a fully transparent destination the source is placed as it is, with
// alpha a. Every division rounds to the nearest integer; a = 0 leaves the
// destination untouched.
//     RasterBlend_Alpha  B = S                        (plain "over")
//     RasterBlend_Add    B = min(255, D + S)
//     RasterBlend_Dodge  B = 0 when D = 0, else 255 when S = 255, else
//                        min(255, round(255 D / (255 - S)))
// RasterBlend_Plain ignores alpha for mixing: every channel, alpha
// included, becomes round((w S + (255 - w) D) / 255), so at weight 1 the
// source pixel is copied exactly as it is.
//
// Lines, arcs, circles and text coverage multiply into the weight: a pixel
// covered to a fraction c is drawn with the weight factor round(w c), so
// with RasterBlend_Plain the coverage mixes all four channels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "RasterBitmap.h"
#include "RasterColor.h"

// The numbers are the blend methods the editor's controls store.
enum RasterBlend {
    RasterBlend_Alpha = 0,
    RasterBlend_Plain = 1,
    RasterBlend_Add = 2,
    RasterBlend_Dodge = 3
};

// How scaled and rotated copies sample their source. Bilinear sampling
// interpolates in premultiplied form, so transparent pixels do not darken
// the edges of an image.
enum RasterFilter {
    RasterFilter_Nearest = 0,
    RasterFilter_Bilinear = 1
};

namespace Raster {

// Composites the width x height region at (srcX, srcY) of src onto dest at
// (destX, destY). src and dest may be the same bitmap, with overlapping
// regions.
void CopyBitmap(RasterBitmap& dest, int destX, int destY, const RasterBitmap& src, int srcX, int srcY, int width,
                int height, RasterBlend blend = RasterBlend_Alpha, float weight = 1.0f);

// Composites srcRect of src stretched onto destRect of dest. Destination
// pixel x samples the source at srcRect.left + (x - destRect.left + 0.5) *
// srcWidth / destWidth (likewise for y); with RasterFilter_Nearest that is
// the source pixel holding that point, so a 2x enlargement repeats every
// pixel in a 2 x 2 block. Bilinear sampling takes the four source pixels
// around the point and clamps at the edges of srcRect. Destination pixels
// whose sample point lies outside the source bitmap stay untouched.
void ScaledCopy(RasterBitmap& dest, const RasterRect& destRect, const RasterBitmap& src, const RasterRect& srcRect,
                RasterBlend blend = RasterBlend_Alpha, float weight = 1.0f,
                RasterFilter filter = RasterFilter_Bilinear);

// A new bitmap holding the part of rect that lies inside src (pixels copied
// exactly); null when that part is empty or memory runs out.
MemoryBitmap* CroppedCopy(const RasterBitmap& src, const RasterRect& rect);

// A new bitmap of width x height holding all of src scaled (as ScaledCopy,
// pixels written exactly); null when a size is not positive or memory runs
// out.
MemoryBitmap* ScaledBitmap(const RasterBitmap& src, int width, int height, RasterFilter filter = RasterFilter_Bilinear);

// Composites srcRect of src turned clockwise by angle degrees about its
// centre, with that centre placed at (centreX, centreY) of dest, where
// (0, 0) is the top-left corner of pixel (0, 0) (so an unturned image of
// even size lands on whole pixels at centre = left + width / 2). Points that
// fall outside srcRect are not drawn. Angles that are whole multiples of 90
// degrees turn pixels exactly.
void DrawRotated(RasterBitmap& dest, const RasterBitmap& src, const RasterRect& srcRect, float centreX, float centreY,
                 float angle, RasterBlend blend = RasterBlend_Alpha, float weight = 1.0f,
                 RasterFilter filter = RasterFilter_Bilinear);

void FillRect(RasterBitmap& dest, const RasterRect& rect, uint32_t color, RasterBlend blend = RasterBlend_Alpha,
              float weight = 1.0f);

// The pixel's value, or 0 outside the bitmap.
uint32_t GetPixel(const RasterBitmap& bitmap, int x, int y);
// Writes the value as it is, without blending; nothing outside the bitmap.
void PutPixel(RasterBitmap& bitmap, int x, int y, uint32_t color);
// Composites one pixel like a 1 x 1 fill.
void BlendPixel(RasterBitmap& bitmap, int x, int y, uint32_t color, RasterBlend blend = RasterBlend_Alpha,
                float weight = 1.0f);

// Lines run between pixel centres: (x, y) is the centre of pixel (x, y).
// Without antialiasing the endpoints are rounded and the Bresenham pixels
// from one to the other are drawn, both endpoints included (a line and its
// reverse give the same pixels). With antialiasing the line is a band 1
// pixel wide with flat ends through the endpoints, square to the line; each
// pixel is covered by the part of its area inside the band (exact across the
// band, so a horizontal line at a whole y is solid and the coverage of a
// line adds up to its length at any angle). A line of length 0 draws
// nothing when antialiased.
void DrawLine(RasterBitmap& dest, float x1, float y1, float x2, float y2, uint32_t color,
              RasterBlend blend = RasterBlend_Alpha, float weight = 1.0f, bool antialias = true);

// Circles are centred on (centreX, centreY) in pixel-centre coordinates.
// The outline is a ring 1 pixel wide on the radius: without antialiasing
// the pixels whose centres lie less than half a pixel from it, with
// antialiasing each pixel weighted by its area inside the ring, taken
// against the local tangent.
void DrawCircle(RasterBitmap& dest, float centreX, float centreY, float radius, uint32_t color,
                RasterBlend blend = RasterBlend_Alpha, float weight = 1.0f, bool antialias = true);
// The disc: without antialiasing the pixels whose centres lie inside the
// radius, with antialiasing each pixel weighted by its area inside it.
void FillCircle(RasterBitmap& dest, float centreX, float centreY, float radius, uint32_t color,
                RasterBlend blend = RasterBlend_Alpha, float weight = 1.0f, bool antialias = true);
// The part of the circle's outline from startAngle to endAngle, in degrees
// clockwise from the 3 o'clock direction; an arc of 360 degrees or more is
// the whole circle. Pixels are in the arc when the direction of their
// centre lies in the angle range.
void DrawArc(RasterBitmap& dest, float centreX, float centreY, float radius, float startAngle, float endAngle,
             uint32_t color, RasterBlend blend = RasterBlend_Alpha, float weight = 1.0f, bool antialias = true);

// Composites color through an 8-bit coverage mask (glyph images): mask
// pixel (i, j) at pMask + j * rowStride + i * pixelStride covers dest pixel
// (x + i, y + j) with RasterBlend_Alpha. rowStride may be negative (masks
// stored bottom-up); pixelStride lets a mask be one byte of wider pixels.
// Only dest pixels inside clip are touched (clip is clipped to dest too).
void BlendMask(RasterBitmap& dest, int x, int y, const uint8_t* pMask, int maskWidth, int maskHeight,
               ptrdiff_t rowStride, int pixelStride, uint32_t color, const RasterRect& clip);

// Decodes a PNG image of any colour type and depth into straight ARGB
// pixels (palettes and transparency expanded, 16-bit samples rounded to 8,
// no gamma correction). Returns a new bitmap, or null for anything that is
// not a complete, valid PNG or that is larger than 32768 pixels on a side
// or 16M pixels in all; never crashes on malformed data.
MemoryBitmap* DecodePng(const void* pData, size_t size);

// Writes the bitmap as an 8-bit RGBA PNG file (path in the system's
// narrow encoding). Returns false when the bitmap is empty or the file
// cannot be written; a partly written file is removed.
bool WritePngFile(const RasterBitmap& bitmap, const char* path);

}  // namespace Raster
