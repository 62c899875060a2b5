// A control that shows one frame of a multi-frame image, chosen by its
// value. The base of the switches and contacts, and the background.
#pragma once

#include "IControl.h"

class IBitmapControl : public IControl {
public:
    // The rect is (x, y) with one frame's size.
    IBitmapControl(IParamHost* pParamHost, int x, int y, int paramIdx, const BitmapRef& bitmap,
                   int blendMethod = BlendMethod_Alpha);
    // An explicit rect (the background covers the whole surface).
    IBitmapControl(IParamHost* pParamHost, const ControlRect& rect, int paramIdx, const BitmapRef& bitmap,
                   int blendMethod = BlendMethod_Alpha);

    bool Draw(IGraphicsLice* pGraphics) override;

    const BitmapRef& GetBitmap() const { return mBitmap; }

protected:
    BitmapRef mBitmap;
};
