#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <png.h>
#include <zlib.h>

#include "RasterTestSupport.h"
#include "framework/raster/SystemBitmap.h"

namespace {

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string TempPath(const char* name) { return std::string(::testing::TempDir()) + "raster_" + name + ".png"; }

// PNGs in the formats the library does not write itself, made with
// libpng's simplified writer.
std::vector<uint8_t> EncodeWithLibpng(png_uint_32 format, int width, int height, const void* pPixels,
                                      const void* pColormap = nullptr, int colormapEntries = 0)
{
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    image.colormap_entries = static_cast<png_uint_32>(colormapEntries);
    std::vector<uint8_t> bytes(4096);
    png_alloc_size_t size = bytes.size();
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, pPixels, 0, pColormap)) {
        return std::vector<uint8_t>();
    }
    bytes.resize(size);
    return bytes;
}

// Rewrites a chunk's CRC after its data was changed.
void FixChunkCrc(std::vector<uint8_t>& png, size_t chunkStart)
{
    uint32_t length = uint32_t(png[chunkStart]) << 24 | uint32_t(png[chunkStart + 1]) << 16 |
                      uint32_t(png[chunkStart + 2]) << 8 | png[chunkStart + 3];
    uLong crc = crc32(0L, png.data() + chunkStart + 4, static_cast<uInt>(length + 4));
    size_t at = chunkStart + 8 + length;
    png[at] = uint8_t(crc >> 24);
    png[at + 1] = uint8_t(crc >> 16);
    png[at + 2] = uint8_t(crc >> 8);
    png[at + 3] = uint8_t(crc);
}

std::vector<uint8_t> RoundTripFile(const RasterBitmap& bitmap, const char* name)
{
    std::string path = TempPath(name);
    EXPECT_TRUE(Raster::WritePngFile(bitmap, path.c_str()));
    std::vector<uint8_t> bytes = ReadFile(path);
    std::remove(path.c_str());
    return bytes;
}

}  // namespace

TEST(RasterScale, NearestDoublingRepeatsEveryPixelInABlock)
{
    MemoryBitmap source(3, 2);
    FillRandom(source, 3);
    MemoryBitmap target(6, 4);
    Raster::ScaledCopy(target, RasterRect{0, 0, 6, 4}, source, RasterRect{0, 0, 3, 2}, RasterBlend_Plain, 1.0f,
                       RasterFilter_Nearest);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            ASSERT_EQ(Raster::GetPixel(target, x, y), Raster::GetPixel(source, x / 2, y / 2)) << x << "," << y;
        }
    }
}

TEST(RasterScale, NearestHalvingPicksEverySecondPixel)
{
    MemoryBitmap source(8, 8);
    FillRandom(source, 4);
    std::unique_ptr<MemoryBitmap> half(Raster::ScaledBitmap(source, 4, 4, RasterFilter_Nearest));
    ASSERT_TRUE(half);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(Raster::GetPixel(*half, x, y), Raster::GetPixel(source, 2 * x + 1, 2 * y + 1));
        }
    }
}

TEST(RasterScale, BilinearDoublingInterpolatesBetweenPixelCentres)
{
    MemoryBitmap source(2, 1);
    Raster::PutPixel(source, 0, 0, 0xFF000000);
    Raster::PutPixel(source, 1, 0, 0xFFC8C8C8);
    MemoryBitmap target(4, 2);
    Raster::ScaledCopy(target, RasterRect{0, 0, 4, 2}, source, RasterRect{0, 0, 2, 1}, RasterBlend_Plain, 1.0f,
                       RasterFilter_Bilinear);
    const uint32_t expected[4] = {0xFF000000, 0xFF323232, 0xFF969696, 0xFFC8C8C8};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(Raster::GetPixel(target, x, 0), expected[x]) << x;
        EXPECT_EQ(Raster::GetPixel(target, x, 1), expected[x]) << x;
    }
}

TEST(RasterScale, BilinearKeepsTheColourOfPixelsNextToTransparentOnes)
{
    MemoryBitmap source(2, 1);
    Raster::PutPixel(source, 0, 0, 0xFFFF0000);
    Raster::PutPixel(source, 1, 0, 0x00000000);
    std::unique_ptr<MemoryBitmap> wide(Raster::ScaledBitmap(source, 4, 1, RasterFilter_Bilinear));
    ASSERT_TRUE(wide);
    // Premultiplied interpolation: the fading pixels stay pure red.
    EXPECT_EQ(Raster::GetPixel(*wide, 1, 0), 0xBFFF0000u);
    EXPECT_EQ(Raster::GetPixel(*wide, 2, 0), 0x40FF0000u);
    EXPECT_EQ(Raster::GetPixel(*wide, 3, 0), 0x00000000u);
}

TEST(RasterScale, ScaledCopyWithOffsetRectsAndBlend)
{
    MemoryBitmap source(4, 4);
    Raster::FillRect(source, RasterRect{0, 0, 4, 4}, 0xFF0000FF);
    Raster::FillRect(source, RasterRect{2, 2, 4, 4}, 0x80FF0000, RasterBlend_Plain);
    MemoryBitmap target(10, 10);
    Raster::FillRect(target, RasterRect{0, 0, 10, 10}, 0xFF000000);
    // Source quarter (2, 2)-(4, 4) stretched over (3, 3)-(7, 7).
    Raster::ScaledCopy(target, RasterRect{3, 3, 7, 7}, source, RasterRect{2, 2, 4, 4}, RasterBlend_Alpha, 1.0f,
                       RasterFilter_Nearest);
    EXPECT_EQ(Raster::GetPixel(target, 3, 3), 0xFF800000u);
    EXPECT_EQ(Raster::GetPixel(target, 6, 6), 0xFF800000u);
    EXPECT_EQ(Raster::GetPixel(target, 2, 3), 0xFF000000u);
    EXPECT_EQ(Raster::GetPixel(target, 7, 6), 0xFF000000u);
}

TEST(RasterScale, ScaledCopyOntoItselfReadsTheOriginalPixels)
{
    MemoryBitmap bitmap(8, 8);
    FillRandom(bitmap, 8);
    std::unique_ptr<MemoryBitmap> original(Raster::CroppedCopy(bitmap, RasterRect{0, 0, 8, 8}));
    ASSERT_TRUE(original);
    Raster::ScaledCopy(bitmap, RasterRect{0, 0, 8, 8}, bitmap, RasterRect{0, 0, 4, 4}, RasterBlend_Plain, 1.0f,
                       RasterFilter_Nearest);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            ASSERT_EQ(Raster::GetPixel(bitmap, x, y), Raster::GetPixel(*original, x / 2, y / 2));
        }
    }
}

TEST(RasterCrop, CroppedCopyHoldsTheVisiblePartOfTheRect)
{
    MemoryBitmap source(6, 5);
    FillRandom(source, 6);
    std::unique_ptr<MemoryBitmap> crop(Raster::CroppedCopy(source, RasterRect{2, 1, 5, 3}));
    ASSERT_TRUE(crop);
    EXPECT_EQ(crop->Width(), 3);
    EXPECT_EQ(crop->Height(), 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(Raster::GetPixel(*crop, x, y), Raster::GetPixel(source, x + 2, y + 1));
        }
    }
    std::unique_ptr<MemoryBitmap> edge(Raster::CroppedCopy(source, RasterRect{4, -10, 100, 2}));
    ASSERT_TRUE(edge);
    EXPECT_EQ(edge->Width(), 2);
    EXPECT_EQ(edge->Height(), 2);
    EXPECT_EQ(Raster::GetPixel(*edge, 1, 1), Raster::GetPixel(source, 5, 1));
    EXPECT_EQ(Raster::CroppedCopy(source, RasterRect{6, 0, 9, 5}), nullptr);
    EXPECT_EQ(Raster::CroppedCopy(source, RasterRect{3, 3, 1, 1}), nullptr);
}

TEST(RasterRotate, QuarterTurnMovesEveryPixelExactly)
{
    MemoryBitmap source(4, 4);
    FillRandom(source, 11);
    for (int filter = 0; filter < 2; ++filter) {
        CanaryView straight(10, 10, 0);
        CanaryView turned(10, 10, 0);
        Raster::DrawRotated(straight, source, RasterRect{0, 0, 4, 4}, 4.0f, 4.0f, 0.0f, RasterBlend_Plain, 1.0f,
                            static_cast<RasterFilter>(filter));
        Raster::DrawRotated(turned, source, RasterRect{0, 0, 4, 4}, 4.0f, 4.0f, 90.0f, RasterBlend_Plain, 1.0f,
                            static_cast<RasterFilter>(filter));
        int drawn = 0;
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 10; ++x) {
                bool inside = x >= 2 && x < 6 && y >= 2 && y < 6;
                uint32_t expectedStraight = inside ? Raster::GetPixel(source, x - 2, y - 2) : 0u;
                // Clockwise: source pixel (i, j) lands on (5 - j, 2 + i).
                uint32_t expectedTurned = inside ? Raster::GetPixel(source, y - 2, 5 - x) : 0u;
                ASSERT_EQ(Raster::GetPixel(straight, x, y), expectedStraight) << x << "," << y;
                ASSERT_EQ(Raster::GetPixel(turned, x, y), expectedTurned) << x << "," << y;
                drawn += inside ? 1 : 0;
            }
        }
        EXPECT_EQ(drawn, 16);
        EXPECT_TRUE(turned.CanaryIntact());
    }
}

TEST(RasterRotate, FullTurnsAndNegativeQuarterTurnsAgree)
{
    MemoryBitmap source(6, 4);
    FillRandom(source, 12);
    MemoryBitmap a(12, 12);
    MemoryBitmap b(12, 12);
    Raster::DrawRotated(a, source, RasterRect{0, 0, 6, 4}, 6.0f, 6.0f, 270.0f, RasterBlend_Plain);
    Raster::DrawRotated(b, source, RasterRect{0, 0, 6, 4}, 6.0f, 6.0f, -90.0f - 720.0f, RasterBlend_Plain);
    EXPECT_EQ(PixelsOf(a), PixelsOf(b));
}

TEST(RasterRotate, EighthTurnOfASquareCoversAboutItsArea)
{
    MemoryBitmap source(20, 20);
    Raster::FillRect(source, RasterRect{0, 0, 20, 20}, 0xFFFFFFFF);
    for (int filter = 0; filter < 2; ++filter) {
        MemoryBitmap target(50, 50);
        Raster::FillRect(target, RasterRect{0, 0, 50, 50}, 0xFF000000);
        Raster::DrawRotated(target, source, RasterRect{0, 0, 20, 20}, 25.3f, 24.8f, 45.0f, RasterBlend_Alpha, 1.0f,
                            static_cast<RasterFilter>(filter));
        EXPECT_NEAR(ChannelSum(target, 16), 400.0, 16.0);
        EXPECT_EQ(Raster::GetPixel(target, 25, 25), 0xFFFFFFFFu);
        // The corners of the turned square point up, down, left and right.
        EXPECT_EQ(Raster::GetPixel(target, 25, 13), 0xFFFFFFFFu);
        EXPECT_EQ(Raster::GetPixel(target, 14, 14), 0xFF000000u);
        EXPECT_EQ(Raster::GetPixel(target, 36, 36), 0xFF000000u);
    }
}

TEST(RasterPng, RoundTripKeepsEveryPixelIncludingAlpha)
{
    MemoryBitmap bitmap(13, 7);
    FillRandom(bitmap, 21);
    // Fully transparent pixels keep their colour channels too.
    Raster::PutPixel(bitmap, 0, 0, 0x00FF8040);
    Raster::PutPixel(bitmap, 1, 0, 0xFFFFFFFF);
    std::vector<uint8_t> bytes = RoundTripFile(bitmap, "roundtrip");
    ASSERT_GT(bytes.size(), 8u);
    std::unique_ptr<MemoryBitmap> decoded(Raster::DecodePng(bytes.data(), bytes.size()));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->Width(), 13);
    EXPECT_EQ(decoded->Height(), 7);
    EXPECT_EQ(PixelsOf(*decoded), PixelsOf(bitmap));
}

TEST(RasterPng, WritesTheVisibleViewOfABitmapWithRowSpan)
{
    CanaryView view(5, 3, 0xFF123456);
    Raster::PutPixel(view, 4, 2, 0x80ABCDEF);
    std::vector<uint8_t> bytes = RoundTripFile(view, "view");
    std::unique_ptr<MemoryBitmap> decoded(Raster::DecodePng(bytes.data(), bytes.size()));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(PixelsOf(*decoded), PixelsOf(view));
}

TEST(RasterPng, DecodesGreyPaletteAndSixteenBitImages)
{
    const uint8_t grey[4] = {0, 85, 170, 255};
    std::vector<uint8_t> greyPng = EncodeWithLibpng(PNG_FORMAT_GRAY, 2, 2, grey);
    std::unique_ptr<MemoryBitmap> greyImage(Raster::DecodePng(greyPng.data(), greyPng.size()));
    ASSERT_TRUE(greyImage);
    EXPECT_EQ(Raster::GetPixel(*greyImage, 0, 0), 0xFF000000u);
    EXPECT_EQ(Raster::GetPixel(*greyImage, 1, 0), 0xFF555555u);
    EXPECT_EQ(Raster::GetPixel(*greyImage, 1, 1), 0xFFFFFFFFu);

    // A palette with a transparent entry (written as PLTE plus tRNS).
    const uint8_t colormap[3 * 4] = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0};
    const uint8_t indices[3] = {0, 1, 2};
    std::vector<uint8_t> palettePng =
        EncodeWithLibpng(PNG_FORMAT_RGBA | PNG_FORMAT_FLAG_COLORMAP, 3, 1, indices, colormap, 3);
    std::unique_ptr<MemoryBitmap> paletteImage(Raster::DecodePng(palettePng.data(), palettePng.size()));
    ASSERT_TRUE(paletteImage);
    EXPECT_EQ(Raster::GetPixel(*paletteImage, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Raster::GetPixel(*paletteImage, 1, 0), 0x8000FF00u);
    EXPECT_EQ(RasterColor::Alpha(Raster::GetPixel(*paletteImage, 2, 0)), 0u);

    const uint16_t deep[2] = {257 * 16, 257 * 250};
    std::vector<uint8_t> deepPng = EncodeWithLibpng(PNG_FORMAT_LINEAR_Y, 2, 1, deep);
    std::unique_ptr<MemoryBitmap> deepImage(Raster::DecodePng(deepPng.data(), deepPng.size()));
    ASSERT_TRUE(deepImage);
    EXPECT_EQ(Raster::GetPixel(*deepImage, 0, 0), 0xFF101010u);
    EXPECT_EQ(Raster::GetPixel(*deepImage, 1, 0), 0xFFFAFAFAu);
}

TEST(RasterPng, GarbageAndTruncatedDataDecodeToNull)
{
    EXPECT_EQ(Raster::DecodePng(nullptr, 100), nullptr);
    const uint8_t zeros[64] = {};
    EXPECT_EQ(Raster::DecodePng(zeros, sizeof(zeros)), nullptr);
    TestRandom random(5);
    std::vector<uint8_t> noise(300);
    for (uint8_t& byte : noise) {
        byte = static_cast<uint8_t>(random.Next());
    }
    EXPECT_EQ(Raster::DecodePng(noise.data(), noise.size()), nullptr);

    MemoryBitmap bitmap(9, 9);
    FillRandom(bitmap, 22);
    std::vector<uint8_t> png = RoundTripFile(bitmap, "truncate");
    ASSERT_GT(png.size(), 50u);
    // A valid signature followed by noise.
    std::vector<uint8_t> fake(png.begin(), png.begin() + 8);
    fake.insert(fake.end(), noise.begin(), noise.end());
    EXPECT_EQ(Raster::DecodePng(fake.data(), fake.size()), nullptr);
    for (size_t length = 0; length < png.size(); ++length) {
        ASSERT_EQ(Raster::DecodePng(png.data(), length), nullptr) << length;
    }
    std::unique_ptr<MemoryBitmap> whole(Raster::DecodePng(png.data(), png.size()));
    EXPECT_TRUE(whole);
}

TEST(RasterPng, CorruptDataAndOversizedHeadersDecodeToNull)
{
    MemoryBitmap bitmap(9, 9);
    FillRandom(bitmap, 23);
    std::vector<uint8_t> png = RoundTripFile(bitmap, "corrupt");
    ASSERT_GT(png.size(), 60u);
    const size_t header = 8;
    ASSERT_EQ(std::memcmp(png.data() + header + 4, "IHDR", 4), 0);

    std::vector<uint8_t> damaged = png;
    const uint8_t* pData =
        std::search(damaged.data(), damaged.data() + damaged.size(), reinterpret_cast<const uint8_t*>("IDAT"),
                    reinterpret_cast<const uint8_t*>("IDAT") + 4);
    ASSERT_NE(pData, damaged.data() + damaged.size());
    damaged[size_t(pData - damaged.data()) + 10] ^= 0x5A;
    EXPECT_EQ(Raster::DecodePng(damaged.data(), damaged.size()), nullptr);

    // Sizes with correct checksums that no bitmap may take.
    const uint32_t sizes[][2] = {{100000, 1}, {5000, 5000}, {0, 4}, {0x80000000u, 2}};
    for (const auto& size : sizes) {
        std::vector<uint8_t> huge = png;
        for (int k = 0; k < 2; ++k) {
            for (int b = 0; b < 4; ++b) {
                huge[header + 8 + 4 * k + b] = uint8_t(size[k] >> (24 - 8 * b));
            }
        }
        FixChunkCrc(huge, header);
        EXPECT_EQ(Raster::DecodePng(huge.data(), huge.size()), nullptr) << size[0] << "x" << size[1];
    }
}

TEST(RasterPng, WritingFailsCleanlyForEmptyBitmapsAndBadPaths)
{
    MemoryBitmap empty;
    EXPECT_FALSE(Raster::WritePngFile(empty, TempPath("empty").c_str()));
    MemoryBitmap bitmap(2, 2);
    EXPECT_FALSE(Raster::WritePngFile(bitmap, "/nonexistent-folder/x.png"));
    EXPECT_FALSE(Raster::WritePngFile(bitmap, nullptr));
}

// The editor's whole picture: an opaque background blitted onto the
// window's bitmap. Reports the time per blit; checks the result.
TEST(RasterPerformance, OpaqueEditorSizedBlit)
{
    MemoryBitmap background(729, 650);
    FillRandom(background, 30);
    for (int y = 0; y < 650; ++y) {
        for (int x = 0; x < 729; ++x) {
            Raster::PutPixel(background, x, y, Raster::GetPixel(background, x, y) | 0xFF000000);
        }
    }
    SystemBitmap window(729, 650);
    const int ROUNDS = 200;
    const RasterBlend blends[] = {RasterBlend_Plain, RasterBlend_Alpha};
    for (RasterBlend blend : blends) {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < ROUNDS; ++i) {
            Raster::CopyBitmap(window, 0, 0, background, 0, 0, 729, 650, blend);
        }
        double micros =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / ROUNDS;
        std::printf("729 x 650 opaque blit, blend %d: %.1f us\n", blend, micros);
        RecordProperty(blend == RasterBlend_Plain ? "plain_blit_us" : "alpha_blit_us", static_cast<int>(micros));
        EXPECT_EQ(PixelsOf(window), PixelsOf(background));
    }
}
