// A row or column of buttons of which one is lit: button i of n stands for
// the value i / (n - 1). The image holds two frames, off and on.
#pragma once

#include <vector>

#include "IKnobControl.h"

class IRadioGroupControl : public IControl {
public:
    // nButtons >= 2; direction DragDirection_Horizontal lays them out in a
    // row, any other in a column, spread evenly over the rect.
    IRadioGroupControl(IParamHost* pParamHost, const ControlRect& rect, int paramIdx, int nButtons,
                       const BitmapRef& bitmap, int direction = DragDirection_Vertical);

    void MouseDown(int x, int y, const MouseMods& mods) override;
    bool Draw(IGraphicsLice* pGraphics) override;

    int NButtons() const { return static_cast<int>(mButtons.size()); }
    const ControlRect& ButtonRect(int index) const { return mButtons[index]; }
    // The lit button for the current value.
    int ActiveButton() const;

protected:
    std::vector<ControlRect> mButtons;
    BitmapRef mBitmap;
};
