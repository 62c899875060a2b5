#include "IBitmapControl.h"

#include "IGraphicsLice.h"

IBitmapControl::IBitmapControl(IParamHost* pParamHost, int x, int y, int paramIdx, const BitmapRef& bitmap,
                               int blendMethod)
    : IControl(pParamHost, ControlRect(x, y, x + bitmap.mWidth, y + bitmap.FrameHeight()), paramIdx,
               BlendMode(blendMethod, 1.0f)),
      mBitmap(bitmap)
{
}

IBitmapControl::IBitmapControl(IParamHost* pParamHost, const ControlRect& rect, int paramIdx, const BitmapRef& bitmap,
                               int blendMethod)
    : IControl(pParamHost, rect, paramIdx, BlendMode(blendMethod, 1.0f)), mBitmap(bitmap)
{
}

bool IBitmapControl::Draw(IGraphicsLice* pGraphics)
{
    return pGraphics->DrawBitmap(mBitmap, mRect, FrameForValue(mValue, mBitmap.mFrames), &mBlend);
}
