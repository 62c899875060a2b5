#include <gtest/gtest.h>

#include <cmath>

#include "RasterTestSupport.h"

namespace {

// The blend rules written out in floating point, independently of the
// integer kernels.
uint32_t RoundToInt(double value) { return static_cast<uint32_t>(std::floor(value + 0.5)); }

double BlendFunction(RasterBlend blend, double d, double s)
{
    if (blend == RasterBlend_Add) {
        return std::min(255.0, d + s);
    }
    if (blend == RasterBlend_Dodge) {
        if (d == 0) {
            return 0;
        }
        if (s == 255) {
            return 255;
        }
        return std::min(255.0, double(RoundToInt(255.0 * d / (255.0 - s))));
    }
    return s;
}

uint32_t ReferenceBlend(uint32_t dest, uint32_t src, RasterBlend blend, float weight)
{
    uint32_t w = RoundToInt(std::min(1.0f, std::max(0.0f, weight)) * 255.0);
    if (blend == RasterBlend_Plain) {
        uint32_t result = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            double s = (src >> shift) & 0xFF;
            double d = (dest >> shift) & 0xFF;
            result |= RoundToInt((w * s + (255.0 - w) * d) / 255.0) << shift;
        }
        return result;
    }
    double a = RoundToInt((src >> 24) * w / 255.0);
    if (a == 0) {
        return dest;
    }
    double da = dest >> 24;
    double total = a * (255 - da) + a * da + (255 - a) * da;
    uint32_t result = RoundToInt(total / 255.0) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        double s = (src >> shift) & 0xFF;
        double d = (dest >> shift) & 0xFF;
        double value = (a * (255 - da) * s + a * da * BlendFunction(blend, d, s) + (255 - a) * da * d) / total;
        result |= RoundToInt(value) << shift;
    }
    return result;
}

uint32_t BlendOnePixel(uint32_t dest, uint32_t src, RasterBlend blend, float weight)
{
    MemoryBitmap target(1, 1);
    MemoryBitmap source(1, 1);
    Raster::PutPixel(target, 0, 0, dest);
    Raster::PutPixel(source, 0, 0, src);
    Raster::CopyBitmap(target, 0, 0, source, 0, 0, 1, 1, blend, weight);
    return Raster::GetPixel(target, 0, 0);
}

const RasterBlend ALL_BLENDS[] = {RasterBlend_Alpha, RasterBlend_Plain, RasterBlend_Add, RasterBlend_Dodge};
const float WEIGHTS[] = {1.0f, 0.5f, 0.25f};

}  // namespace

TEST(RasterColor, PacksAndUnpacksChannels)
{
    uint32_t color = RasterColor::Pack(0x12, 0x34, 0x56, 0x78);
    EXPECT_EQ(color, 0x12345678u);
    EXPECT_EQ(RasterColor::Alpha(color), 0x12u);
    EXPECT_EQ(RasterColor::Red(color), 0x34u);
    EXPECT_EQ(RasterColor::Green(color), 0x56u);
    EXPECT_EQ(RasterColor::Blue(color), 0x78u);
    EXPECT_EQ(RasterColor::WithAlpha(color, 0xFF), 0xFF345678u);
}

TEST(RasterColor, Div255RoundsToNearestForEveryProductOfBytes)
{
    for (uint32_t value = 0; value <= 65535; ++value) {
        ASSERT_EQ(RasterColor::Div255(value), RoundToInt(value / 255.0)) << value;
    }
}

TEST(RasterColor, WeightsRoundToNearestStepAndClamp)
{
    EXPECT_EQ(RasterColor::WeightToFactor(1.0f), 255u);
    EXPECT_EQ(RasterColor::WeightToFactor(0.5f), 128u);
    EXPECT_EQ(RasterColor::WeightToFactor(0.25f), 64u);
    EXPECT_EQ(RasterColor::WeightToFactor(0.0f), 0u);
    EXPECT_EQ(RasterColor::WeightToFactor(-3.0f), 0u);
    EXPECT_EQ(RasterColor::WeightToFactor(7.0f), 255u);
    EXPECT_EQ(RasterColor::WeightToFactor(std::nanf("")), 0u);
}

// Values worked out by hand from the rules in Raster.h, pinning the
// rounding of each method.
TEST(RasterBlend, AlphaOnOpaqueDestinationMixesByAlphaTimesWeight)
{
    const uint32_t dest = 0xFF6432C8;
    const uint32_t src = 0xFFC86400;
    EXPECT_EQ(BlendOnePixel(dest, src, RasterBlend_Alpha, 1.0f), src);
    EXPECT_EQ(BlendOnePixel(dest, src, RasterBlend_Alpha, 0.5f), 0xFF964B64u);
    EXPECT_EQ(BlendOnePixel(dest, src, RasterBlend_Alpha, 0.25f), 0xFF7D3F96u);
    // A transparent source leaves the destination as it was.
    EXPECT_EQ(BlendOnePixel(dest, 0x00FFFFFF, RasterBlend_Alpha, 1.0f), dest);
}

TEST(RasterBlend, AlphaOnTransparentDestinationPlacesSourceWithItsAlpha)
{
    EXPECT_EQ(BlendOnePixel(0x00000000, 0x80FF0000, RasterBlend_Alpha, 1.0f), 0x80FF0000u);
    EXPECT_EQ(BlendOnePixel(0x0012345, 0x80FF0000, RasterBlend_Alpha, 0.5f), 0x40FF0000u);
}

TEST(RasterBlend, AlphaOnTranslucentDestinationIsSourceOver)
{
    // Half red over half blue: alpha 1 - 0.5 * 0.5, colours weighted 2:1.
    EXPECT_EQ(BlendOnePixel(0x800000FF, 0x80FF0000, RasterBlend_Alpha, 1.0f), 0xC0AA0055u);
}

TEST(RasterBlend, PlainCopiesEveryChannelIncludingAlpha)
{
    EXPECT_EQ(BlendOnePixel(0xFFFFFFFF, 0x12345678, RasterBlend_Plain, 1.0f), 0x12345678u);
    EXPECT_EQ(BlendOnePixel(0x00000000, 0xFFFFFFFF, RasterBlend_Plain, 0.5f), 0x80808080u);
    EXPECT_EQ(BlendOnePixel(0x00000000, 0xFFFFFFFF, RasterBlend_Plain, 0.25f), 0x40404040u);
}

TEST(RasterBlend, AddSaturatesAndScalesByAlpha)
{
    EXPECT_EQ(BlendOnePixel(0xFF808080, 0xFF606060, RasterBlend_Add, 1.0f), 0xFFE0E0E0u);
    EXPECT_EQ(BlendOnePixel(0xFF808080, 0xFF606060, RasterBlend_Add, 0.5f), 0xFFB0B0B0u);
    EXPECT_EQ(BlendOnePixel(0xFFC0C0C0, 0xFF808080, RasterBlend_Add, 1.0f), 0xFFFFFFFFu);
    // Half alpha at half weight: a = 64.
    EXPECT_EQ(BlendOnePixel(0xFF000000, 0x80FF0000, RasterBlend_Add, 0.5f), 0xFF400000u);
}

TEST(RasterBlend, DodgeBrightensByTheInverseOfTheSource)
{
    EXPECT_EQ(BlendOnePixel(0xFF808080, 0xFF404040, RasterBlend_Dodge, 1.0f), 0xFFABABABu);
    EXPECT_EQ(BlendOnePixel(0xFF808080, 0xFF404040, RasterBlend_Dodge, 0.5f), 0xFF969696u);
    // Black stays black, a white source burns out to white.
    EXPECT_EQ(BlendOnePixel(0xFF000000, 0xFFFFFFFF, RasterBlend_Dodge, 1.0f), 0xFF000000u);
    EXPECT_EQ(BlendOnePixel(0xFF010101, 0xFFFFFFFF, RasterBlend_Dodge, 1.0f), 0xFFFFFFFFu);
}

TEST(RasterBlend, EveryMethodAndWeightMatchesTheReferenceRules)
{
    TestRandom random(1234);
    const uint32_t destAlphas[] = {0, 1, 64, 128, 254, 255};
    for (RasterBlend blend : ALL_BLENDS) {
        for (float weight : WEIGHTS) {
            for (int i = 0; i < 3000; ++i) {
                uint32_t src = random.Next();
                uint32_t dest = RasterColor::WithAlpha(random.Next(), destAlphas[i % 6]);
                if (i % 7 == 0) {
                    src |= 0xFF000000;
                }
                ASSERT_EQ(BlendOnePixel(dest, src, blend, weight), ReferenceBlend(dest, src, blend, weight))
                    << "blend " << blend << " weight " << weight << " dest " << std::hex << dest << " src " << src;
            }
        }
    }
}

TEST(RasterBlend, ZeroWeightChangesNothing)
{
    for (RasterBlend blend : ALL_BLENDS) {
        EXPECT_EQ(BlendOnePixel(0x11223344, 0xFFFFFFFF, blend, 0.0f), 0x11223344u);
    }
}

TEST(RasterBlend, FillAppliesTheSameRulesAsCopies)
{
    TestRandom random(99);
    for (RasterBlend blend : ALL_BLENDS) {
        for (float weight : WEIGHTS) {
            MemoryBitmap target(8, 4);
            FillRandom(target, random.Next());
            std::vector<uint32_t> before = PixelsOf(target);
            uint32_t color = random.Next();
            RasterRect all = {0, 0, 8, 4};
            Raster::FillRect(target, all, color, blend, weight);
            std::vector<uint32_t> after = PixelsOf(target);
            for (size_t i = 0; i < before.size(); ++i) {
                ASSERT_EQ(after[i], ReferenceBlend(before[i], color, blend, weight));
            }
        }
    }
}

TEST(RasterBlend, OpaqueFillAndPixelAccess)
{
    MemoryBitmap target(4, 3);
    RasterRect inner = {1, 1, 3, 2};
    Raster::FillRect(target, inner, 0xFF102030);
    EXPECT_EQ(Raster::GetPixel(target, 1, 1), 0xFF102030u);
    EXPECT_EQ(Raster::GetPixel(target, 2, 1), 0xFF102030u);
    EXPECT_EQ(Raster::GetPixel(target, 0, 1), 0u);
    EXPECT_EQ(Raster::GetPixel(target, 3, 1), 0u);
    EXPECT_EQ(Raster::GetPixel(target, 1, 2), 0u);
    Raster::PutPixel(target, 3, 2, 0x7F000001);
    EXPECT_EQ(Raster::GetPixel(target, 3, 2), 0x7F000001u);
    Raster::BlendPixel(target, 3, 2, 0xFFFFFFFF, RasterBlend_Alpha, 0.5f);
    EXPECT_EQ(Raster::GetPixel(target, 3, 2), ReferenceBlend(0x7F000001, 0xFFFFFFFF, RasterBlend_Alpha, 0.5f));
    EXPECT_EQ(Raster::GetPixel(target, -1, 0), 0u);
    EXPECT_EQ(Raster::GetPixel(target, 4, 0), 0u);
}

TEST(RasterCopy, CopiesTheRequestedRegionToTheRequestedPlace)
{
    MemoryBitmap source(6, 5);
    FillRandom(source, 7);
    MemoryBitmap target(10, 10);
    Raster::CopyBitmap(target, 3, 4, source, 1, 2, 4, 3, RasterBlend_Plain);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 3 && x < 7 && y >= 4 && y < 7;
            uint32_t expected = inside ? Raster::GetPixel(source, x - 2, y - 2) : 0u;
            ASSERT_EQ(Raster::GetPixel(target, x, y), expected) << x << "," << y;
        }
    }
}

// Copying a bitmap onto itself must read every source pixel before it is
// overwritten, in all four directions of overlap.
TEST(RasterCopy, OverlappingCopyInsideOneBitmapMatchesACopyThroughASeparateBitmap)
{
    const int shifts[][2] = {{1, 1}, {-1, -1}, {2, 0}, {-2, 0}, {0, 3}, {0, -3}, {1, -2}};
    for (RasterBlend blend : ALL_BLENDS) {
        for (const auto& shift : shifts) {
            MemoryBitmap bitmap(9, 7);
            FillRandom(bitmap, 5 + shift[0] * 10 + shift[1]);
            MemoryBitmap expected(9, 7);
            Raster::CopyBitmap(expected, 0, 0, bitmap, 0, 0, 9, 7, RasterBlend_Plain);
            std::unique_ptr<MemoryBitmap> snapshot(Raster::CroppedCopy(bitmap, RasterRect{0, 0, 9, 7}));
            ASSERT_TRUE(snapshot);
            Raster::CopyBitmap(expected, 2 + shift[0], 2 + shift[1], *snapshot, 2, 2, 5, 3, blend, 0.5f);
            Raster::CopyBitmap(bitmap, 2 + shift[0], 2 + shift[1], bitmap, 2, 2, 5, 3, blend, 0.5f);
            ASSERT_EQ(PixelsOf(bitmap), PixelsOf(expected)) << blend << " " << shift[0] << "," << shift[1];
        }
    }
}
