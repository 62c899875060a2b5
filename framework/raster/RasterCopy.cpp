#include "Raster.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "RasterKernels.h"

using namespace RasterKernels;

namespace {

// Beyond this, products of positions and sizes no longer fit 64 bits and
// the sample positions are computed in floating point instead.
const int64_t EXACT_LIMIT = int64_t(1) << 30;

int64_t RectWidth(const RasterRect& rect) { return int64_t(rect.right) - rect.left; }
int64_t RectHeight(const RasterRect& rect) { return int64_t(rect.bottom) - rect.top; }

// The source pixel (relative to the source rect's start) whose area holds
// the sample point of destination pixel offset: (offset + 0.5) * source /
// destination, floored.
int64_t NearestSample(int64_t offset, int64_t destSize, int64_t srcSize)
{
    if (destSize < EXACT_LIMIT && srcSize < EXACT_LIMIT) {
        return ((2 * offset + 1) * srcSize) / (2 * destSize);
    }
    double point = (double(offset) + 0.5) * double(srcSize) / double(destSize);
    return static_cast<int64_t>(std::floor(point));
}

// One axis of a bilinear sample: the two source pixels and the weight of
// the second one in 1/256.
struct BilinearTap {
    int32_t first;
    int32_t second;
    uint32_t fraction;
};

BilinearTap MakeTap(double point, int64_t lowest, int64_t highest)
{
    double position = point - 0.5;
    double floored = std::floor(position);
    uint32_t fraction = static_cast<uint32_t>((position - floored) * 256.0 + 0.5);
    int64_t first = static_cast<int64_t>(floored);
    int64_t second = first + 1;
    if (fraction >= 256) {
        fraction = 0;
        first = second;
    }
    first = first < lowest ? lowest : (first > highest ? highest : first);
    second = second < lowest ? lowest : (second > highest ? highest : second);
    BilinearTap tap = {static_cast<int32_t>(first), static_cast<int32_t>(second), fraction};
    return tap;
}

// Interpolates four pixels in premultiplied form and returns the straight
// result; weights are in 1/256 per axis.
uint32_t Interpolate(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, uint32_t fx, uint32_t fy)
{
    if (fx == 0 && fy == 0) {
        return p00;
    }
    const uint64_t weights[4] = {uint64_t(256 - fx) * (256 - fy), uint64_t(fx) * (256 - fy), uint64_t(256 - fx) * fy,
                                 uint64_t(fx) * fy};
    const uint32_t pixels[4] = {p00, p10, p01, p11};
    uint64_t alphaSum = 0;
    uint64_t channelSums[3] = {0, 0, 0};
    for (int k = 0; k < 4; ++k) {
        uint64_t alphaWeight = uint64_t(pixels[k] >> 24) * weights[k];
        alphaSum += alphaWeight;
        channelSums[0] += alphaWeight * ((pixels[k] >> 16) & 0xFFu);
        channelSums[1] += alphaWeight * ((pixels[k] >> 8) & 0xFFu);
        channelSums[2] += alphaWeight * (pixels[k] & 0xFFu);
    }
    if (alphaSum == 0) {
        return 0;
    }
    uint32_t alpha = static_cast<uint32_t>((alphaSum + 32768) >> 16);
    uint32_t red = static_cast<uint32_t>((channelSums[0] + alphaSum / 2) / alphaSum);
    uint32_t green = static_cast<uint32_t>((channelSums[1] + alphaSum / 2) / alphaSum);
    uint32_t blue = static_cast<uint32_t>((channelSums[2] + alphaSum / 2) / alphaSum);
    return RasterColor::Pack(alpha, red, green, blue);
}

bool SharePixels(const RasterBitmap& a, const RasterBitmap& b) { return a.Pixels() == b.Pixels(); }

// The part of rect inside the bitmap, as a rect; empty (left >= right or
// top >= bottom) when they do not meet.
RasterRect ClipToBitmap(const RasterBitmap& bitmap, const RasterRect& rect)
{
    Span x = Intersect(rect.left, rect.right, 0, bitmap.Width());
    Span y = Intersect(rect.top, rect.bottom, 0, bitmap.Height());
    RasterRect clipped = {static_cast<int32_t>(x.first), static_cast<int32_t>(y.first),
                          static_cast<int32_t>(x.second > x.first ? x.second : x.first),
                          static_cast<int32_t>(y.second > y.first ? y.second : y.first)};
    return clipped;
}

// For drawing a bitmap onto itself with sampling: a copy of the part of
// srcRect inside src, and srcRect expressed relative to that copy.
std::unique_ptr<MemoryBitmap> DetachSource(const RasterBitmap& src, const RasterRect& srcRect,
                                           RasterRect* pRelativeRect)
{
    RasterRect inside = ClipToBitmap(src, srcRect);
    std::unique_ptr<MemoryBitmap> copy(Raster::CroppedCopy(src, srcRect));
    RasterRect relative = {srcRect.left - inside.left, srcRect.top - inside.top, srcRect.right - inside.left,
                           srcRect.bottom - inside.top};
    *pRelativeRect = relative;
    return copy;
}

}  // namespace

namespace Raster {

void CopyBitmap(RasterBitmap& dest, int destX, int destY, const RasterBitmap& src, int srcX, int srcY, int width,
                int height, RasterBlend blend, float weight)
{
    uint32_t w = RasterColor::WeightToFactor(weight);
    if (w == 0 || width <= 0 || height <= 0 || !HasPixels(dest) || !HasPixels(src)) {
        return;
    }
    // Offsets k into the region that land inside both bitmaps.
    Span kx = Intersect(0, width, -int64_t(srcX), int64_t(src.Width()) - srcX);
    kx = Intersect(kx.first, kx.second, -int64_t(destX), int64_t(dest.Width()) - destX);
    Span ky = Intersect(0, height, -int64_t(srcY), int64_t(src.Height()) - srcY);
    ky = Intersect(ky.first, ky.second, -int64_t(destY), int64_t(dest.Height()) - destY);
    if (kx.first >= kx.second || ky.first >= ky.second) {
        return;
    }
    int count = static_cast<int>(kx.second - kx.first);
    int rows = static_cast<int>(ky.second - ky.first);
    int destLeft = static_cast<int>(destX + kx.first);
    int destTop = static_cast<int>(destY + ky.first);
    int srcLeft = static_cast<int>(srcX + kx.first);
    int srcTop = static_cast<int>(srcY + ky.first);
    ptrdiff_t destSpan = dest.RowSpan();
    ptrdiff_t srcSpan = src.RowSpan();
    uint32_t* pDest = dest.Pixels() + destTop * destSpan + destLeft;
    const uint32_t* pSrc = src.Pixels() + srcTop * srcSpan + srcLeft;

    // Copying inside one bitmap: walk so that every source pixel is read
    // before the copy overwrites it, as memmove does.
    bool same = SharePixels(dest, src);
    bool bottomUp = same && destTop > srcTop;
    bool reverse = same && destTop == srcTop && destLeft > srcLeft;
    if (bottomUp) {
        pDest += (rows - 1) * destSpan;
        pSrc += (rows - 1) * srcSpan;
        destSpan = -destSpan;
        srcSpan = -srcSpan;
    }
    for (int row = 0; row < rows; ++row) {
        if (blend == RasterBlend_Plain && w == 255) {
            std::memmove(pDest, pSrc, size_t(count) * sizeof(uint32_t));
        } else {
            BlendRowAny(pDest, pSrc, 1, count, blend, w, reverse);
        }
        pDest += destSpan;
        pSrc += srcSpan;
    }
}

void ScaledCopy(RasterBitmap& dest, const RasterRect& destRect, const RasterBitmap& src, const RasterRect& srcRect,
                RasterBlend blend, float weight, RasterFilter filter)
{
    uint32_t w = RasterColor::WeightToFactor(weight);
    int64_t destWidth = RectWidth(destRect);
    int64_t destHeight = RectHeight(destRect);
    int64_t srcWidth = RectWidth(srcRect);
    int64_t srcHeight = RectHeight(srcRect);
    if (w == 0 || destWidth <= 0 || destHeight <= 0 || srcWidth <= 0 || srcHeight <= 0 || !HasPixels(dest) ||
        !HasPixels(src)) {
        return;
    }
    if (SharePixels(dest, src)) {
        RasterRect relative;
        std::unique_ptr<MemoryBitmap> copy = DetachSource(src, srcRect, &relative);
        if (copy) {
            ScaledCopy(dest, destRect, *copy, relative, blend, weight, filter);
        }
        return;
    }
    Span x = Intersect(destRect.left, destRect.right, 0, dest.Width());
    Span y = Intersect(destRect.top, destRect.bottom, 0, dest.Height());
    if (x.first >= x.second || y.first >= y.second) {
        return;
    }
    // Source columns and rows usable for sampling: inside both the source
    // rect and the source bitmap.
    int64_t lowestColumn = srcRect.left > 0 ? srcRect.left : 0;
    int64_t highestColumn = (srcRect.right < src.Width() ? srcRect.right : src.Width()) - 1;
    int64_t lowestRow = srcRect.top > 0 ? srcRect.top : 0;
    int64_t highestRow = (srcRect.bottom < src.Height() ? srcRect.bottom : src.Height()) - 1;
    if (lowestColumn > highestColumn || lowestRow > highestRow) {
        return;
    }

    // The sample column of every destination column; the columns whose
    // sample lands in the source form one run because the mapping grows.
    int count = static_cast<int>(x.second - x.first);
    std::vector<BilinearTap> columns(static_cast<size_t>(count));
    int firstColumn = count;
    int endColumn = 0;
    for (int i = 0; i < count; ++i) {
        int64_t offset = x.first + i - destRect.left;
        int64_t column = srcRect.left + NearestSample(offset, destWidth, srcWidth);
        if (column < lowestColumn || column > highestColumn) {
            continue;
        }
        if (filter == RasterFilter_Bilinear) {
            double point = double(srcRect.left) + (double(offset) + 0.5) * double(srcWidth) / double(destWidth);
            columns[size_t(i)] = MakeTap(point, lowestColumn, highestColumn);
        } else {
            BilinearTap tap = {static_cast<int32_t>(column), static_cast<int32_t>(column), 0};
            columns[size_t(i)] = tap;
        }
        firstColumn = i < firstColumn ? i : firstColumn;
        endColumn = i + 1;
    }
    if (firstColumn >= endColumn) {
        return;
    }
    std::vector<uint32_t> rowPixels(static_cast<size_t>(count));
    const uint32_t* pSource = src.Pixels();
    ptrdiff_t srcSpan = src.RowSpan();
    ptrdiff_t destSpan = dest.RowSpan();
    for (int64_t destY = y.first; destY < y.second; ++destY) {
        int64_t offset = destY - destRect.top;
        int64_t row = srcRect.top + NearestSample(offset, destHeight, srcHeight);
        if (row < lowestRow || row > highestRow) {
            continue;
        }
        if (filter == RasterFilter_Bilinear) {
            double point = double(srcRect.top) + (double(offset) + 0.5) * double(srcHeight) / double(destHeight);
            BilinearTap tap = MakeTap(point, lowestRow, highestRow);
            const uint32_t* pFirst = pSource + tap.first * srcSpan;
            const uint32_t* pSecond = pSource + tap.second * srcSpan;
            for (int i = firstColumn; i < endColumn; ++i) {
                const BilinearTap& c = columns[size_t(i)];
                rowPixels[size_t(i)] = Interpolate(pFirst[c.first], pFirst[c.second], pSecond[c.first],
                                                   pSecond[c.second], c.fraction, tap.fraction);
            }
        } else {
            const uint32_t* pRow = pSource + row * srcSpan;
            for (int i = firstColumn; i < endColumn; ++i) {
                rowPixels[size_t(i)] = pRow[columns[size_t(i)].first];
            }
        }
        uint32_t* pDest = dest.Pixels() + destY * destSpan + x.first;
        BlendRowAny(pDest + firstColumn, rowPixels.data() + firstColumn, 1, endColumn - firstColumn, blend, w, false);
    }
}

MemoryBitmap* CroppedCopy(const RasterBitmap& src, const RasterRect& rect)
{
    if (!HasPixels(src)) {
        return nullptr;
    }
    RasterRect inside = ClipToBitmap(src, rect);
    int width = inside.right - inside.left;
    int height = inside.bottom - inside.top;
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    std::unique_ptr<MemoryBitmap> pCopy(new (std::nothrow) MemoryBitmap(width, height));
    if (!pCopy || pCopy->Width() != width) {
        return nullptr;
    }
    for (int row = 0; row < height; ++row) {
        const uint32_t* pSrc = src.Pixels() + ptrdiff_t(inside.top + row) * src.RowSpan() + inside.left;
        std::memcpy(pCopy->Pixels() + ptrdiff_t(row) * pCopy->RowSpan(), pSrc, size_t(width) * sizeof(uint32_t));
    }
    return pCopy.release();
}

MemoryBitmap* ScaledBitmap(const RasterBitmap& src, int width, int height, RasterFilter filter)
{
    if (width <= 0 || height <= 0 || !HasPixels(src)) {
        return nullptr;
    }
    std::unique_ptr<MemoryBitmap> pCopy(new (std::nothrow) MemoryBitmap(width, height));
    if (!pCopy || pCopy->Width() != width) {
        return nullptr;
    }
    RasterRect destRect = {0, 0, width, height};
    RasterRect srcRect = {0, 0, src.Width(), src.Height()};
    ScaledCopy(*pCopy, destRect, src, srcRect, RasterBlend_Plain, 1.0f, filter);
    return pCopy.release();
}

void DrawRotated(RasterBitmap& dest, const RasterBitmap& src, const RasterRect& srcRect, float centreX, float centreY,
                 float angle, RasterBlend blend, float weight, RasterFilter filter)
{
    uint32_t w = RasterColor::WeightToFactor(weight);
    int64_t srcWidth = RectWidth(srcRect);
    int64_t srcHeight = RectHeight(srcRect);
    if (w == 0 || srcWidth <= 0 || srcHeight <= 0 || !HasPixels(dest) || !HasPixels(src) || !std::isfinite(centreX) ||
        !std::isfinite(centreY) || !std::isfinite(angle)) {
        return;
    }
    if (SharePixels(dest, src)) {
        RasterRect relative;
        std::unique_ptr<MemoryBitmap> copy = DetachSource(src, srcRect, &relative);
        if (copy) {
            DrawRotated(dest, *copy, relative, centreX, centreY, angle, blend, weight, filter);
        }
        return;
    }
    RasterRect inside = ClipToBitmap(src, srcRect);
    if (inside.left >= inside.right || inside.top >= inside.bottom) {
        return;
    }

    // Quarter turns get exact factors so that they move pixels without any
    // rounding.
    double turn = std::fmod(double(angle), 360.0);
    if (turn < 0) {
        turn += 360.0;
    }
    double cosine;
    double sine;
    if (turn == 0.0) {
        cosine = 1.0;
        sine = 0.0;
    } else if (turn == 90.0) {
        cosine = 0.0;
        sine = 1.0;
    } else if (turn == 180.0) {
        cosine = -1.0;
        sine = 0.0;
    } else if (turn == 270.0) {
        cosine = 0.0;
        sine = -1.0;
    } else {
        double radians = turn * 3.14159265358979323846 / 180.0;
        cosine = std::cos(radians);
        sine = std::sin(radians);
    }

    // Destination area: the turned corners of the source rect.
    double halfWidth = double(srcWidth) / 2.0;
    double halfHeight = double(srcHeight) / 2.0;
    double extentX = std::fabs(cosine) * halfWidth + std::fabs(sine) * halfHeight;
    double extentY = std::fabs(sine) * halfWidth + std::fabs(cosine) * halfHeight;
    double left = std::floor(double(centreX) - extentX);
    double right = std::ceil(double(centreX) + extentX);
    double top = std::floor(double(centreY) - extentY);
    double bottom = std::ceil(double(centreY) + extentY);
    left = left < 0 ? 0 : left;
    top = top < 0 ? 0 : top;
    right = right > dest.Width() ? dest.Width() : right;
    bottom = bottom > dest.Height() ? dest.Height() : bottom;
    if (left >= right || top >= bottom) {
        return;
    }
    int x0 = static_cast<int>(left);
    int x1 = static_cast<int>(right);
    int y0 = static_cast<int>(top);
    int y1 = static_cast<int>(bottom);

    double sourceCentreX = double(srcRect.left) + halfWidth;
    double sourceCentreY = double(srcRect.top) + halfHeight;
    const uint32_t* pSource = src.Pixels();
    ptrdiff_t srcSpan = src.RowSpan();
    ptrdiff_t destSpan = dest.RowSpan();
    for (int y = y0; y < y1; ++y) {
        uint32_t* pDest = dest.Pixels() + ptrdiff_t(y) * destSpan;
        double dy = double(y) + 0.5 - double(centreY);
        for (int x = x0; x < x1; ++x) {
            double dx = double(x) + 0.5 - double(centreX);
            double pointX = sourceCentreX + cosine * dx + sine * dy;
            double pointY = sourceCentreY - sine * dx + cosine * dy;
            if (!(pointX >= inside.left && pointX < inside.right && pointY >= inside.top && pointY < inside.bottom)) {
                continue;
            }
            uint32_t pixel;
            if (filter == RasterFilter_Bilinear) {
                BilinearTap column = MakeTap(pointX, inside.left, inside.right - 1);
                BilinearTap row = MakeTap(pointY, inside.top, inside.bottom - 1);
                const uint32_t* pFirst = pSource + row.first * srcSpan;
                const uint32_t* pSecond = pSource + row.second * srcSpan;
                pixel = Interpolate(pFirst[column.first], pFirst[column.second], pSecond[column.first],
                                    pSecond[column.second], column.fraction, row.fraction);
            } else {
                pixel = pSource[static_cast<ptrdiff_t>(pointY) * srcSpan + static_cast<ptrdiff_t>(pointX)];
            }
            pDest[x] = BlendAny(pDest[x], pixel, blend, w);
        }
    }
}

}  // namespace Raster
