// The drawing surface: dirty rects and redraws, drawing order and clipping,
// mouse and key routing, images and the bitmap cache.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "framework/gui/IBitmapControl.h"
#include "framework/gui/IContactControl.h"
#include "resources/ImageIds.h"
#include "resources/PngResource.h"

namespace {

// A fill that also records what the surface made of it: its prepares and
// every input event.
class ProbeControl : public FillControl {
public:
    using FillControl::FillControl;
    void PrepareDraw() override { ++mPrepares; }
    void MouseDown(int x, int y, const MouseMods& mods) override { mEvents.push_back("down " + Where(x, y, mods)); }
    void MouseUp(int x, int y, const MouseMods& mods) override { mEvents.push_back("up " + Where(x, y, mods)); }
    void MouseDrag(int x, int y, int dx, int dy, const MouseMods&) override
    {
        char text[64];
        std::snprintf(text, sizeof text, "drag %d,%d by %d,%d", x, y, dx, dy);
        mEvents.push_back(text);
    }
    void MouseDoubleClick(int x, int y, const MouseMods& mods) override
    {
        mEvents.push_back("double " + Where(x, y, mods));
    }
    void MouseWheel(int, int, const MouseMods&, int d) override { mEvents.push_back("wheel " + std::to_string(d)); }
    void KeyDown(int, int, int key) override { mEvents.push_back("key " + std::to_string(key)); }
    void MouseOver(int x, int y, const MouseMods&) override { mEvents.push_back("over " + Where(x, y, NoButton())); }
    void MouseOut() override { mEvents.push_back("out"); }

    static std::string Where(int x, int y, const MouseMods& mods)
    {
        return std::to_string(x) + "," + std::to_string(y) + (mods.mRight ? " right" : "");
    }

    int mPrepares = 0;
    std::vector<std::string> mEvents;
};

ProbeControl* AddProbe(TestRig& rig, const ControlRect& rect, int paramIdx = -1, uint32_t color = RED)
{
    ProbeControl* pProbe = new ProbeControl(&rig.Plug(), rect, paramIdx, color);
    rig.Window().AddControl(pProbe);
    return pProbe;
}

void DrawAll(IGraphicsLice& surface)
{
    for (int i = 0; i < surface.NControls(); ++i) surface.GetControl(i)->MarkDrawn();
}

}  // namespace

TEST(IGraphicsLice, CollectDirtyUnitesTheRectsOfChangedControls)
{
    TestRig rig;
    ProbeControl* pA = AddProbe(rig, ControlRect(10, 10, 20, 20));
    ProbeControl* pB = AddProbe(rig, ControlRect(50, 40, 60, 70));
    ProbeControl* pC = AddProbe(rig, ControlRect(0, 0, 5, 5));
    rig.Attach();
    IGraphicsWindow& surface = rig.Window();
    ControlRect dirty(1, 2, 3, 4);
    DrawAll(surface);
    EXPECT_FALSE(surface.CollectDirty(&dirty));
    EXPECT_TRUE(dirty.Empty());

    pA->MarkChanged(false);
    pB->MarkChanged(false);
    EXPECT_TRUE(surface.CollectDirty(&dirty));
    EXPECT_EQ(dirty, ControlRect(10, 10, 60, 70));
    EXPECT_EQ(pA->mPrepares, 1);
    EXPECT_EQ(pB->mPrepares, 1);
    EXPECT_EQ(pC->mPrepares, 0);
}

TEST(IGraphicsLice, DrawOnlyUpdateAreaDrawsWhatIntersectsAndClipsToIt)
{
    TestRig rig;
    ProbeControl* pBack = AddProbe(rig, ControlRect(0, 0, 200, 100), -1, BLUE);
    ProbeControl* pLeft = AddProbe(rig, ControlRect(10, 10, 30, 30), -1, RED);
    ProbeControl* pRight = AddProbe(rig, ControlRect(100, 10, 120, 30), -1, GREEN);
    rig.AttachAndOpen();
    EXPECT_EQ(rig.Window().ReadPixel(15, 15).Packed(), RED);
    EXPECT_EQ(rig.Window().ReadPixel(105, 15).Packed(), GREEN);
    EXPECT_EQ(rig.Window().ReadPixel(50, 50).Packed(), BLUE);

    // Only the left control changes: the background is redrawn under it,
    // but clipped to the changed area, so the right control survives.
    int rightDraws = pRight->mDraws;
    pLeft->mColor = WHITE;
    pLeft->MarkChanged(false);
    int blits = Offscreen(rig.Window()).mBlits;
    rig.Window().Tick();
    EXPECT_EQ(pRight->mDraws, rightDraws);
    EXPECT_EQ(pBack->mDraws, 2);
    EXPECT_EQ(rig.Window().ReadPixel(15, 15).Packed(), WHITE);
    EXPECT_EQ(rig.Window().ReadPixel(105, 15).Packed(), GREEN);
    EXPECT_EQ(Offscreen(rig.Window()).mBlits, blits + 1);
    EXPECT_EQ(Offscreen(rig.Window()).mLastBlit, ControlRect(10, 10, 30, 30));

    // Nothing changed: no draw, no blit.
    rig.Window().Tick();
    EXPECT_EQ(Offscreen(rig.Window()).mBlits, blits + 1);

    // An expose copies from the bitmap without drawing anything.
    rig.Window().HandlePaint(ControlRect(0, 0, 200, 100));
    EXPECT_EQ(Offscreen(rig.Window()).mBlits, blits + 2);
    EXPECT_EQ(Offscreen(rig.Window()).mLastBlit, ControlRect(0, 0, 200, 100));
    EXPECT_EQ(pBack->mDraws, 2);
}

TEST(IGraphicsLice, LaterControlsDrawOnTopAndHiddenOnesNotAtAll)
{
    TestRig rig;
    AddProbe(rig, ControlRect(0, 0, 200, 100), -1, BLUE);
    AddProbe(rig, ControlRect(10, 10, 40, 40), -1, RED);
    ProbeControl* pTop = AddProbe(rig, ControlRect(20, 20, 50, 50), -1, GREEN);
    rig.AttachAndOpen();
    EXPECT_EQ(rig.Window().ReadPixel(15, 15).Packed(), RED);
    EXPECT_EQ(rig.Window().ReadPixel(25, 25).Packed(), GREEN);
    EXPECT_EQ(rig.Window().ReadPixel(45, 45).Packed(), GREEN);

    pTop->SetHidden(true);
    rig.Window().Tick();
    EXPECT_EQ(rig.Window().ReadPixel(25, 25).Packed(), RED);
    EXPECT_EQ(rig.Window().ReadPixel(45, 45).Packed(), BLUE);
}

TEST(IGraphicsLice, GrayedControlsDrawAtAQuarterWeight)
{
    TestRig rig;
    AddProbe(rig, ControlRect(0, 0, 200, 100), -1, BLACK);
    ProbeControl* pGrayed = AddProbe(rig, ControlRect(10, 10, 20, 20), -1, WHITE);
    rig.AttachAndOpen();
    pGrayed->SetGrayed(true);
    rig.Window().Tick();
    // White over black at weight 0.25: 64 of 255.
    EXPECT_EQ(rig.Window().ReadPixel(15, 15).Packed(), 0xFF404040u);
}

TEST(IGraphicsLice, DrawOfChangedControlsOnlyMode)
{
    TestRig rig;
    ProbeControl* pBack = AddProbe(rig, ControlRect(0, 0, 200, 100), -1, BLUE);
    ProbeControl* pA = AddProbe(rig, ControlRect(10, 10, 30, 30), -1, RED);
    ProbeControl* pOver = AddProbe(rig, ControlRect(20, 20, 40, 40), -1, GREEN);
    ProbeControl* pFar = AddProbe(rig, ControlRect(100, 10, 120, 30), -1, WHITE);
    rig.Window().SetDrawOnlyUpdateArea(false);
    rig.AttachAndOpen();
    // The dirty background redraws everything once.
    EXPECT_EQ(pBack->mDraws, 1);
    EXPECT_EQ(pFar->mDraws, 1);

    // A dirty control redraws itself and what overlaps it, in list order.
    pA->mColor = BLACK;
    pA->MarkChanged(false);
    rig.Window().Tick();
    EXPECT_EQ(pBack->mDraws, 2);
    EXPECT_EQ(pA->mDraws, 2);
    EXPECT_EQ(pOver->mDraws, 2);
    EXPECT_EQ(pFar->mDraws, 1);
    EXPECT_EQ(rig.Window().ReadPixel(15, 15).Packed(), BLACK);
    EXPECT_EQ(rig.Window().ReadPixel(25, 25).Packed(), GREEN);
    EXPECT_FALSE(pA->NeedsDraw());

    // A hidden dirty control still draws itself in this mode.
    pFar->SetHidden(true);
    rig.Window().Tick();
    EXPECT_EQ(pFar->mDraws, 2);
}

TEST(IGraphicsLice, NothingToDrawWithoutControls)
{
    TestRig rig;
    rig.AttachAndOpen();
    EXPECT_TRUE(rig.Window().Draw(ControlRect(0, 0, 10, 10)));
    EXPECT_EQ(Offscreen(rig.Window()).mBlits, 0);
}

TEST(IGraphicsLice, OverlappingControlsRouteToTheLaterOne)
{
    TestRig rig;
    ProbeControl* pUnder = AddProbe(rig, ControlRect(0, 0, 50, 50));
    ProbeControl* pOver = AddProbe(rig, ControlRect(20, 20, 70, 70));
    rig.AttachAndOpen();
    rig.Window().HandleMouseDown(30, 30, LeftButton());
    rig.Window().HandleMouseUp(30, 30, LeftButton());
    EXPECT_TRUE(pUnder->mEvents.empty());
    EXPECT_EQ(pOver->mEvents, (std::vector<std::string>{"down 30,30", "up 30,30"}));

    rig.Window().HandleMouseDown(10, 10, LeftButton());
    EXPECT_EQ(pUnder->mEvents, std::vector<std::string>{"down 10,10"});
}

TEST(IGraphicsLice, GrayedAndHiddenControlsLetClicksFallThrough)
{
    TestRig rig;
    ProbeControl* pUnder = AddProbe(rig, ControlRect(0, 0, 50, 50));
    ProbeControl* pOver = AddProbe(rig, ControlRect(0, 0, 50, 50));
    rig.AttachAndOpen();
    pOver->SetGrayed(true);
    rig.Window().HandleMouseDown(5, 5, LeftButton());
    rig.Window().HandleMouseUp(5, 5, LeftButton());
    rig.Window().HandleMouseWheel(5, 5, NoButton(), 1);
    EXPECT_TRUE(pOver->mEvents.empty());
    EXPECT_EQ(pUnder->mEvents, (std::vector<std::string>{"down 5,5", "up 5,5", "wheel 1"}));

    pOver->SetGrayed(false);
    pOver->SetHidden(true);
    rig.Window().HandleMouseDown(6, 6, LeftButton());
    EXPECT_TRUE(pOver->mEvents.empty());
    EXPECT_EQ(pUnder->mEvents.back(), "down 6,6");

    // Nothing beneath: nothing happens.
    pUnder->SetHidden(true);
    rig.Window().HandleMouseDown(7, 7, LeftButton());
    EXPECT_EQ(pUnder->mEvents.back(), "down 6,6");
    EXPECT_EQ(rig.Window().CaptureIdx(), -1);
}

TEST(IGraphicsLice, CaptureKeepsTheControlAcrossADrag)
{
    TestRig rig;
    ProbeControl* pKnob = AddProbe(rig, ControlRect(0, 0, 20, 20));
    ProbeControl* pOther = AddProbe(rig, ControlRect(100, 0, 150, 50));
    rig.AttachAndOpen();
    rig.Window().HandleMouseDown(10, 10, LeftButton());
    EXPECT_EQ(rig.Window().CaptureIdx(), 0);
    rig.Window().HandleMouseMove(110, 5, LeftButton());
    rig.Window().HandleMouseMove(110, 5, LeftButton());  // no movement: nothing
    rig.Window().HandleMouseMove(120, 2, LeftButton());
    rig.Window().HandleMouseUp(120, 2, LeftButton());
    EXPECT_EQ(pKnob->mEvents,
              (std::vector<std::string>{"down 10,10", "drag 110,5 by 100,-5", "drag 120,2 by 10,-3", "up 120,2"}));
    EXPECT_TRUE(pOther->mEvents.empty());
    EXPECT_EQ(rig.Window().CaptureIdx(), -1);

    // A drag without a captured control goes nowhere.
    rig.Window().HandleMouseMove(130, 10, LeftButton());
    EXPECT_TRUE(pOther->mEvents.empty());
}

TEST(IGraphicsLice, GesturesFramePressesOfBoundControls)
{
    TestRig rig;
    AddProbe(rig, ControlRect(0, 0, 20, 20), TestParam_Gain);
    AddProbe(rig, ControlRect(50, 0, 70, 20));
    rig.AttachAndOpen();
    rig.Window().HandleMouseDown(5, 5, LeftButton());
    rig.Window().HandleMouseUp(5, 5, LeftButton());
    rig.Window().HandleMouseDown(55, 5, LeftButton());
    rig.Window().HandleMouseUp(55, 5, LeftButton());
    EXPECT_EQ(rig.Plug().mGestures, (std::vector<int>{1000 + TestParam_Gain, 2000 + TestParam_Gain}));
}

TEST(IGraphicsLice, DoubleClicksGoToTheControlOrBecomePresses)
{
    TestRig rig;
    TestImage image(10, 10, {RED, GREEN});
    ProbeControl* pProbe = AddProbe(rig, ControlRect(0, 0, 20, 20));
    IContactControl* pContact = new IContactControl(&rig.Plug(), 50, 0, TestParam_Power, image.Ref());
    pContact->SetDoubleClickAsPress(true);
    rig.Window().AddControl(pContact);
    rig.AttachAndOpen();

    EXPECT_FALSE(rig.Window().HandleMouseDoubleClick(5, 5, LeftButton()));
    EXPECT_EQ(pProbe->mEvents, std::vector<std::string>{"double 5,5"});

    // A contact takes the double-click as its press: 1, then 0 on release.
    EXPECT_TRUE(rig.Window().HandleMouseDoubleClick(55, 5, LeftButton()));
    EXPECT_EQ(pContact->Value(), 1.0);
    EXPECT_EQ(rig.Window().CaptureIdx(), 1);
    rig.Window().HandleMouseUp(55, 5, LeftButton());
    EXPECT_EQ(pContact->Value(), 0.0);
    EXPECT_EQ(rig.Plug().mChanged, (std::vector<int>{TestParam_Power, TestParam_Power}));
}

TEST(IGraphicsLice, MouseOverAndOutOnlyWhenAskedFor)
{
    TestRig rig;
    ProbeControl* pA = AddProbe(rig, ControlRect(0, 0, 20, 20));
    ProbeControl* pB = AddProbe(rig, ControlRect(50, 0, 70, 20));
    rig.AttachAndOpen();
    EXPECT_FALSE(rig.Window().HandleMouseMove(5, 5, NoButton()));
    EXPECT_TRUE(pA->mEvents.empty());

    rig.Window().SetHandleMouseOver(true);
    EXPECT_TRUE(rig.Window().HandleMouseMove(5, 5, NoButton()));
    EXPECT_TRUE(rig.Window().HandleMouseMove(6, 5, NoButton()));
    EXPECT_TRUE(rig.Window().HandleMouseMove(55, 5, NoButton()));
    EXPECT_EQ(pA->mEvents, (std::vector<std::string>{"over 5,5", "over 6,5", "out"}));
    EXPECT_EQ(pB->mEvents, std::vector<std::string>{"over 55,5"});
    EXPECT_EQ(rig.Window().MouseOverIdx(), 1);

    rig.Window().HandleMouseLeave();
    EXPECT_EQ(pA->mEvents.back(), "out");
    EXPECT_EQ(pB->mEvents.back(), "out");
    EXPECT_EQ(rig.Window().MouseOverIdx(), -1);
}

TEST(IGraphicsLice, KeysGoToTheControlUnderTheCursor)
{
    TestRig rig;
    ProbeControl* pA = AddProbe(rig, ControlRect(0, 0, 20, 20));
    rig.AttachAndOpen();
    rig.Window().HandleKeyDown(5, 5, KeyFromVirtualKey('Q'));
    rig.Window().HandleKeyDown(5, 5, KeyFromVirtualKey(0x7B));  // F12: no key number
    rig.Window().HandleKeyDown(90, 90, EKey_Space);
    EXPECT_EQ(pA->mEvents, std::vector<std::string>{"key " + std::to_string(EKey_A + 16)});
}

TEST(KeyFromVirtualKey, MapsSpaceArrowsDigitsAndLetters)
{
    EXPECT_EQ(KeyFromVirtualKey(0x20), 0);
    EXPECT_EQ(KeyFromVirtualKey(0x26), 1);
    EXPECT_EQ(KeyFromVirtualKey(0x28), 2);
    EXPECT_EQ(KeyFromVirtualKey(0x25), 3);
    EXPECT_EQ(KeyFromVirtualKey(0x27), 4);
    EXPECT_EQ(KeyFromVirtualKey('0'), 5);
    EXPECT_EQ(KeyFromVirtualKey('9'), 14);
    EXPECT_EQ(KeyFromVirtualKey('A'), 15);
    EXPECT_EQ(KeyFromVirtualKey('Z'), 40);
    EXPECT_EQ(KeyFromVirtualKey('a'), 15);
    EXPECT_EQ(KeyFromVirtualKey('z'), 40);
    EXPECT_EQ(KeyFromVirtualKey(0x2F), EKey_None);
    EXPECT_EQ(KeyFromVirtualKey(0x5B), EKey_None);
    EXPECT_EQ(KeyFromVirtualKey(0x7B), EKey_None);
    EXPECT_EQ(KeyFromVirtualKey(0x0D), EKey_None);
}

TEST(IGraphicsLice, BitmapFramesComeFromTheirRows)
{
    TestRig rig;
    rig.Attach();
    TestImage image(4, 3, {RED, GREEN, BLUE});
    IGraphicsLice& surface = rig.Window();
    EXPECT_TRUE(surface.DrawBitmap(image.Ref(), ControlRect(0, 0, 4, 3), 3, nullptr));
    EXPECT_TRUE(surface.DrawBitmap(image.Ref(), ControlRect(10, 0, 14, 3), 2, nullptr));
    EXPECT_EQ(surface.ReadPixel(0, 0).Packed(), BLUE);
    EXPECT_EQ(surface.ReadPixel(13, 2).Packed(), GREEN);
    // A plain copy at half weight mixes every channel.
    BlendMode half(BlendMethod_Plain, 0.5f);
    EXPECT_TRUE(surface.DrawBitmap(image.Ref(), ControlRect(10, 0, 14, 3), 1, &half));
    EXPECT_EQ(surface.ReadPixel(11, 1).Packed(), 0xFF807F00u);
    EXPECT_FALSE(surface.DrawBitmap(BitmapRef(), ControlRect(0, 0, 4, 3), 1, nullptr));
}

TEST(IGraphicsLice, PrimitivesPixelsAndLines)
{
    TestRig rig;
    rig.Attach();
    IGraphicsLice& surface = rig.Window();
    surface.FillArea(Color(255, 0, 0, 0), ControlRect(0, 0, 200, 100), nullptr);
    surface.WritePixel(Color(10, 20, 30, 40), 3, 4);
    EXPECT_EQ(surface.ReadPixel(3, 4), Color(10, 20, 30, 40));
    surface.DrawVerticalLine(Color(255, 255, 0, 0), 10, 8, 2);
    EXPECT_EQ(surface.ReadPixel(10, 2).Packed(), RED);
    EXPECT_EQ(surface.ReadPixel(10, 8).Packed(), RED);
    EXPECT_EQ(surface.ReadPixel(10, 9).Packed(), BLACK);
    surface.DrawHorizontalLine(Color(255, 0, 255, 0), 20, 5, 7);
    EXPECT_EQ(surface.ReadPixel(5, 20).Packed(), GREEN);
    EXPECT_EQ(surface.ReadPixel(7, 20).Packed(), GREEN);
    EXPECT_EQ(surface.ReadPixel(8, 20).Packed(), BLACK);
    surface.DrawLine(Color(255, 0, 0, 255), 30, 30, 40, 30, nullptr, false);
    EXPECT_EQ(surface.ReadPixel(35, 30).Packed(), BLUE);
    surface.DrawPoint(Color(255, 255, 255, 255), 50, 50, nullptr);
    EXPECT_EQ(surface.ReadPixel(50, 50).Packed(), WHITE);
    surface.DrawCircle(Color(255, 255, 255, 255), 100, 50, 10, nullptr, false);
    EXPECT_EQ(surface.ReadPixel(110, 50).Packed(), WHITE);
    EXPECT_EQ(surface.ReadPixel(100, 50).Packed(), BLACK);
    EXPECT_EQ(surface.ReadPixel(500, 500).Packed(), 0u);
    EXPECT_EQ(surface.PixelBuffer()->Width(), 200);
}

TEST(IGraphicsLice, ArcsRotationsAndLayers)
{
    TestRig rig;
    rig.Attach();
    IGraphicsLice& surface = rig.Window();
    surface.FillArea(Color(255, 0, 0, 0), ControlRect(0, 0, 200, 100), nullptr);

    // Clockwise from 3 o'clock: a quarter arc runs from east to south.
    surface.DrawArc(Color(255, 255, 255, 255), 100, 50, 10, 0, 90, nullptr, false);
    EXPECT_EQ(surface.ReadPixel(110, 50).Packed(), WHITE);
    EXPECT_EQ(surface.ReadPixel(100, 60).Packed(), WHITE);
    EXPECT_EQ(surface.ReadPixel(90, 50).Packed(), BLACK);
    EXPECT_EQ(surface.ReadPixel(100, 40).Packed(), BLACK);

    // A 4 x 2 image, red on the left, green on the right, turned a quarter
    // clockwise about (10, 10): red on top, green below.
    MemoryBitmap halves(4, 2);
    Raster::FillRect(halves, RasterRect{0, 0, 2, 2}, RED, RasterBlend_Plain);
    Raster::FillRect(halves, RasterRect{2, 0, 4, 2}, GREEN, RasterBlend_Plain);
    BitmapRef turned(&halves, 4, 2, 1);
    EXPECT_TRUE(surface.DrawBitmapRotated(turned, 10, 10, 90.0, 1, nullptr));
    EXPECT_EQ(surface.ReadPixel(9, 8).Packed(), RED);
    EXPECT_EQ(surface.ReadPixel(10, 9).Packed(), RED);
    EXPECT_EQ(surface.ReadPixel(9, 10).Packed(), GREEN);
    EXPECT_EQ(surface.ReadPixel(10, 11).Packed(), GREEN);
    EXPECT_EQ(surface.ReadPixel(8, 10).Packed(), BLACK);

    // Layers: the mask turns about the base's centre, the top covers both.
    TestImage base(4, 4, {RED});
    TestImage mask(2, 2, {GREEN});
    MemoryBitmap corner(4, 4);
    Raster::PutPixel(corner, 0, 0, BLUE);
    BitmapRef top(&corner, 4, 4, 1);
    EXPECT_TRUE(surface.DrawRotatedLayers(base.Ref(), mask.Ref(), top, 20, 20, 0.0, nullptr));
    EXPECT_EQ(surface.ReadPixel(20, 20).Packed(), BLUE);
    EXPECT_EQ(surface.ReadPixel(21, 21).Packed(), GREEN);
    EXPECT_EQ(surface.ReadPixel(22, 22).Packed(), GREEN);
    EXPECT_EQ(surface.ReadPixel(23, 23).Packed(), RED);
    EXPECT_EQ(surface.ReadPixel(24, 24).Packed(), BLACK);
    EXPECT_FALSE(surface.DrawRotatedLayers(BitmapRef(), mask.Ref(), top, 20, 20, 0.0, nullptr));
}

TEST(IGraphicsLice, LoadsImagesOnceAndSharesThemBetweenSurfaces)
{
    // Counts the decodes behind the cache.
    class CountingWindow : public IGraphicsWindow {
    public:
        using IGraphicsWindow::IGraphicsWindow;
        RasterBitmap* LoadPngResource(int id, const char* name) override
        {
            ++mDecodes;
            return IGraphicsWindow::LoadPngResource(id, name);
        }
        int mDecodes = 0;
    };
    TestPlug plugA, plugB;
    CountingWindow first(&plugA, 100, 100);
    CountingWindow second(&plugB, 100, 100);
    first.SetPngResourceLookup(FindPngResource);
    second.SetPngResourceLookup(FindPngResource);
    // An image no other test loads, so that this is the process's first.
    BitmapRef a = first.LoadImage(IMG_STEP_LOCK, "img/lock-button.png", 2);
    BitmapRef b = second.LoadImage(IMG_STEP_LOCK, "img/lock-button.png", 2);
    BitmapRef c = first.LoadImage(IMG_STEP_LOCK, "img/lock-button.png", 2);
    EXPECT_EQ(first.mDecodes, 1);
    EXPECT_EQ(second.mDecodes, 0);
    ASSERT_NE(a.mpImage, nullptr);
    EXPECT_EQ(a.mpImage, b.mpImage);
    EXPECT_EQ(a.mpImage, c.mpImage);
    EXPECT_EQ(a.mWidth, 13);
    EXPECT_EQ(a.mHeight, 18);
    EXPECT_EQ(a.mFrames, 2);
    EXPECT_EQ(a.FrameHeight(), 9);
    // Images of resources are shared: no surface may drop them.
    EXPECT_FALSE(first.DropBitmap(a.mpImage));
}

TEST(IGraphicsLice, PngResourcesNeedThePngExtensionAndAResource)
{
    TestPlug plug;
    IGraphicsWindow window(&plug, 10, 10);
    EXPECT_EQ(window.LoadPngResource(IMG_KNOB16, "img/silver-knob16.png"), nullptr);  // no lookup given
    window.SetPngResourceLookup(FindPngResource);
    std::unique_ptr<RasterBitmap> pKnob(window.LoadPngResource(IMG_KNOB16, "img/silver-knob16.PNG"));
    ASSERT_NE(pKnob, nullptr);
    EXPECT_EQ(pKnob->Width(), 32);
    EXPECT_EQ(pKnob->Height(), 512);
    EXPECT_EQ(window.LoadPngResource(IMG_KNOB16, "img/silver-knob16.bmp"), nullptr);
    EXPECT_EQ(window.LoadPngResource(IMG_KNOB16, "img/silver-knob16"), nullptr);
    EXPECT_EQ(window.LoadPngResource(IMG_KNOB16, "img/silver-knob16.pngx"), nullptr);
    EXPECT_EQ(window.LoadPngResource(IMG_KNOB16, nullptr), nullptr);
    EXPECT_EQ(window.LoadPngResource(99, "missing.png"), nullptr);
}

TEST(IGraphicsLice, ScaledAndCroppedCopiesAreKeptUntilDropped)
{
    TestPlug plug;
    IGraphicsWindow window(&plug, 10, 10);
    TestImage image(4, 2, {RED, GREEN});
    BitmapRef scaled = window.MakeScaledCopy(image.Ref(), 8, 8);
    ASSERT_NE(scaled.mpImage, nullptr);
    EXPECT_EQ(scaled.mWidth, 8);
    EXPECT_EQ(scaled.mFrames, 2);
    EXPECT_EQ(Raster::GetPixel(*scaled.mpImage, 0, 0), RED);
    EXPECT_EQ(Raster::GetPixel(*scaled.mpImage, 7, 7), GREEN);

    BitmapRef cropped = window.MakeCroppedCopy(image.Ref(), ControlRect(1, 2, 3, 4));
    ASSERT_NE(cropped.mpImage, nullptr);
    EXPECT_EQ(cropped.mWidth, 2);
    EXPECT_EQ(cropped.mHeight, 2);
    EXPECT_EQ(cropped.mFrames, 1);
    EXPECT_EQ(Raster::GetPixel(*cropped.mpImage, 0, 0), GREEN);

    EXPECT_TRUE(window.DropBitmap(scaled.mpImage));
    EXPECT_TRUE(window.DropBitmap(cropped.mpImage));
    EXPECT_FALSE(window.DropBitmap(cropped.mpImage));
    EXPECT_EQ(window.MakeScaledCopy(BitmapRef(), 8, 8).mpImage, nullptr);
}

TEST(IGraphicsLice, BackgroundCoversTheSurfaceAsControlZero)
{
    TestRig rig(729, 650);
    ProbeControl* pProbe = AddProbe(rig, ControlRect(10, 10, 20, 20));
    rig.Window().AddBackground(IMG_BACKGROUND, "img/tarvo-circle-bg.png");
    ASSERT_EQ(rig.Window().NControls(), 2);
    EXPECT_EQ(rig.Window().GetControl(1), pProbe);
    EXPECT_EQ(rig.Window().GetControl(0)->GetRect(), ControlRect(0, 0, 729, 650));
    rig.AttachAndOpen();
    EXPECT_EQ(rig.Window().ReadPixel(15, 15).Packed(), RED);
    EXPECT_EQ(rig.Window().ReadPixel(700, 600).mAlpha, 255);
}
