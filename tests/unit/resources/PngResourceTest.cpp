#include "resources/ImageIds.h"
#include "resources/PngResource.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {
struct ExpectedImage {
    int id;
    const char* name;
    int width;
    int height;
    int frames;
};

// The editor's image catalogue as the layout uses it, written out here on its
// own so that a wrong id, size or frame count in the generated files shows.
const ExpectedImage EXPECTED[] = {
    {114, "img/empty17.png", 17, 17, 1},
    {115, "img/north17.png", 17, 17, 1},
    {116, "img/east17.png", 17, 17, 1},
    {117, "img/south17.png", 17, 17, 1},
    {118, "img/west17.png", 17, 17, 1},
    {119, "img/northeast17.png", 17, 17, 1},
    {120, "img/southeast17.png", 17, 17, 1},
    {121, "img/southwest17.png", 17, 17, 1},
    {122, "img/northwest17.png", 17, 17, 1},
    {123, "img/northslow17.png", 17, 17, 1},
    {124, "img/eastslow17.png", 17, 17, 1},
    {125, "img/southslow17.png", 17, 17, 1},
    {126, "img/westslow17.png", 17, 17, 1},
    {127, "img/northeast17slow.png", 17, 17, 1},
    {128, "img/southeast17slow.png", 17, 17, 1},
    {129, "img/southwest17slow.png", 17, 17, 1},
    {130, "img/northwest17slow.png", 17, 17, 1},
    {131, "img/collid17.png", 17, 17, 1},
    {132, "img/nomark.png", 5, 5, 1},
    {133, "img/mirrhor.png", 5, 5, 1},
    {134, "img/mirrvert.png", 5, 5, 1},
    {135, "img/mirrup.png", 5, 5, 1},
    {136, "img/mirrdown.png", 5, 5, 1},
    {137, "img/pillar.png", 5, 5, 1},
    {138, "img/wedge_n.png", 5, 5, 1},
    {139, "img/wedge_e.png", 5, 5, 1},
    {140, "img/wedge_s.png", 5, 5, 1},
    {141, "img/wedge_w.png", 5, 5, 1},
    {142, "img/bounce.png", 5, 5, 1},
    {143, "img/wormhole.png", 5, 5, 1},
    {144, "img/spin.png", 5, 5, 1},
    {145, "img/pause.png", 5, 5, 1},
    {146, "img/mirruptilt.png", 5, 5, 1},
    {147, "img/mirrdowntilt.png", 5, 5, 1},
    {148, "img/mirrhortilt.png", 5, 5, 1},
    {149, "img/mirrverttilt.png", 5, 5, 1},
    {150, "img/slow.png", 5, 5, 1},
    {151, "img/fast.png", 5, 5, 1},
    {152, "img/togglepace.png", 5, 5, 1},
    {155, "img/radio-yellow.png", 14, 28, 2},
    {156, "img/radio-red.png", 14, 28, 2},
    {157, "img/radio-north.png", 15, 30, 2},
    {158, "img/radio-east.png", 15, 30, 2},
    {159, "img/radio-south.png", 15, 30, 2},
    {160, "img/radio-west.png", 15, 30, 2},
    {161, "img/tarvo-circle-bg.png", 729, 650, 1},
    {162, "img/contact-green-up.png", 8, 16, 2},
    {163, "img/contact-green-down.png", 8, 16, 2},
    {170, "img/silver-knob16.png", 32, 512, 16},
    {171, "img/silver-knob17.png", 32, 544, 17},
    {172, "img/silver-knob101.png", 32, 3232, 101},
    {173, "img/silver-knob128.png", 32, 4096, 128},
    {174, "img/arrow-handle14.png", 14, 14, 1},
    {175, "img/arrow-handle12.png", 12, 12, 1},
    {176, "img/arrow-handle12left.png", 12, 12, 1},
    {177, "img/arrow-handle12right.png", 12, 12, 1},
    {178, "img/arrow-handle12up.png", 12, 12, 1},
    {179, "img/obstacle-selector-box.png", 21, 42, 2},
    {180, "img/empty-pattern.png", 68, 68, 1},
    {181, "img/capture-button.png", 12, 24, 2},
    {182, "img/restore-button.png", 12, 24, 2},
    {183, "img/clear-button.png", 12, 24, 2},
    {184, "img/flip-horiz.png", 12, 24, 2},
    {185, "img/flip-vert.png", 12, 24, 2},
    {186, "img/rotate-right.png", 12, 24, 2},
    {187, "img/rotate-left.png", 12, 24, 2},
    {188, "img/copy-button.png", 12, 24, 2},
    {189, "img/paste-button.png", 12, 24, 2},
    {190, "img/shift-right.png", 12, 24, 2},
    {191, "img/shift-left.png", 12, 24, 2},
    {192, "img/shift-up.png", 12, 24, 2},
    {193, "img/shift-down.png", 12, 24, 2},
    {194, "img/stagger-up.png", 12, 24, 2},
    {195, "img/stagger-down.png", 12, 24, 2},
    {196, "img/stop-go.png", 14, 28, 2},
    {197, "img/times-two.png", 15, 30, 2},
    {198, "img/times-half.png", 15, 30, 2},
    {199, "img/seq-toggle.png", 60, 44, 2},
    {200, "img/pattern-toggle.png", 60, 44, 2},
    {201, "img/mute-button.png", 13, 18, 2},
    {202, "img/lock-button.png", 13, 18, 2},
};

struct DecodedImage {
    bool ok = false;
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    const unsigned char* Pixel(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

DecodedImage Decode(const unsigned char* pData, size_t size)
{
    DecodedImage result;
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, pData, size)) {
        return result;
    }
    image.format = PNG_FORMAT_RGBA;
    result.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, result.rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return result;
    }
    result.ok = true;
    result.width = static_cast<int>(image.width);
    result.height = static_cast<int>(image.height);
    return result;
}

DecodedImage DecodeResource(int id)
{
    const unsigned char* pData = nullptr;
    size_t size = 0;
    if (!FindPngResource(id, &pData, &size)) {
        return DecodedImage();
    }
    return Decode(pData, size);
}

// Share of the pixels of frame `frame` that differ from those of frame `other`.
double FrameDifference(const DecodedImage& image, int frames, int frame, int other)
{
    const int frameHeight = image.height / frames;
    int differing = 0;
    for (int y = 0; y < frameHeight; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (std::memcmp(image.Pixel(x, frame * frameHeight + y), image.Pixel(x, other * frameHeight + y), 4) != 0) {
                ++differing;
            }
        }
    }
    return static_cast<double>(differing) / (frameHeight * image.width);
}

std::vector<unsigned char> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}  // namespace

TEST(PngResourceTest, EveryCatalogueImageIsFoundAndDecodesToItsListedSize)
{
    for (const ExpectedImage& expected : EXPECTED) {
        SCOPED_TRACE(expected.name);
        const DecodedImage image = DecodeResource(expected.id);
        ASSERT_TRUE(image.ok);
        EXPECT_EQ(expected.width, image.width);
        EXPECT_EQ(expected.height, image.height);
        EXPECT_EQ(0, image.height % expected.frames);
    }
}

TEST(PngResourceTest, EmbeddedBytesAreThoseOfTheImageFiles)
{
    for (const ExpectedImage& expected : EXPECTED) {
        SCOPED_TRACE(expected.name);
        const unsigned char* pData = nullptr;
        size_t size = 0;
        ASSERT_TRUE(FindPngResource(expected.id, &pData, &size));
        const std::vector<unsigned char> file = ReadFile(std::string(TARVO_RESOURCE_FOLDER) + "/" + expected.name);
        ASSERT_FALSE(file.empty());
        ASSERT_EQ(file.size(), size);
        EXPECT_EQ(0, std::memcmp(file.data(), pData, size));
    }
}

TEST(PngResourceTest, IdsOutsideTheCatalogueAreNotFoundAndLeaveTheOutputsAlone)
{
    // 153, 154 and 164 to 169 belong to images the editor never loads.
    for (int id : {0, -1, 99, 113, 153, 154, 164, 169, 203, 65536, 65650}) {
        SCOPED_TRACE(id);
        const unsigned char marker = 0;
        const unsigned char* pData = &marker;
        size_t size = 12345;
        EXPECT_FALSE(FindPngResource(id, &pData, &size));
        EXPECT_EQ(&marker, pData);
        EXPECT_EQ(12345u, size);
    }
}

TEST(PngResourceTest, NullOutputsAreRefused)
{
    const unsigned char* pData = nullptr;
    size_t size = 0;
    EXPECT_FALSE(FindPngResource(IMG_BACKGROUND, nullptr, &size));
    EXPECT_FALSE(FindPngResource(IMG_BACKGROUND, &pData, nullptr));
}

TEST(ImageIdsTest, CatalogueMatchesTheEditorsImageList)
{
    ASSERT_EQ(static_cast<int>(std::size(EXPECTED)), NUM_IMAGES);
    std::set<int> ids;
    for (const ImageInfo& info : IMAGE_CATALOGUE) {
        EXPECT_TRUE(ids.insert(info.id).second) << "duplicate id " << info.id;
    }
    for (const ExpectedImage& expected : EXPECTED) {
        SCOPED_TRACE(expected.name);
        const ImageInfo* pInfo = FindImageInfo(expected.id);
        ASSERT_NE(nullptr, pInfo);
        EXPECT_STREQ(expected.name, pInfo->name);
        EXPECT_EQ(expected.frames, pInfo->frames);
    }
    EXPECT_EQ(nullptr, FindImageInfo(153));
}

TEST(ImageIdsTest, CellAndMarkerListsFollowDisplayCodeAndObstacleKindOrder)
{
    EXPECT_EQ(IMG_CELL_EMPTY, IMG_FIRST_CELL);
    EXPECT_EQ(IMG_CELL_NORTH, IMG_FIRST_CELL + 1);
    EXPECT_EQ(IMG_CELL_NORTHWEST, IMG_FIRST_CELL + 8);
    EXPECT_EQ(IMG_CELL_NORTH_SLOW, IMG_FIRST_CELL + 9);
    EXPECT_EQ(IMG_CELL_COLLISION, IMG_FIRST_CELL + NUM_CELL_IMAGES - 1);
    EXPECT_EQ(IMG_MARK_NONE, IMG_FIRST_MARK);
    EXPECT_EQ(IMG_MARK_PILLAR, IMG_FIRST_MARK + 5);
    EXPECT_EQ(IMG_MARK_PACE_TOGGLE, IMG_FIRST_MARK + NUM_MARK_IMAGES - 1);
}

TEST(ImageContentTest, EveryFrameOfAStripDiffersFromItsNeighbour)
{
    // A repeated frame would make a knob stick or a switch look the same on
    // and off.
    for (const ExpectedImage& expected : EXPECTED) {
        if (expected.frames < 2) {
            continue;
        }
        SCOPED_TRACE(expected.name);
        const DecodedImage image = DecodeResource(expected.id);
        ASSERT_TRUE(image.ok);
        for (int frame = 1; frame < expected.frames; ++frame) {
            EXPECT_GT(FrameDifference(image, expected.frames, frame, frame - 1), 0.0) << "frame " << frame;
        }
    }
}

TEST(ImageContentTest, OffAndOnFramesOfSwitchesDifferClearly)
{
    for (const ExpectedImage& expected : EXPECTED) {
        if (expected.frames != 2) {
            continue;
        }
        SCOPED_TRACE(expected.name);
        const DecodedImage image = DecodeResource(expected.id);
        ASSERT_TRUE(image.ok);
        EXPECT_GT(FrameDifference(image, 2, 1, 0), 0.25);
    }
}

TEST(ImageContentTest, BackgroundIsOpaqueAndTheEmptyMarkerTransparent)
{
    const DecodedImage background = DecodeResource(IMG_BACKGROUND);
    ASSERT_TRUE(background.ok);
    int transparent = 0;
    for (int y = 0; y < background.height; ++y) {
        for (int x = 0; x < background.width; ++x) {
            transparent += background.Pixel(x, y)[3] != 255 ? 1 : 0;
        }
    }
    EXPECT_EQ(0, transparent);

    // Drawn over every cell's rover picture, so it must hide nothing.
    const DecodedImage noMark = DecodeResource(IMG_MARK_NONE);
    ASSERT_TRUE(noMark.ok);
    for (int y = 0; y < noMark.height; ++y) {
        for (int x = 0; x < noMark.width; ++x) {
            EXPECT_EQ(0, noMark.Pixel(x, y)[3]);
        }
    }
}

TEST(ImageContentTest, ObstacleMarkersAreAllDistinct)
{
    std::set<std::vector<unsigned char>> seen;
    for (int id = IMG_FIRST_MARK; id < IMG_FIRST_MARK + NUM_MARK_IMAGES; ++id) {
        const DecodedImage marker = DecodeResource(id);
        ASSERT_TRUE(marker.ok);
        EXPECT_TRUE(seen.insert(marker.rgba).second) << "marker " << id << " repeats another";
    }
}
