#include "Raster.h"

#include <algorithm>
#include <cmath>

#include "RasterKernels.h"

using namespace RasterKernels;

namespace {

// Coordinates are kept inside this range before they are rounded, so that
// products of two of them fit in 64 bits. Nothing visible is lost: the
// largest bitmap is 32768 pixels wide.
const double COORDINATE_LIMIT = double(int64_t(1) << 29);

double LimitCoordinate(double value)
{
    return value < -COORDINATE_LIMIT ? -COORDINATE_LIMIT : (value > COORDINATE_LIMIT ? COORDINATE_LIMIT : value);
}

int64_t FloorDivide(int64_t numerator, int64_t denominator)
{
    int64_t quotient = numerator / denominator;
    if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0))) {
        --quotient;
    }
    return quotient;
}

// numerator / denominator rounded to the nearest integer, halves upwards;
// denominator > 0.
int64_t RoundDivide(int64_t numerator, int64_t denominator)
{
    return FloorDivide(2 * numerator + denominator, 2 * denominator);
}

// The part of a unit pixel square that lies on the near side of a straight
// edge, given the edge's distance t from the pixel centre (positive when the
// centre is on the near side) and the edge normal's larger and smaller
// absolute components (major >= minor, major^2 + minor^2 = 1). The pixel's
// extent along the normal is a trapezoid of half width (major + minor) / 2.
class PixelArea {
public:
    PixelArea(double normalX, double normalY)
    {
        double x = std::fabs(normalX);
        double y = std::fabs(normalY);
        mMajor = x > y ? x : y;
        mMinor = x > y ? y : x;
        mHalf = (mMajor + mMinor) / 2.0;
        mFlat = (mMajor - mMinor) / 2.0;
    }

    // Half the pixel's extent along the normal.
    double Half() const { return mHalf; }

    double Below(double t) const
    {
        if (t <= 0) {
            return BelowNegative(t);
        }
        return 1.0 - BelowNegative(-t);
    }

    // Coverage by a band 1 pixel wide whose centre line lies at distance d
    // from the pixel centre.
    double Band(double d) const { return Below(d + 0.5) - Below(d - 0.5); }

private:
    double BelowNegative(double t) const
    {
        if (t <= -mHalf) {
            return 0.0;
        }
        if (mMinor < 1e-9) {
            return t + 0.5;
        }
        if (t <= -mFlat) {
            double rise = t + mHalf;
            return rise * rise / (2.0 * mMajor * mMinor);
        }
        return mMinor / (2.0 * mMajor) + (t + mFlat) / mMajor;
    }

    double mMajor;
    double mMinor;
    double mHalf;
    double mFlat;
};

// Blends color onto one pixel with the weight factor scaled by coverage.
inline void Cover(uint32_t* pPixel, uint32_t color, RasterBlend blend, uint32_t w, double coverage)
{
    if (coverage <= 0.0) {
        return;
    }
    if (coverage > 1.0) {
        coverage = 1.0;
    }
    uint32_t factor = static_cast<uint32_t>(double(w) * coverage + 0.5);
    if (factor != 0) {
        *pPixel = BlendAny(*pPixel, color, blend, factor);
    }
}

void DrawLineAliased(RasterBitmap& dest, double x1, double y1, double x2, double y2, uint32_t color, RasterBlend blend,
                     uint32_t w)
{
    int64_t ax = std::llround(LimitCoordinate(x1));
    int64_t ay = std::llround(LimitCoordinate(y1));
    int64_t bx = std::llround(LimitCoordinate(x2));
    int64_t by = std::llround(LimitCoordinate(y2));
    int64_t width = dest.Width();
    int64_t height = dest.Height();
    uint32_t* pPixels = dest.Pixels();
    ptrdiff_t span = dest.RowSpan();
    bool alongX = std::llabs(bx - ax) >= std::llabs(by - ay);
    // Walk the main axis upwards so that a line and its reverse pick the
    // same pixels.
    if ((alongX && ax > bx) || (!alongX && ay > by)) {
        std::swap(ax, bx);
        std::swap(ay, by);
    }
    int64_t major0 = alongX ? ax : ay;
    int64_t major1 = alongX ? bx : by;
    int64_t minor0 = alongX ? ay : ax;
    int64_t minor1 = alongX ? by : bx;
    int64_t majorSize = alongX ? width : height;
    int64_t minorSize = alongX ? height : width;
    int64_t delta = major1 - major0;
    int64_t rise = minor1 - minor0;
    int64_t first = major0 > 0 ? major0 : 0;
    int64_t last = major1 < majorSize - 1 ? major1 : majorSize - 1;
    for (int64_t major = first; major <= last; ++major) {
        int64_t minor = delta == 0 ? minor0 : minor0 + RoundDivide((major - major0) * rise, delta);
        if (minor < 0 || minor >= minorSize) {
            continue;
        }
        uint32_t* pPixel = alongX ? pPixels + minor * span + major : pPixels + major * span + minor;
        *pPixel = BlendAny(*pPixel, color, blend, w);
    }
}

void DrawLineAntialiased(RasterBitmap& dest, double x1, double y1, double x2, double y2, uint32_t color,
                         RasterBlend blend, uint32_t w)
{
    x1 = LimitCoordinate(x1);
    y1 = LimitCoordinate(y1);
    x2 = LimitCoordinate(x2);
    y2 = LimitCoordinate(y2);
    double dx = x2 - x1;
    double dy = y2 - y1;
    double length = std::sqrt(dx * dx + dy * dy);
    if (length <= 0.0) {
        return;
    }
    double unitX = dx / length;
    double unitY = dy / length;
    bool alongX = std::fabs(dx) >= std::fabs(dy);
    double major0 = alongX ? x1 : y1;
    double major1 = alongX ? x2 : y2;
    double minor0 = alongX ? y1 : x1;
    double minor1 = alongX ? y2 : x2;
    if (major0 > major1) {
        std::swap(major0, major1);
        std::swap(minor0, minor1);
    }
    double slope = (minor1 - minor0) / (major1 - major0);
    // The same pixel profile serves across the line and along it: the
    // direction and the normal have the same two components.
    PixelArea area(unitX, unitY);
    // Along the minor axis a pixel offset o lies o * cosine away from the
    // line's centre across it.
    double cosine = std::fabs(alongX ? dx : dy) / length;
    double reach = (0.5 + area.Half()) / cosine;
    int64_t majorSize = alongX ? dest.Width() : dest.Height();
    int64_t minorSize = alongX ? dest.Height() : dest.Width();
    uint32_t* pPixels = dest.Pixels();
    ptrdiff_t span = dest.RowSpan();
    double firstPixel = std::max(std::floor(major0) - 1.0, 0.0);
    double lastPixel = std::min(std::ceil(major1) + 1.0, double(majorSize - 1));
    for (double major = firstPixel; major <= lastPixel; major += 1.0) {
        double centre = minor0 + (major - major0) * slope;
        double low = std::max(std::ceil(centre - reach), 0.0);
        double high = std::min(std::floor(centre + reach), double(minorSize - 1));
        for (double minor = low; minor <= high; minor += 1.0) {
            double x = alongX ? major : minor;
            double y = alongX ? minor : major;
            // Flat ends through the endpoints, square to the line.
            double along = (x - x1) * unitX + (y - y1) * unitY;
            double ends = area.Below(along) * area.Below(length - along);
            if (ends <= 0.0) {
                continue;
            }
            double coverage = area.Band((minor - centre) * cosine) * ends;
            uint32_t* pPixel = pPixels + static_cast<int64_t>(y) * span + static_cast<int64_t>(x);
            Cover(pPixel, color, blend, w, coverage);
        }
    }
}

// Calls draw(x, y, coverage) for every pixel near the circle of the given
// radius (ring) or inside it (fill), row by row over the spans that can be
// touched, with the coverage worked out from the local tangent.
template <typename DRAW>
void ForCirclePixels(const RasterBitmap& dest, double cx, double cy, double radius, bool fill, bool antialias,
                     DRAW draw)
{
    const double margin = 1.25;
    double outer = radius + margin;
    double inner = fill ? -1.0 : radius - margin;
    double top = std::max(std::ceil(cy - outer), 0.0);
    double bottom = std::min(std::floor(cy + outer), double(dest.Height() - 1));
    for (double y = top; y <= bottom; y += 1.0) {
        double dy = y - cy;
        double outerSquare = outer * outer - dy * dy;
        if (outerSquare < 0) {
            continue;
        }
        double outerHalf = std::sqrt(outerSquare);
        double innerHalf = -1.0;
        if (inner > 0 && inner * inner - dy * dy > 0) {
            innerHalf = std::sqrt(inner * inner - dy * dy);
        }
        double left = std::max(std::ceil(cx - outerHalf), 0.0);
        double right = std::min(std::floor(cx + outerHalf), double(dest.Width() - 1));
        for (double x = left; x <= right; x += 1.0) {
            double dx = x - cx;
            if (innerHalf > 0 && std::fabs(dx) < innerHalf) {
                x = std::ceil(cx + innerHalf) - 1.0;
                continue;
            }
            double distance = std::sqrt(dx * dx + dy * dy);
            double coverage;
            if (!antialias) {
                coverage = fill ? (distance < radius ? 1.0 : 0.0) : (std::fabs(distance - radius) < 0.5 ? 1.0 : 0.0);
            } else {
                PixelArea area(distance > 0 ? dx / distance : 1.0, distance > 0 ? dy / distance : 0.0);
                coverage = fill ? area.Below(radius - distance) : area.Band(distance - radius);
            }
            if (coverage > 0.0) {
                draw(static_cast<int64_t>(x), static_cast<int64_t>(y), coverage);
            }
        }
    }
}

bool UsableCircle(const RasterBitmap& dest, float cx, float cy, float radius)
{
    return HasPixels(dest) && std::isfinite(cx) && std::isfinite(cy) && std::isfinite(radius) && radius >= 0 &&
           std::fabs(cx) < COORDINATE_LIMIT && std::fabs(cy) < COORDINATE_LIMIT && radius < COORDINATE_LIMIT;
}

// Blends color over the pixels of a circle's ring or disc for which
// inside(x, y) holds, each weighted by its coverage.
template <typename INSIDE>
void CoverCircle(RasterBitmap& dest, double cx, double cy, double radius, bool fill, bool antialias, uint32_t color,
                 RasterBlend blend, uint32_t w, INSIDE inside)
{
    uint32_t* pPixels = dest.Pixels();
    ptrdiff_t span = dest.RowSpan();
    ForCirclePixels(dest, cx, cy, radius, fill, antialias, [&](int64_t x, int64_t y, double coverage) {
        if (inside(x, y)) {
            Cover(pPixels + y * span + x, color, blend, w, coverage);
        }
    });
}

// DrawCircle and FillCircle.
void CoverWholeCircle(RasterBitmap& dest, float centreX, float centreY, float radius, bool fill, uint32_t color,
                      RasterBlend blend, float weight, bool antialias)
{
    uint32_t w = RasterColor::WeightToFactor(weight);
    if (w == 0 || !UsableCircle(dest, centreX, centreY, radius)) {
        return;
    }
    CoverCircle(dest, centreX, centreY, radius, fill, antialias, color, blend, w,
                [](int64_t, int64_t) { return true; });
}

}  // namespace

namespace Raster {

void FillRect(RasterBitmap& dest, const RasterRect& rect, uint32_t color, RasterBlend blend, float weight)
{
    uint32_t w = RasterColor::WeightToFactor(weight);
    if (w == 0 || !HasPixels(dest)) {
        return;
    }
    Span x = Intersect(rect.left, rect.right, 0, dest.Width());
    Span y = Intersect(rect.top, rect.bottom, 0, dest.Height());
    if (x.first >= x.second || y.first >= y.second) {
        return;
    }
    int count = static_cast<int>(x.second - x.first);
    bool plainStore = w == 255 && (blend == RasterBlend_Plain ||
                                   (blend != RasterBlend_Add && blend != RasterBlend_Dodge && color >> 24 == 255));
    for (int64_t row = y.first; row < y.second; ++row) {
        uint32_t* pRow = dest.Pixels() + row * dest.RowSpan() + x.first;
        if (plainStore) {
            std::fill(pRow, pRow + count, color);
        } else {
            BlendRowAny(pRow, &color, 0, count, blend, w, false);
        }
    }
}

uint32_t GetPixel(const RasterBitmap& bitmap, int x, int y)
{
    if (!HasPixels(bitmap) || x < 0 || y < 0 || x >= bitmap.Width() || y >= bitmap.Height()) {
        return 0;
    }
    return bitmap.Pixels()[ptrdiff_t(y) * bitmap.RowSpan() + x];
}

void PutPixel(RasterBitmap& bitmap, int x, int y, uint32_t color)
{
    if (!HasPixels(bitmap) || x < 0 || y < 0 || x >= bitmap.Width() || y >= bitmap.Height()) {
        return;
    }
    bitmap.Pixels()[ptrdiff_t(y) * bitmap.RowSpan() + x] = color;
}

void BlendPixel(RasterBitmap& bitmap, int x, int y, uint32_t color, RasterBlend blend, float weight)
{
    RasterRect rect = {x, y, x == INT32_MAX ? x : x + 1, y == INT32_MAX ? y : y + 1};
    FillRect(bitmap, rect, color, blend, weight);
}

void DrawLine(RasterBitmap& dest, float x1, float y1, float x2, float y2, uint32_t color, RasterBlend blend,
              float weight, bool antialias)
{
    uint32_t w = RasterColor::WeightToFactor(weight);
    if (w == 0 || !HasPixels(dest) || !std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) ||
        !std::isfinite(y2)) {
        return;
    }
    if (antialias) {
        DrawLineAntialiased(dest, x1, y1, x2, y2, color, blend, w);
    } else {
        DrawLineAliased(dest, x1, y1, x2, y2, color, blend, w);
    }
}

void DrawCircle(RasterBitmap& dest, float centreX, float centreY, float radius, uint32_t color, RasterBlend blend,
                float weight, bool antialias)
{
    CoverWholeCircle(dest, centreX, centreY, radius, false, color, blend, weight, antialias);
}

void FillCircle(RasterBitmap& dest, float centreX, float centreY, float radius, uint32_t color, RasterBlend blend,
                float weight, bool antialias)
{
    CoverWholeCircle(dest, centreX, centreY, radius, true, color, blend, weight, antialias);
}

void DrawArc(RasterBitmap& dest, float centreX, float centreY, float radius, float startAngle, float endAngle,
             uint32_t color, RasterBlend blend, float weight, bool antialias)
{
    uint32_t w = RasterColor::WeightToFactor(weight);
    if (w == 0 || !UsableCircle(dest, centreX, centreY, radius) || !std::isfinite(startAngle) ||
        !std::isfinite(endAngle)) {
        return;
    }
    double start = startAngle;
    double sweep = double(endAngle) - double(startAngle);
    if (sweep < 0) {
        start = endAngle;
        sweep = -sweep;
    }
    if (sweep >= 360.0) {
        DrawCircle(dest, centreX, centreY, radius, color, blend, weight, antialias);
        return;
    }
    start = std::fmod(start, 360.0);
    if (start < 0) {
        start += 360.0;
    }
    double cx = centreX;
    double cy = centreY;
    CoverCircle(dest, cx, cy, radius, false, antialias, color, blend, w, [&](int64_t x, int64_t y) {
        double direction = std::atan2(double(y) - cy, double(x) - cx) * 180.0 / 3.14159265358979323846;
        double offset = std::fmod(direction - start + 720.0, 360.0);
        return offset <= sweep;
    });
}

void BlendMask(RasterBitmap& dest, int x, int y, const uint8_t* pMask, int maskWidth, int maskHeight,
               ptrdiff_t rowStride, int pixelStride, uint32_t color, const RasterRect& clip)
{
    if (!pMask || maskWidth <= 0 || maskHeight <= 0 || !HasPixels(dest)) {
        return;
    }
    Span columns = Intersect(x, int64_t(x) + maskWidth, 0, dest.Width());
    columns = Intersect(columns.first, columns.second, clip.left, clip.right);
    Span rows = Intersect(y, int64_t(y) + maskHeight, 0, dest.Height());
    rows = Intersect(rows.first, rows.second, clip.top, clip.bottom);
    if (columns.first >= columns.second || rows.first >= rows.second) {
        return;
    }
    for (int64_t row = rows.first; row < rows.second; ++row) {
        const uint8_t* pCoverage = pMask + (row - y) * rowStride + (columns.first - x) * pixelStride;
        uint32_t* pPixel = dest.Pixels() + row * dest.RowSpan() + columns.first;
        for (int64_t column = columns.first; column < columns.second; ++column) {
            uint32_t coverage = *pCoverage;
            if (coverage != 0) {
                *pPixel = BlendOne<RasterBlend_Alpha>(*pPixel, color, coverage);
            }
            pCoverage += pixelStride;
            ++pPixel;
        }
    }
}

}  // namespace Raster
