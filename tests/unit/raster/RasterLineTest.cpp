#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "RasterTestSupport.h"

namespace {

const uint32_t BLACK = 0xFF000000;
const uint32_t WHITE = 0xFFFFFFFF;
const double PI = 3.14159265358979323846;

std::set<std::pair<int, int>> LitPixels(const RasterBitmap& bitmap)
{
    std::set<std::pair<int, int>> lit;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            if (Raster::GetPixel(bitmap, x, y) != BLACK) {
                lit.insert(std::make_pair(x, y));
            }
        }
    }
    return lit;
}

// Coverage of a pixel drawn white on black, 0..1.
double Coverage(const RasterBitmap& bitmap, int x, int y)
{
    return RasterColor::Red(Raster::GetPixel(bitmap, x, y)) / 255.0;
}

std::set<std::pair<int, int>> AliasedLine(float x1, float y1, float x2, float y2)
{
    MemoryBitmap bitmap(16, 16);
    Raster::FillRect(bitmap, RasterRect{0, 0, 16, 16}, BLACK);
    Raster::DrawLine(bitmap, x1, y1, x2, y2, WHITE, RasterBlend_Alpha, 1.0f, false);
    return LitPixels(bitmap);
}

}  // namespace

TEST(RasterLine, AliasedLinesHitTheBresenhamPixelsWithBothEndpoints)
{
    std::set<std::pair<int, int>> shallow = {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}};
    EXPECT_EQ(AliasedLine(0, 0, 5, 2), shallow);
    EXPECT_EQ(AliasedLine(5, 2, 0, 0), shallow);
    std::set<std::pair<int, int>> steep = {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}};
    EXPECT_EQ(AliasedLine(0, 0, 2, 5), steep);
    EXPECT_EQ(AliasedLine(2, 5, 0, 0), steep);
    std::set<std::pair<int, int>> falling = {{3, 9}, {4, 8}, {5, 7}, {6, 6}};
    EXPECT_EQ(AliasedLine(3, 9, 6, 6), falling);
    std::set<std::pair<int, int>> point = {{7, 7}};
    EXPECT_EQ(AliasedLine(7, 7, 7, 7), point);
    // Endpoints are rounded to the nearest pixel.
    EXPECT_EQ(AliasedLine(0.4f, 0.2f, 4.6f, 2.4f), shallow);
}

TEST(RasterLine, AliasedLineClippedByTheBitmapKeepsItsPixels)
{
    // The part of a long line that crosses the bitmap picks the same pixels
    // as the visible part of an unclipped drawing would.
    std::set<std::pair<int, int>> clipped = AliasedLine(-100, -37, 100, 37);
    EXPECT_FALSE(clipped.empty());
    for (const auto& pixel : clipped) {
        int x = pixel.first;
        double exact = -37.0 + (x + 100.0) * 74.0 / 200.0;
        EXPECT_EQ(pixel.second, static_cast<int>(std::floor(exact + 0.5))) << x;
    }
    EXPECT_EQ(clipped.size(), 16u);
}

TEST(RasterLine, AntialiasedHorizontalLineAtWholeYIsSolid)
{
    MemoryBitmap bitmap(16, 9);
    Raster::FillRect(bitmap, RasterRect{0, 0, 16, 9}, BLACK);
    Raster::DrawLine(bitmap, 2, 4, 12, 4, WHITE, RasterBlend_Alpha, 1.0f, true);
    for (int x = 3; x <= 11; ++x) {
        EXPECT_EQ(Raster::GetPixel(bitmap, x, 4), WHITE) << x;
        EXPECT_EQ(Raster::GetPixel(bitmap, x, 3), BLACK) << x;
        EXPECT_EQ(Raster::GetPixel(bitmap, x, 5), BLACK) << x;
    }
    // Flat ends at the endpoints' centres: half of the end pixels.
    EXPECT_NEAR(Coverage(bitmap, 2, 4), 0.5, 0.01);
    EXPECT_NEAR(Coverage(bitmap, 12, 4), 0.5, 0.01);
    EXPECT_EQ(Raster::GetPixel(bitmap, 1, 4), BLACK);
    EXPECT_EQ(Raster::GetPixel(bitmap, 13, 4), BLACK);
}

TEST(RasterLine, AntialiasedLineBetweenRowsSplitsItsCoverage)
{
    MemoryBitmap bitmap(16, 9);
    Raster::FillRect(bitmap, RasterRect{0, 0, 16, 9}, BLACK);
    Raster::DrawLine(bitmap, 2, 4.5f, 12, 4.5f, WHITE, RasterBlend_Alpha, 1.0f, true);
    for (int x = 3; x <= 11; ++x) {
        EXPECT_NEAR(Coverage(bitmap, x, 4), 0.5, 0.01);
        EXPECT_NEAR(Coverage(bitmap, x, 5), 0.5, 0.01);
    }
}

TEST(RasterLine, AntialiasedDiagonalHasSymmetricCoverage)
{
    MemoryBitmap forward(16, 16);
    MemoryBitmap backward(16, 16);
    Raster::FillRect(forward, RasterRect{0, 0, 16, 16}, BLACK);
    Raster::FillRect(backward, RasterRect{0, 0, 16, 16}, BLACK);
    Raster::DrawLine(forward, 2, 2, 12, 12, WHITE, RasterBlend_Alpha, 1.0f, true);
    Raster::DrawLine(backward, 12, 12, 2, 2, WHITE, RasterBlend_Alpha, 1.0f, true);
    EXPECT_EQ(PixelsOf(forward), PixelsOf(backward));
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 15; ++x) {
            // Mirror across the line and across its perpendicular bisector.
            EXPECT_EQ(Raster::GetPixel(forward, x, y), Raster::GetPixel(forward, y, x));
            EXPECT_EQ(Raster::GetPixel(forward, x, y), Raster::GetPixel(forward, 14 - y, 14 - x));
        }
    }
    // Both sides of the line get the same, partial coverage.
    EXPECT_GT(Coverage(forward, 7, 6), 0.1);
    EXPECT_LT(Coverage(forward, 7, 6), 0.5);
    EXPECT_GT(Coverage(forward, 7, 7), 0.8);
}

TEST(RasterLine, AntialiasedCoverageAddsUpToTheLineLength)
{
    const double angles[] = {0, 10, 26.5, 30, 45, 60, 77, 90, 135, 200};
    for (double degrees : angles) {
        MemoryBitmap bitmap(64, 64);
        Raster::FillRect(bitmap, RasterRect{0, 0, 64, 64}, BLACK);
        double length = 40.0;
        double x1 = 32 - std::cos(degrees * PI / 180) * length / 2;
        double y1 = 32 - std::sin(degrees * PI / 180) * length / 2;
        double x2 = 32 + std::cos(degrees * PI / 180) * length / 2;
        double y2 = 32 + std::sin(degrees * PI / 180) * length / 2;
        Raster::DrawLine(bitmap, float(x1), float(y1), float(x2), float(y2), WHITE, RasterBlend_Alpha, 1.0f, true);
        EXPECT_NEAR(ChannelSum(bitmap, 16), length, length * 0.03) << degrees;
    }
}

TEST(RasterLine, AntialiasedLineUsesColourAlphaAndWeight)
{
    MemoryBitmap bitmap(8, 3);
    Raster::FillRect(bitmap, RasterRect{0, 0, 8, 3}, BLACK);
    Raster::DrawLine(bitmap, 0, 1, 7, 1, 0x80FFFFFF, RasterBlend_Alpha, 0.5f, true);
    // Alpha 128 at weight 0.5 gives 64 of 255 on the solid pixels.
    EXPECT_EQ(Raster::GetPixel(bitmap, 3, 1), 0xFF404040u);
}

TEST(RasterCircle, AliasedCircleIsSymmetricAndOnTheRadius)
{
    MemoryBitmap bitmap(41, 41);
    Raster::FillRect(bitmap, RasterRect{0, 0, 41, 41}, BLACK);
    Raster::DrawCircle(bitmap, 20, 20, 12, WHITE, RasterBlend_Alpha, 1.0f, false);
    std::set<std::pair<int, int>> lit = LitPixels(bitmap);
    EXPECT_GT(lit.size(), 60u);
    for (const auto& pixel : lit) {
        int dx = pixel.first - 20;
        int dy = pixel.second - 20;
        EXPECT_LT(std::fabs(std::sqrt(double(dx * dx + dy * dy)) - 12.0), 0.5);
        EXPECT_TRUE(lit.count(std::make_pair(20 + dy, 20 + dx)));
        EXPECT_TRUE(lit.count(std::make_pair(20 - dx, 20 + dy)));
        EXPECT_TRUE(lit.count(std::make_pair(20 + dx, 20 - dy)));
    }
    EXPECT_TRUE(lit.count(std::make_pair(32, 20)));
    EXPECT_TRUE(lit.count(std::make_pair(20, 8)));
}

TEST(RasterCircle, AntialiasedOutlineAndFillCoverTheirAreas)
{
    MemoryBitmap ring(64, 64);
    Raster::FillRect(ring, RasterRect{0, 0, 64, 64}, BLACK);
    Raster::DrawCircle(ring, 31.3f, 30.6f, 20, WHITE, RasterBlend_Alpha, 1.0f, true);
    EXPECT_NEAR(ChannelSum(ring, 16), 2 * PI * 20, 2 * PI * 20 * 0.03);

    MemoryBitmap disc(64, 64);
    Raster::FillRect(disc, RasterRect{0, 0, 64, 64}, BLACK);
    Raster::FillCircle(disc, 31.3f, 30.6f, 20, WHITE, RasterBlend_Alpha, 1.0f, true);
    EXPECT_NEAR(ChannelSum(disc, 16), PI * 400, PI * 400 * 0.01);
    EXPECT_EQ(Raster::GetPixel(disc, 31, 31), WHITE);
    EXPECT_EQ(Raster::GetPixel(disc, 31, 8), BLACK);
}

TEST(RasterCircle, ArcCoversOnlyItsAngleRange)
{
    MemoryBitmap bitmap(41, 41);
    Raster::FillRect(bitmap, RasterRect{0, 0, 41, 41}, BLACK);
    // Clockwise from 3 o'clock to 6 o'clock: the lower right quarter.
    Raster::DrawArc(bitmap, 20, 20, 12, 0, 90, WHITE, RasterBlend_Alpha, 1.0f, true);
    std::set<std::pair<int, int>> lit = LitPixels(bitmap);
    EXPECT_GT(lit.size(), 15u);
    for (const auto& pixel : lit) {
        EXPECT_GE(pixel.first, 20);
        EXPECT_GE(pixel.second, 20);
    }
    EXPECT_TRUE(lit.count(std::make_pair(28, 28)));

    MemoryBitmap reversed(41, 41);
    Raster::FillRect(reversed, RasterRect{0, 0, 41, 41}, BLACK);
    Raster::DrawArc(reversed, 20, 20, 12, 90, 0, WHITE, RasterBlend_Alpha, 1.0f, true);
    EXPECT_EQ(PixelsOf(reversed), PixelsOf(bitmap));

    MemoryBitmap full(41, 41);
    MemoryBitmap circle(41, 41);
    Raster::DrawArc(full, 20, 20, 12, -30, 400, WHITE, RasterBlend_Alpha, 1.0f, true);
    Raster::DrawCircle(circle, 20, 20, 12, WHITE, RasterBlend_Alpha, 1.0f, true);
    EXPECT_EQ(PixelsOf(full), PixelsOf(circle));
}
