#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "RasterTestSupport.h"
#include "framework/raster/SystemBitmap.h"

namespace {

const int32_t LOW = std::numeric_limits<int32_t>::min();
const int32_t HIGH = std::numeric_limits<int32_t>::max();
const float HUGE_COORDINATE = 3e9f;
const float NOT_A_NUMBER = std::numeric_limits<float>::quiet_NaN();
const float INFINITE = std::numeric_limits<float>::infinity();

const RasterRect AWKWARD_RECTS[] = {{-5, -5, 3, 3},
                                    {18, 13, 100, 100},
                                    {-100, 4, 100, 6},
                                    {4, -100, 6, 100},
                                    {LOW, LOW, HIGH, HIGH},
                                    {HIGH, HIGH, LOW, LOW},
                                    {10, 10, 5, 5},
                                    {0, 0, 0, 0},
                                    {LOW, 0, LOW + 5, 5},
                                    {HIGH - 3, 0, HIGH, 5},
                                    {-1000000, -1000000, -999990, -999990},
                                    {20, 0, 21, 15},
                                    {0, 15, 20, 16},
                                    {-1, -1, 0, 0},
                                    {19, 14, HIGH, HIGH}};

int CountPixels(const RasterBitmap& bitmap, uint32_t color)
{
    int count = 0;
    for (uint32_t pixel : PixelsOf(bitmap)) {
        count += pixel == color ? 1 : 0;
    }
    return count;
}

}  // namespace

TEST(RasterClip, FillsStayInsideTheBitmapForAnyRect)
{
    for (const RasterRect& rect : AWKWARD_RECTS) {
        for (int blend = 0; blend < 4; ++blend) {
            CanaryView view(20, 15, 0xFF000000);
            Raster::FillRect(view, rect, 0xFFFFFFFF, static_cast<RasterBlend>(blend), 0.75f);
            ASSERT_TRUE(view.CanaryIntact()) << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
        }
    }
}

TEST(RasterClip, FillCoversExactlyTheVisiblePartOfTheRect)
{
    CanaryView view(20, 15, 0xFF000000);
    Raster::FillRect(view, RasterRect{-5, -5, 3, 3}, 0xFFFFFFFF);
    EXPECT_EQ(CountPixels(view, 0xFFFFFFFF), 9);
    EXPECT_EQ(Raster::GetPixel(view, 2, 2), 0xFFFFFFFFu);
    EXPECT_EQ(Raster::GetPixel(view, 3, 2), 0xFF000000u);

    CanaryView corner(20, 15, 0xFF000000);
    Raster::FillRect(corner, RasterRect{18, 13, HIGH, HIGH}, 0xFFFFFFFF);
    EXPECT_EQ(CountPixels(corner, 0xFFFFFFFF), 4);

    CanaryView whole(20, 15, 0xFF000000);
    Raster::FillRect(whole, RasterRect{LOW, LOW, HIGH, HIGH}, 0xFFFFFFFF);
    EXPECT_EQ(CountPixels(whole, 0xFFFFFFFF), 300);
    EXPECT_TRUE(whole.CanaryIntact());

    CanaryView inverted(20, 15, 0xFF000000);
    Raster::FillRect(inverted, RasterRect{10, 10, 5, 5}, 0xFFFFFFFF);
    EXPECT_EQ(CountPixels(inverted, 0xFFFFFFFF), 0);
}

TEST(RasterClip, CopiesStayInsideBothBitmapsWhateverTheOffsets)
{
    const int offsets[] = {LOW, -1000000, -25, -3, 0, 4, 17, 19, 25, HIGH};
    const int sizes[] = {LOW, -1, 0, 1, 5, 40, HIGH};
    for (int destOffset : offsets) {
        for (int srcOffset : offsets) {
            for (int size : sizes) {
                CanaryView source(12, 9, 0xFF00FF00);
                CanaryView view(20, 15, 0xFF000000);
                Raster::CopyBitmap(view, destOffset, destOffset / 2, source, srcOffset, srcOffset / 3, size, size,
                                   RasterBlend_Alpha, 0.5f);
                Raster::CopyBitmap(view, destOffset, destOffset, source, srcOffset, srcOffset, size, size,
                                   RasterBlend_Plain);
                ASSERT_TRUE(view.CanaryIntact()) << destOffset << " " << srcOffset << " " << size;
                // The canary colour would show if the source border was read.
                ASSERT_EQ(CountPixels(view, CanaryView::CANARY), 0);
                ASSERT_TRUE(source.CanaryIntact());
            }
        }
    }
}

TEST(RasterClip, CopyFromPartlyOutsideTheSourceDrawsOnlyWhatExists)
{
    CanaryView source(4, 4, 0xFFFF0000);
    CanaryView view(10, 10, 0xFF000000);
    // Region from (-2, -2) to (4, 4) of the source: only its 4 x 4 part is
    // real, and it lands at (5, 5).
    Raster::CopyBitmap(view, 3, 3, source, -2, -2, 6, 6, RasterBlend_Plain);
    EXPECT_EQ(CountPixels(view, 0xFFFF0000), 16);
    EXPECT_EQ(Raster::GetPixel(view, 5, 5), 0xFFFF0000u);
    EXPECT_EQ(Raster::GetPixel(view, 4, 4), 0xFF000000u);
    EXPECT_EQ(Raster::GetPixel(view, 9, 9), 0xFF000000u);
    EXPECT_TRUE(view.CanaryIntact());
}

TEST(RasterClip, ScaledAndRotatedCopiesStayInside)
{
    for (const RasterRect& destRect : AWKWARD_RECTS) {
        for (const RasterRect& srcRect : AWKWARD_RECTS) {
            for (int filter = 0; filter < 2; ++filter) {
                CanaryView source(12, 9, 0xFF00FF00);
                CanaryView view(20, 15, 0xFF000000);
                Raster::ScaledCopy(view, destRect, source, srcRect, RasterBlend_Alpha, 1.0f,
                                   static_cast<RasterFilter>(filter));
                ASSERT_TRUE(view.CanaryIntact());
                ASSERT_EQ(CountPixels(view, CanaryView::CANARY), 0);
            }
        }
    }
    const float centres[] = {-HUGE_COORDINATE, -30.0f,       0.0f,    9.5f, 19.9f, 40.0f,
                             HUGE_COORDINATE,  NOT_A_NUMBER, INFINITE};
    const float angles[] = {0.0f, 30.0f, 90.0f, -45.0f, 1e20f, NOT_A_NUMBER};
    for (const RasterRect& srcRect : AWKWARD_RECTS) {
        for (float centre : centres) {
            for (float angle : angles) {
                for (int filter = 0; filter < 2; ++filter) {
                    CanaryView source(12, 9, 0xFF00FF00);
                    CanaryView view(20, 15, 0xFF000000);
                    Raster::DrawRotated(view, source, srcRect, centre, centre / 2, angle, RasterBlend_Alpha, 1.0f,
                                        static_cast<RasterFilter>(filter));
                    ASSERT_TRUE(view.CanaryIntact());
                    ASSERT_EQ(CountPixels(view, CanaryView::CANARY), 0);
                }
            }
        }
    }
}

TEST(RasterClip, LinesArcsAndCirclesStayInside)
{
    const float coordinates[] = {-HUGE_COORDINATE, -1e6f,        -3.5f,   0.0f, 7.25f, 19.0f, 25.0f, 1e6f,
                                 HUGE_COORDINATE,  NOT_A_NUMBER, INFINITE};
    for (float a : coordinates) {
        for (float b : coordinates) {
            for (int antialias = 0; antialias < 2; ++antialias) {
                CanaryView view(20, 15, 0xFF000000);
                Raster::DrawLine(view, a, b, b, a, 0xFFFFFFFF, RasterBlend_Alpha, 1.0f, antialias != 0);
                Raster::DrawLine(view, a, 3.0f, b, 11.0f, 0xFFFFFFFF, RasterBlend_Add, 1.0f, antialias != 0);
                Raster::DrawCircle(view, a, b, std::fabs(b), 0xFFFFFFFF, RasterBlend_Alpha, 1.0f, antialias != 0);
                Raster::FillCircle(view, b, a, std::fabs(a), 0xFFFFFFFF, RasterBlend_Alpha, 1.0f, antialias != 0);
                Raster::DrawArc(view, 10.0f, 7.0f, std::fabs(a), b, a, 0xFFFFFFFF, RasterBlend_Alpha, 1.0f,
                                antialias != 0);
                ASSERT_TRUE(view.CanaryIntact()) << a << " " << b;
            }
        }
    }
}

TEST(RasterClip, PixelsAndMasksOutsideAreIgnored)
{
    CanaryView view(20, 15, 0xFF000000);
    const int positions[] = {LOW, -1, 20, 21, HIGH};
    for (int x : positions) {
        Raster::PutPixel(view, x, 3, 0xFFFFFFFF);
        Raster::PutPixel(view, 3, x, 0xFFFFFFFF);
        Raster::BlendPixel(view, x, x, 0xFFFFFFFF);
        EXPECT_EQ(Raster::GetPixel(view, x, 3), 0u);
    }
    const uint8_t mask[16] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
    const int maskPositions[] = {LOW, -4, 20, 15, HIGH};
    for (int x : maskPositions) {
        Raster::BlendMask(view, x, x, mask, 4, 4, 4, 1, 0xFFFFFFFF, RasterRect{LOW, LOW, HIGH, HIGH});
    }
    EXPECT_TRUE(view.CanaryIntact());
    EXPECT_EQ(CountPixels(view, 0xFFFFFFFF), 0);
    // A mask at (-2, 13) shows its 2 x 2 corner; a clip rect cuts it further.
    Raster::BlendMask(view, -2, 13, mask, 4, 4, 4, 1, 0xFFFFFFFF, RasterRect{LOW, LOW, HIGH, HIGH});
    EXPECT_EQ(CountPixels(view, 0xFFFFFFFF), 4);
    Raster::BlendMask(view, 10, 5, mask, 4, 4, 4, 1, 0xFFFFFFFF, RasterRect{11, 6, 12, 100});
    EXPECT_EQ(CountPixels(view, 0xFFFFFFFF), 7);
    EXPECT_TRUE(view.CanaryIntact());
}

TEST(RasterClip, EmptyBitmapsAreHarmless)
{
    MemoryBitmap empty;
    MemoryBitmap target(4, 4);
    Raster::CopyBitmap(target, 0, 0, empty, 0, 0, 4, 4);
    Raster::CopyBitmap(empty, 0, 0, target, 0, 0, 4, 4);
    Raster::FillRect(empty, RasterRect{0, 0, 4, 4}, 0xFFFFFFFF);
    Raster::DrawLine(empty, 0, 0, 3, 3, 0xFFFFFFFF);
    Raster::ScaledCopy(target, RasterRect{0, 0, 4, 4}, empty, RasterRect{0, 0, 1, 1});
    EXPECT_EQ(Raster::CroppedCopy(empty, RasterRect{0, 0, 4, 4}), nullptr);
    EXPECT_EQ(Raster::ScaledBitmap(empty, 4, 4), nullptr);
    EXPECT_EQ(Raster::GetPixel(empty, 0, 0), 0u);
    EXPECT_EQ(CountPixels(target, 0), 16);
}

TEST(RasterBitmapSizes, RejectsNegativeAndOversizedBitmaps)
{
    MemoryBitmap bitmap(3, 2);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(Raster::GetPixel(bitmap, 2, 1), 0u);
    EXPECT_FALSE(bitmap.Resize(-1, 5));
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_FALSE(bitmap.Resize(RasterBitmap::MAX_SIDE + 1, 1));
    EXPECT_FALSE(bitmap.Resize(RasterBitmap::MAX_SIDE, RasterBitmap::MAX_SIDE));
    EXPECT_EQ(bitmap.Pixels(), nullptr);
    EXPECT_TRUE(bitmap.Resize(0, 7));
    EXPECT_EQ(bitmap.Height(), 0);
    EXPECT_TRUE(bitmap.Resize(5, 4));
    EXPECT_EQ(bitmap.RowSpan(), 5);

    SystemBitmap system(729, 650);
    EXPECT_EQ(system.Width(), 729);
    EXPECT_EQ(system.Height(), 650);
    EXPECT_GE(system.RowSpan(), 729);
    EXPECT_EQ(Raster::GetPixel(system, 728, 649), 0u);
    EXPECT_FALSE(system.Resize(-3, 3));
    EXPECT_EQ(system.Pixels(), nullptr);
}
