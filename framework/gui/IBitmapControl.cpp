#include "IBitmapControl.h"

#include "IGraphicsLice.h"

IBitmapControl::IBitmapControl(IPlugBase* pPlug, int x, int y, int paramIdx, const BitmapRef& bitmap,
                               int blendMethod)
    : IControl(pPlug, ControlRect(x, y, x + bitmap.mWidth, y + bitmap.FrameHeight()), paramIdx,
               BlendMode(blendMethod, 1.0f)),
      mBitmap(bitmap)
{
}

IBitmapControl::IBitmapControl(IPlugBase* pPlug, const ControlRect& rect, int paramIdx, const BitmapRef& bitmap,
                               int blendMethod)
    : IControl(pPlug, rect, paramIdx, BlendMode(blendMethod, 1.0f)), mBitmap(bitmap)
{
}

bool IBitmapControl::Draw(IGraphicsLice* pGraphics)
{
    return pGraphics->DrawBitmap(mBitmap, mRect, FrameForValue(mValue, mBitmap.mFrames), &mBlend);
}
