#include "ISliderControl.h"

#include "IGraphicsLice.h"

namespace {

ControlRect SliderRect(int x, int y, int length, const BitmapRef& bitmap, int direction)
{
    if (direction == DragDirection_Horizontal) return ControlRect(x, y, x + length, y + bitmap.FrameHeight());
    return ControlRect(x, y, x + bitmap.mWidth, y + length);
}

}  // namespace

ISliderControl::ISliderControl(IParamHost* pParamHost, int x, int y, int length, int paramIdx,
                               const BitmapRef& handleBitmap, int direction)
    : IControl(pParamHost, SliderRect(x, y, length, handleBitmap, direction), paramIdx), mLength(length),
      mHandleSize(direction == DragDirection_Horizontal ? handleBitmap.mWidth : handleBitmap.FrameHeight()),
      mBitmap(handleBitmap), mDirection(direction)
{
}

void ISliderControl::SnapTo(int x, int y)
{
    int travel = mLength - mHandleSize;
    if (travel <= 0) return;
    if (mDirection == DragDirection_Horizontal) {
        mValue = static_cast<double>(x - mRect.mLeft - mHandleSize / 2) / travel;
    } else {
        mValue = 1.0 - static_cast<double>(y - mRect.mTop - mHandleSize / 2) / travel;
    }
    MarkChanged(true);
}

void ISliderControl::MouseDown(int x, int y, const MouseMods& mods)
{
    if (mods.mRight) {
        PromptForValue();
        return;
    }
    SnapTo(x, y);
}

void ISliderControl::MouseDrag(int x, int y, int /*dx*/, int /*dy*/, const MouseMods& /*mods*/) { SnapTo(x, y); }

ControlRect ISliderControl::HandleRect() const
{
    int travel = mLength - mHandleSize;
    ControlRect handle(mRect.mLeft, mRect.mTop, mRect.mLeft + mBitmap.mWidth, mRect.mTop + mBitmap.FrameHeight());
    if (mDirection == DragDirection_Horizontal) {
        int shift = static_cast<int>(travel * mValue);
        handle.mLeft += shift;
        handle.mRight += shift;
    } else {
        int shift = static_cast<int>(travel * (1.0 - mValue));
        handle.mTop += shift;
        handle.mBottom += shift;
    }
    return handle;
}

bool ISliderControl::Draw(IGraphicsLice* pGraphics) { return pGraphics->DrawBitmap(mBitmap, HandleRect(), 1, &mBlend); }
