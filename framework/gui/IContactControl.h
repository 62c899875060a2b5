// A push button: a switch while pressed, back to 0 when released.
#pragma once

#include "ISwitchControl.h"

class IContactControl : public ISwitchControl {
public:
    IContactControl(IParamHost* pParamHost, int x, int y, int paramIdx, const BitmapRef& bitmap,
                    int blendMethod = BlendMethod_Alpha)
        : ISwitchControl(pParamHost, x, y, paramIdx, bitmap, blendMethod)
    {
    }

    void MouseUp(int x, int y, const MouseMods& mods) override;
};
