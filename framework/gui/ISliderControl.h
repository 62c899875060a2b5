// A handle that slides along a track of the given length and jumps to the
// mouse on a click or drag. Vertical sliders read 1 with the handle at the
// top, horizontal ones 1 with the handle at the right. The handle's size
// is the image's frame height (vertical) or width (horizontal).
#pragma once

#include "IKnobControl.h"

class ISliderControl : public IControl {
public:
    ISliderControl(IParamHost* pParamHost, int x, int y, int length, int paramIdx, const BitmapRef& handleBitmap,
                   int direction = DragDirection_Vertical);

    void MouseDown(int x, int y, const MouseMods& mods) override;
    void MouseDrag(int x, int y, int dx, int dy, const MouseMods& mods) override;
    bool Draw(IGraphicsLice* pGraphics) override;

    int Length() const { return mLength; }
    int HandleSize() const { return mHandleSize; }
    // Where the handle is drawn for the current value.
    ControlRect HandleRect() const;

protected:
    void SnapTo(int x, int y);

    int mLength;
    int mHandleSize;
    BitmapRef mBitmap;
    int mDirection;
};
