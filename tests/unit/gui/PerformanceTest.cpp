// A full redraw of an editor-sized surface must leave plenty of the 41 ms
// timer period: the background and 100 knobs well under 10 ms.
#include <gtest/gtest.h>

#include <chrono>

#include "GuiTestSupport.h"
#include "framework/gui/IKnobMultiControl.h"
#include "resources/ImageIds.h"

TEST(EditorPerformance, FullRedrawOfBackgroundAndHundredKnobs)
{
#if !defined(NDEBUG) || defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "timed in optimised builds without sanitizers only";
#endif
    TestRig rig(729, 650);
    IGraphicsWindow& window = rig.Window();
    window.AddBackground(IMG_BACKGROUND, "img/tarvo-circle-bg.png");
    BitmapRef knob = window.LoadImage(IMG_KNOB101, "img/silver-knob101.png", 101);
    ASSERT_NE(knob.mpImage, nullptr);
    for (int i = 0; i < 100; ++i) {
        IKnobMultiControl* pKnob = new IKnobMultiControl(&rig.Plug(), 10 + (i % 10) * 70, 10 + (i / 10) * 60, -1, knob);
        pKnob->ShowValue(i / 99.0);
        window.AddControl(pKnob);
    }
    rig.AttachAndOpen();

    const int ROUNDS = 20;
    auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < ROUNDS; ++round) {
        window.MarkAllControlsChanged();
        ControlRect dirty;
        ASSERT_TRUE(window.CollectDirty(&dirty));
        ASSERT_EQ(dirty, ControlRect(0, 0, 729, 650));
        ASSERT_TRUE(window.Draw(dirty));
    }
    double milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / ROUNDS;
    EXPECT_LT(milliseconds, 10.0);
    RecordProperty("FullRedrawMicroseconds", static_cast<int>(milliseconds * 1000));
}
