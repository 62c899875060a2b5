// The default editor drawn offscreen: the background shows wherever no
// control draws, knobs and their read-outs draw in their rects, a hidden
// panel leaves the background alone.
#include <vector>

#include "EditorTestSupport.h"
#include "framework/raster/Raster.h"
#include "resources/ImageIds.h"

namespace {

class Screen {
public:
    explicit Screen(EditorHost& host)
        : mHost(host),
          mpBackground(host.Window().LoadImage(IMG_BACKGROUND, FindImageInfo(IMG_BACKGROUND)->name).mpImage)
    {
    }
    uint32_t Pixel(int x, int y) { return mHost.Window().ReadPixel(x, y).Packed(); }
    uint32_t Background(int x, int y) { return Raster::GetPixel(*mpBackground, x, y); }
    // Pixels of the rect that differ from the background.
    int Drawn(const ControlRect& rect)
    {
        int count = 0;
        for (int y = rect.mTop; y < rect.mBottom; ++y) {
            for (int x = rect.mLeft; x < rect.mRight; ++x) count += Pixel(x, y) != Background(x, y);
        }
        return count;
    }

private:
    EditorHost& mHost;
    RasterBitmap* mpBackground;
};

}  // namespace

TEST(EditorScreenshot, TheDefaultEditorShowsItsBackgroundKnobsAndTexts)
{
    EditorHost host;
    host.Open();
    Screen screen(host);
    ASSERT_NE(host.Window().PixelBuffer(), nullptr);

    // Most of the editor is background.
    const ControlRect whole(0, 0, 729, 650);
    EXPECT_LT(screen.Drawn(whole), 729 * 650 / 4);
    EXPECT_EQ(screen.Pixel(2, 2), screen.Background(2, 2));
    EXPECT_EQ(screen.Pixel(725, 645), screen.Background(725, 645));

    // Every knob and its read-out are drawn.
    for (int paramIdx : {EParam_NoteProb, EParam_TimeUnits, EParam_Velocity, EParam_NumRows, EParam_SeqNStep}) {
        IControl* pKnob = host.Bound(paramIdx);
        EXPECT_GT(screen.Drawn(pKnob->GetRect()), 0) << "knob " << paramIdx;
        EXPECT_GT(screen.Drawn(host.ReadOut(paramIdx)->GetRect()), 0) << "read-out " << paramIdx;
    }
    EXPECT_GT(screen.Drawn(ControlRect(644, 575, 684, 591)), 0);  // "Version 0.8"
    EXPECT_GT(screen.Drawn(ControlRect(554, 511, 729, 531)), 0);  // "default"

    // The hidden sequencer panel leaves the background where the pattern
    // panel's buttons do not lie; shown, it draws there.
    std::vector<ControlRect> stepSwitches;
    const ControlGroup& pattern = host.Gui().PatternPanel();
    for (int paramIdx = EParam_FirstLock; paramIdx < EParam_FirstMute + 32; ++paramIdx) {
        ControlRect rect = host.Bound(paramIdx)->GetRect();
        bool covered = false;
        for (int i = 0; i < pattern.NControls(); ++i) {
            covered = covered || pattern.GetControl(i)->GetRect().Intersects(rect);
        }
        if (!covered) stepSwitches.push_back(rect);
    }
    ASSERT_GE(stepSwitches.size(), 4u);
    for (const ControlRect& rect : stepSwitches) EXPECT_EQ(screen.Drawn(rect), 0);
    EXPECT_GT(screen.Drawn(host.Bound(EParam_Save1)->GetRect()), 0);
    host.SetParam(EParam_PnlSeq, 1.0);
    host.Tick();
    for (const ControlRect& rect : stepSwitches) EXPECT_GT(screen.Drawn(rect), 0);
    EXPECT_EQ(screen.Drawn(host.Bound(EParam_Save1)->GetRect()), 0);
    host.SetParam(EParam_PnlPatt, 1.0);
    host.Tick();

    // The picture to look at: the default editor with the pattern panel.
    std::string path = testing::TempDir() + "tarvo-editor.png";
    EXPECT_TRUE(WriteScreenshot(host.Window(), path.c_str()));
}
