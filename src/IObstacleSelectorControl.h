// A box of the obstacle palette: an empty cell with one obstacle kind's
// marker, as the grid shows it.
#pragma once

#include "framework/gui/ISwitchControl.h"

class PaletteGroup;

class IObstacleSelectorControl : public ISwitchControl {
public:
    // index = obstacle kind; box is the two-frame selector box.
    IObstacleSelectorControl(IParamHost* pPlug, int x, int y, const BitmapRef& box, const BitmapRef& emptyCell,
                             const BitmapRef& marker, PaletteGroup* pGroup, int index);

    bool Draw(IGraphicsLice* pGraphics) override;
    void MouseDown(int x, int y, const MouseMods& mods) override;
    void MouseWheel(int, int, const MouseMods&, int) override {}

    int Index() const { return mIndex; }

private:
    BitmapRef mEmptyCell;
    BitmapRef mMarker;
    PaletteGroup* mpGroup;
    int mIndex;
};
