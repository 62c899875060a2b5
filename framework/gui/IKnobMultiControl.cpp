#include "IKnobMultiControl.h"

#include "IGraphicsLice.h"

IKnobMultiControl::IKnobMultiControl(IParamHost* pParamHost, int x, int y, int paramIdx, const BitmapRef& bitmap,
                                     int direction, double gearing)
    : IKnobControl(pParamHost, ControlRect(x, y, x + bitmap.mWidth, y + bitmap.FrameHeight()), paramIdx, direction,
                   gearing),
      mBitmap(bitmap)
{
}

bool IKnobMultiControl::Draw(IGraphicsLice* pGraphics)
{
    return pGraphics->DrawBitmap(mBitmap, mRect, FrameForValue(mValue, mBitmap.mFrames), &mBlend);
}
