// A small plug-in with one parameter of each kind, and an editor window
// attached to it, for the GUI framework's tests (which link the offscreen
// window).
#pragma once

#include <memory>
#include <vector>

#include "framework/gui/IControl.h"
#include "framework/gui/IFileSelectorControl.h"
#include "framework/gui/OffscreenWindow.h"
#include "framework/plugin/IPlugVST.h"
#include "framework/raster/Raster.h"
#include "resources/PngResource.h"

const uint32_t RED = 0xFFFF0000u;
const uint32_t GREEN = 0xFF00FF00u;
const uint32_t BLUE = 0xFF0000FFu;
const uint32_t WHITE = 0xFFFFFFFFu;
const uint32_t BLACK = 0xFF000000u;

enum TestParam {
    TestParam_Gain = 0,  // Double 0..1, step 0.01, label "dB"
    TestParam_Count,     // Int 0..10
    TestParam_Mode,      // Enum: "Saw", "Square", "Sine"
    TestParam_Power,     // Bool: "off", "on"
    TestParam_Depth,     // Double -10..10, step 0.1, shown negated
    TestParam_Steps,     // Int 0..4
    TestParam_Spare,     // Double, bound to nothing
    TestParam_Count_
};

// Records what the editor sends to the plug-in.
class TestPlug : public IPlugVST {
public:
    TestPlug()
        : IPlugVST(nullptr, TestParam_Count_, "0-2", 0, "GuiTest", "", "Maker", 0x00010000, 0x47756954, 0x4D616B72, 0,
                   true, true, true)
    {
        GetParam(TestParam_Gain)->DefineDouble("Gain", 0.5, 0.0, 1.0, 0.01, "dB");
        GetParam(TestParam_Count)->DefineInt("Count", 3, 0, 10);
        GetParam(TestParam_Mode)->DefineEnum("Mode", 0, 3);
        GetParam(TestParam_Mode)->AddDisplayText(0, "Saw");
        GetParam(TestParam_Mode)->AddDisplayText(1, "Square");
        GetParam(TestParam_Mode)->AddDisplayText(2, "Sine");
        GetParam(TestParam_Power)->DefineBool("Power", false);
        GetParam(TestParam_Depth)->DefineDouble("Depth", 0.0, -10.0, 10.0, 0.1);
        GetParam(TestParam_Depth)->SetNegateDisplay(true);
        GetParam(TestParam_Steps)->DefineInt("Steps", 0, 0, 4);
        GetParam(TestParam_Spare)->DefineDouble("Spare", 0.0, 0.0, 1.0, 0.01);
    }

    void OnParamChanged(int paramIdx) override
    {
        ScopedLock lock(Lock());
        mChanged.push_back(paramIdx);
    }
    void BeginParamGesture(int paramIdx) override { mGestures.push_back(paramIdx + 1000); }
    void EndParamGesture(int paramIdx) override { mGestures.push_back(paramIdx + 2000); }

    std::vector<int> mChanged;
    // 1000 + index for a gesture's begin, 2000 + index for its end.
    std::vector<int> mGestures;
};

// An offscreen editor of 200 x 100 pixels for a TestPlug. Controls are
// added before Attach (as the editor layout does); after Attach the plug-in
// owns the window.
class TestRig {
public:
    explicit TestRig(int width = 200, int height = 100)
        : mpPlug(new TestPlug()), mpWindow(new IGraphicsWindow(mpPlug.get(), width, height))
    {
        mpWindow->SetPngResourceLookup(FindPngResource);
    }
    ~TestRig()
    {
        if (!mAttached) delete mpWindow;
    }

    void Attach()
    {
        mpPlug->AttachEditor(mpWindow);
        mAttached = true;
    }
    void AttachAndOpen()
    {
        Attach();
        mpWindow->OpenWindow(nullptr);
        mpWindow->Tick();
    }
    TestPlug& Plug() { return *mpPlug; }
    IGraphicsWindow& Window() { return *mpWindow; }
    IPlugParam& Param(int index) { return *mpPlug->GetParam(index); }

private:
    std::unique_ptr<TestPlug> mpPlug;
    IGraphicsWindow* mpWindow;
    bool mAttached = false;
};

// Fills its rect with one colour, with its blend, and counts its draws.
class FillControl : public IControl {
public:
    FillControl(IPlugBase* pPlug, const ControlRect& rect, int paramIdx = -1, uint32_t color = RED)
        : IControl(pPlug, rect, paramIdx), mColor(color)
    {
    }
    bool Draw(IGraphicsLice* pGraphics) override
    {
        ++mDraws;
        return pGraphics->FillArea(Color::FromPacked(mColor), mRect, &mBlend);
    }
    uint32_t mColor;
    int mDraws = 0;
};

// A test image: frames stacked vertically, each of one opaque colour.
class TestImage {
public:
    TestImage(int width, int frameHeight, const std::vector<uint32_t>& frameColors)
        : mBitmap(width, frameHeight * static_cast<int>(frameColors.size()))
    {
        for (size_t i = 0; i < frameColors.size(); ++i) {
            int top = static_cast<int>(i) * frameHeight;
            Raster::FillRect(mBitmap, RasterRect{0, top, width, top + frameHeight}, frameColors[i], RasterBlend_Plain);
        }
        mRef = BitmapRef(&mBitmap, width, mBitmap.Height(), static_cast<int>(frameColors.size()));
    }
    const BitmapRef& Ref() const { return mRef; }

private:
    MemoryBitmap mBitmap;
    BitmapRef mRef;
};

// An editor opened with a single file selector, bound to TestParam_Power,
// drawn from the image and opening its dialog in the folder.
inline IFileSelectorControl* OpenWithFileSelector(TestRig& rig, const TestImage& image, const ControlRect& rect,
                                                  const char* folder)
{
    IFileSelectorControl* pSelector = new IFileSelectorControl(&rig.Plug(), rect, TestParam_Power, image.Ref(), folder);
    rig.Window().AddControl(pSelector);
    rig.AttachAndOpen();
    return pSelector;
}

inline MouseMods LeftButton() { return MouseMods(true, false); }
inline MouseMods RightButton() { return MouseMods(false, true); }
inline MouseMods NoButton() { return MouseMods(); }
