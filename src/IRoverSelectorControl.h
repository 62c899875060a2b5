// A box of the rover palette: one heading at one pace, shown as the cell
// picture such a rover has on the grid.
#pragma once

#include "framework/gui/ISwitchControl.h"

class PaletteGroup;

class IRoverSelectorControl : public ISwitchControl {
public:
    // index = heading + 8 x pace; box is the two-frame selector box.
    IRoverSelectorControl(IParamHost* pPlug, int x, int y, const BitmapRef& box, const BitmapRef& rover,
                          PaletteGroup* pGroup, int index);

    bool Draw(IGraphicsLice* pGraphics) override;
    void MouseDown(int x, int y, const MouseMods& mods) override;
    void MouseWheel(int, int, const MouseMods&, int) override {}

    int Index() const { return mIndex; }

private:
    BitmapRef mRover;
    PaletteGroup* mpGroup;
    int mIndex;
};
