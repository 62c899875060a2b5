#include "IRoverSelectorControl.h"

#include "PaletteGroup.h"
#include "framework/gui/IGraphicsLice.h"

namespace {
const int PICTURE_INSET = 2;
}

IRoverSelectorControl::IRoverSelectorControl(IParamHost* pPlug, int x, int y, const BitmapRef& box,
                                             const BitmapRef& rover, PaletteGroup* pGroup, int index)
    : ISwitchControl(pPlug, x, y, -1, box), mRover(rover), mpGroup(pGroup), mIndex(index)
{
    SetDoubleClickAsPress(true);
}

bool IRoverSelectorControl::Draw(IGraphicsLice* pGraphics)
{
    bool ok = ISwitchControl::Draw(pGraphics);
    int x = mRect.mLeft + PICTURE_INSET, y = mRect.mTop + PICTURE_INSET;
    ControlRect picture(x, y, x + mRover.mWidth, y + mRover.FrameHeight());
    return pGraphics->DrawBitmap(mRover, picture, 1, &mBlend) && ok;
}

void IRoverSelectorControl::MouseDown(int x, int y, const MouseMods& mods)
{
    ISwitchControl::MouseDown(x, y, mods);
    if (mpGroup) mpGroup->Select(mIndex);
}
