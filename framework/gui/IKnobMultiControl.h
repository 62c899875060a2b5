// A knob drawn as one frame of a film-strip image (the silver knobs).
#pragma once

#include "IKnobControl.h"

class IKnobMultiControl : public IKnobControl {
public:
    IKnobMultiControl(IParamHost* pParamHost, int x, int y, int paramIdx, const BitmapRef& bitmap,
                      int direction = DragDirection_Vertical, double gearing = DEFAULT_GEARING);

    bool Draw(IGraphicsLice* pGraphics) override;

    const BitmapRef& GetBitmap() const { return mBitmap; }

protected:
    BitmapRef mBitmap;
};
