// A bitmap control that steps through its frames on every click and wraps
// back to the first: a two-frame switch toggles 0, 1, 0.
#pragma once

#include "IBitmapControl.h"

class ISwitchControl : public IBitmapControl {
public:
    ISwitchControl(IParamHost* pParamHost, int x, int y, int paramIdx, const BitmapRef& bitmap,
                   int blendMethod = BlendMethod_Alpha)
        : IBitmapControl(pParamHost, x, y, paramIdx, bitmap, blendMethod)
    {
    }

    void MouseDown(int x, int y, const MouseMods& mods) override;
};
