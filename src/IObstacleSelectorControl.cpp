#include "IObstacleSelectorControl.h"

#include "PaletteGroup.h"
#include "framework/gui/IGraphicsLice.h"

namespace {
const int CELL_INSET = 2;
const int MARKER_INSET = 8;
}  // namespace

IObstacleSelectorControl::IObstacleSelectorControl(IParamHost* pPlug, int x, int y, const BitmapRef& box,
                                                   const BitmapRef& emptyCell, const BitmapRef& marker,
                                                   PaletteGroup* pGroup, int index)
    : ISwitchControl(pPlug, x, y, -1, box), mEmptyCell(emptyCell), mMarker(marker), mpGroup(pGroup), mIndex(index)
{
    SetDoubleClickAsPress(true);
}

bool IObstacleSelectorControl::Draw(IGraphicsLice* pGraphics)
{
    bool ok = ISwitchControl::Draw(pGraphics);
    int x = mRect.mLeft + CELL_INSET, y = mRect.mTop + CELL_INSET;
    ok = pGraphics->DrawBitmap(mEmptyCell, ControlRect(x, y, x + mEmptyCell.mWidth, y + mEmptyCell.FrameHeight()), 1,
                               &mBlend) &&
         ok;
    x = mRect.mLeft + MARKER_INSET;
    y = mRect.mTop + MARKER_INSET;
    return pGraphics->DrawBitmap(mMarker, ControlRect(x, y, x + mMarker.mWidth, y + mMarker.FrameHeight()), 1,
                                 &mBlend) &&
           ok;
}

void IObstacleSelectorControl::MouseDown(int x, int y, const MouseMods& mods)
{
    ISwitchControl::MouseDown(x, y, mods);
    if (mpGroup) mpGroup->Select(mIndex);
}
