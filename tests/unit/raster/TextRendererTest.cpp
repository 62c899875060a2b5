#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "RasterTestSupport.h"
#include "framework/raster/TextRenderer.h"

// fontconfig keeps its configuration for the life of the process, and the
// library must not call FcFini (the host may use fontconfig too), so that
// memory is still held at exit in sanitizer builds.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

const uint32_t BLACK = 0xFF000000;

// Bounding box of the pixels that are no longer black.
struct Ink {
    int left = 1 << 30;
    int top = 1 << 30;
    int right = -1;
    int bottom = -1;
    int count = 0;
    double total = 0;

    bool Empty() const { return count == 0; }
    double CentreX() const { return (left + right + 1) / 2.0; }
};

Ink FindInk(const RasterBitmap& bitmap)
{
    Ink ink;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            uint32_t pixel = Raster::GetPixel(bitmap, x, y);
            if (pixel != BLACK) {
                ink.left = std::min(ink.left, x);
                ink.top = std::min(ink.top, y);
                ink.right = std::max(ink.right, x);
                ink.bottom = std::max(ink.bottom, y);
                ++ink.count;
                ink.total += RasterColor::Red(pixel) / 255.0;
            }
        }
    }
    return ink;
}

Ink DrawAndFindInk(TextRenderer& renderer, const TextFormat& format, const char* text, const RasterRect& rect,
                   bool clip = false, int width = 200, int height = 60)
{
    MemoryBitmap bitmap(width, height);
    Raster::FillRect(bitmap, RasterRect{0, 0, width, height}, BLACK);
    EXPECT_TRUE(renderer.DrawTextInRect(bitmap, format, text, rect, clip));
    return FindInk(bitmap);
}

TextFormat Arial(int style = TextFontStyle_Normal, int alignment = TextAlignment_Left, uint32_t color = 0xFFFFFFFF)
{
    return MakeTextFormat("Arial", 14, color, style, alignment, 0);
}

}  // namespace

TEST(TextRenderer, DrawsInkInsideItsRectOnly)
{
    TextRenderer renderer;
    RasterRect rect = {20, 10, 120, 30};
    Ink ink = DrawAndFindInk(renderer, Arial(), "Velocity 127", rect);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.left, rect.left);
    EXPECT_GE(ink.top, rect.top);
    EXPECT_LT(ink.right, rect.right);
    EXPECT_LT(ink.bottom, rect.bottom);
    // Letters of a 14-pixel line reach well into it.
    EXPECT_GE(ink.bottom - ink.top, 8);
    EXPECT_GE(ink.right - ink.left, 50);
}

TEST(TextRenderer, TextColourAndAlphaReachThePixels)
{
    TextRenderer renderer;
    MemoryBitmap bitmap(120, 30);
    Raster::FillRect(bitmap, RasterRect{0, 0, 120, 30}, BLACK);
    ASSERT_TRUE(renderer.DrawTextInRect(bitmap, Arial(TextFontStyle_Normal, TextAlignment_Left, 0xFFFF0000), "HIL",
                                        RasterRect{5, 5, 100, 25}));
    uint32_t brightest = 0;
    for (uint32_t pixel : PixelsOf(bitmap)) {
        EXPECT_EQ(RasterColor::Green(pixel), 0u);
        EXPECT_EQ(RasterColor::Blue(pixel), 0u);
        brightest = std::max(brightest, RasterColor::Red(pixel));
    }
    // The stems of H, I and L cover whole pixels.
    EXPECT_EQ(brightest, 255u);

    TextRenderer faint;
    Ink full = DrawAndFindInk(faint, Arial(), "HIL", RasterRect{5, 5, 100, 25});
    Ink half = DrawAndFindInk(faint, Arial(TextFontStyle_Normal, TextAlignment_Left, 0x80FFFFFF), "HIL",
                              RasterRect{5, 5, 100, 25});
    EXPECT_NEAR(half.total, full.total / 2, full.total * 0.05);
}

TEST(TextRenderer, AlignmentMovesTheInk)
{
    TextRenderer renderer;
    RasterRect rect = {10, 10, 190, 30};
    Ink left = DrawAndFindInk(renderer, Arial(TextFontStyle_Normal, TextAlignment_Left), "Pattern", rect);
    Ink centre = DrawAndFindInk(renderer, Arial(TextFontStyle_Normal, TextAlignment_Centre), "Pattern", rect);
    Ink right = DrawAndFindInk(renderer, Arial(TextFontStyle_Normal, TextAlignment_Right), "Pattern", rect);
    ASSERT_FALSE(left.Empty());
    EXPECT_LE(left.left - rect.left, 3);
    EXPECT_NEAR(centre.CentreX(), (rect.left + rect.right) / 2.0, 3.0);
    EXPECT_LE(rect.right - 1 - right.right, 3);
    EXPECT_LT(left.left, centre.left);
    EXPECT_LT(centre.left, right.left);
    // Same text, same shape.
    EXPECT_EQ(left.right - left.left, right.right - right.left);
    EXPECT_EQ(left.top, right.top);
}

TEST(TextRenderer, BoldIsWiderAndDarkerThanNormal)
{
    TextRenderer renderer;
    int normalWidth = 0;
    int boldWidth = 0;
    int height = 0;
    ASSERT_TRUE(renderer.MeasureText(Arial(TextFontStyle_Normal), "Restore pattern", &normalWidth, &height));
    ASSERT_TRUE(renderer.MeasureText(Arial(TextFontStyle_Bold), "Restore pattern", &boldWidth, nullptr));
    EXPECT_GT(boldWidth, normalWidth);
    EXPECT_EQ(height, 14);
    RasterRect rect = {5, 5, 195, 25};
    Ink normal = DrawAndFindInk(renderer, Arial(TextFontStyle_Normal), "Restore pattern", rect);
    Ink bold = DrawAndFindInk(renderer, Arial(TextFontStyle_Bold), "Restore pattern", rect);
    EXPECT_GT(bold.right - bold.left, normal.right - normal.left);
    EXPECT_GT(bold.total, normal.total * 1.2);
}

TEST(TextRenderer, ItalicSlantsTheLetters)
{
    TextRenderer renderer;
    MemoryBitmap normal(40, 30);
    MemoryBitmap italic(40, 30);
    Raster::FillRect(normal, RasterRect{0, 0, 40, 30}, BLACK);
    Raster::FillRect(italic, RasterRect{0, 0, 40, 30}, BLACK);
    ASSERT_TRUE(renderer.DrawTextInRect(normal, Arial(TextFontStyle_Normal), "l", RasterRect{10, 5, 40, 25}));
    ASSERT_TRUE(renderer.DrawTextInRect(italic, Arial(TextFontStyle_Italic), "l", RasterRect{10, 5, 40, 25}));
    // The stem of an upright l stands straight; an italic one leans right.
    Ink upright = FindInk(normal);
    Ink slanted = FindInk(italic);
    ASSERT_FALSE(upright.Empty());
    ASSERT_FALSE(slanted.Empty());
    EXPECT_GT(slanted.right - slanted.left, upright.right - upright.left);
}

TEST(TextRenderer, MeasuresLinesAndBreaksAtNewlines)
{
    TextRenderer renderer;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(renderer.MeasureText(Arial(), "Lock\nMute", &width, &height));
    EXPECT_EQ(height, 28);
    int lockWidth = 0;
    ASSERT_TRUE(renderer.MeasureText(Arial(), "Lock", &lockWidth, nullptr));
    int muteWidth = 0;
    ASSERT_TRUE(renderer.MeasureText(Arial(), "Mute", &muteWidth, nullptr));
    EXPECT_EQ(width, std::max(lockWidth, muteWidth));
    int emptyWidth = -1;
    ASSERT_TRUE(renderer.MeasureText(Arial(), "", &emptyWidth, nullptr));
    EXPECT_EQ(emptyWidth, 0);

    Ink oneLine = DrawAndFindInk(renderer, Arial(), "Lock", RasterRect{5, 5, 195, 55});
    Ink twoLines = DrawAndFindInk(renderer, Arial(), "Lock\nMute", RasterRect{5, 5, 195, 55});
    EXPECT_GE(twoLines.bottom - oneLine.bottom, 12);
}

TEST(TextRenderer, ClipsToTheRectOnRequestAndAlwaysToTheBitmap)
{
    TextRenderer renderer;
    const char* text = "A long scale name that does not fit";
    RasterRect narrow = {10, 10, 60, 30};
    Ink spilled = DrawAndFindInk(renderer, Arial(), text, narrow, false);
    Ink clipped = DrawAndFindInk(renderer, Arial(), text, narrow, true);
    EXPECT_GT(spilled.right, narrow.right);
    ASSERT_FALSE(clipped.Empty());
    EXPECT_LT(clipped.right, narrow.right);
    EXPECT_GE(clipped.left, narrow.left);

    const RasterRect awkward[] = {{-50, -8, 40, 10},
                                  {150, 50, 400, 80},
                                  {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
                                  {INT32_MAX - 5, 0, INT32_MAX, 20},
                                  {30, 30, 10, 10}};
    for (const RasterRect& rect : awkward) {
        for (int alignment = 0; alignment < 3; ++alignment) {
            CanaryView view(40, 20, BLACK);
            EXPECT_TRUE(renderer.DrawTextInRect(view, Arial(TextFontStyle_Normal, alignment), text, rect, false));
            EXPECT_TRUE(view.CanaryIntact());
            CanaryView clippedView(40, 20, BLACK);
            EXPECT_TRUE(renderer.DrawTextInRect(clippedView, Arial(TextFontStyle_Normal, alignment), text, rect, true));
            EXPECT_TRUE(clippedView.CanaryIntact());
        }
    }
}

TEST(TextRenderer, OrientationTurnsTheTextCounterClockwise)
{
    TextRenderer renderer;
    TextFormat upward = MakeTextFormat("Arial", 14, 0xFFFFFFFF, TextFontStyle_Normal, TextAlignment_Left, 90);
    // Turned about the rect's top-left corner, the text runs up from it.
    Ink ink = DrawAndFindInk(renderer, upward, "Sequencer", RasterRect{20, 100, 120, 120}, false, 60, 110);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GT(ink.bottom - ink.top, 40);
    EXPECT_LT(ink.right - ink.left, 18);
    EXPECT_LE(ink.bottom, 101);
    EXPECT_GE(ink.left, 20);
}

TEST(TextRenderer, HandlesOddInputWithoutFailing)
{
    TextRenderer renderer;
    MemoryBitmap bitmap(60, 20);
    RasterRect rect = {0, 0, 60, 20};
    EXPECT_FALSE(renderer.DrawTextInRect(bitmap, Arial(), nullptr, rect));
    EXPECT_TRUE(renderer.DrawTextInRect(bitmap, Arial(), "", rect));
    EXPECT_FALSE(renderer.DrawTextInRect(bitmap, MakeTextFormat("Arial", 0, 0xFFFFFFFF), "x", rect));
    EXPECT_FALSE(renderer.DrawTextInRect(bitmap, MakeTextFormat("Arial", 100000, 0xFFFFFFFF), "x", rect));
    // Unknown families fall back to a default face; invalid UTF-8 and
    // control characters are drawn or skipped, never fatal.
    EXPECT_TRUE(renderer.DrawTextInRect(bitmap, MakeTextFormat("No Such Family 9", 12, 0xFFFFFFFF), "ok", rect));
    EXPECT_TRUE(renderer.DrawTextInRect(bitmap, Arial(), "\xff\xfe\x01\t\xe2\x82", rect));
    MemoryBitmap empty;
    EXPECT_TRUE(renderer.DrawTextInRect(empty, Arial(), "nothing to see", rect));
    // A name without its terminator is cut to the field.
    TextFormat unterminated = Arial();
    std::memset(unterminated.fontName, 'A', sizeof(unterminated.fontName));
    EXPECT_TRUE(renderer.DrawTextInRect(bitmap, unterminated, "ok", rect));
}

TEST(TextRenderer, RenderersOnTwoThreadsDrawTheSameAsOne)
{
    MemoryBitmap expected(120, 24);
    {
        TextRenderer renderer;
        ASSERT_TRUE(
            renderer.DrawTextInRect(expected, Arial(TextFontStyle_Bold), "Tarvo3 1/16", RasterRect{2, 2, 118, 22}));
    }
    std::vector<uint32_t> wanted = PixelsOf(expected);
    bool same[2] = {true, true};
    auto work = [&](int index) {
        TextRenderer renderer;
        for (int i = 0; i < 40; ++i) {
            MemoryBitmap bitmap(120, 24);
            renderer.DrawTextInRect(bitmap, Arial(TextFontStyle_Bold), "Tarvo3 1/16", RasterRect{2, 2, 118, 22});
            int width = 0;
            renderer.MeasureText(Arial(i % 3), "Tarvo3", &width, nullptr);
            if (PixelsOf(bitmap) != wanted) {
                same[index] = false;
            }
        }
    };
    std::thread first(work, 0);
    std::thread second(work, 1);
    first.join();
    second.join();
    EXPECT_TRUE(same[0]);
    EXPECT_TRUE(same[1]);
}

TEST(TextRenderer, DecodesUtf8AndFallsBackToLatin1)
{
    const char* text = "A\xc3\xa9\xe2\x82\xac\xf0\x9f\x8e\xb9\xe9\xc0\x80\xed\xa0\x80\xe2\x82";
    const uint32_t expected[] = {'A', 0xE9, 0x20AC, 0x1F3B9, 0xE9, 0xC0, 0x80, 0xED, 0xA0, 0x80, 0xE2, 0x82, 0};
    const char* p = text;
    for (uint32_t character : expected) {
        EXPECT_EQ(TextRenderer::NextCharacter(&p), character);
    }
    EXPECT_EQ(TextRenderer::NextCharacter(&p), 0u);
}
