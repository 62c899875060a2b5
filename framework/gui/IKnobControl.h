// A control turned by dragging: up (or right) raises the value. The
// gearing is how many of the control's own heights (widths) a drag must
// cover to sweep the whole range; shift or control make it ten times finer.
#pragma once

#include "IControl.h"

enum DragDirection {
    DragDirection_Vertical = 0,
    DragDirection_Horizontal = 1
};

class IKnobControl : public IControl {
public:
    IKnobControl(IParamHost* pParamHost, const ControlRect& rect, int paramIdx, int direction = DragDirection_Vertical,
                 double gearing = DEFAULT_GEARING)
        : IControl(pParamHost, rect, paramIdx), mDirection(direction), mGearing(gearing)
    {
    }

    // The gearing of the editor's knobs.
    static constexpr double DEFAULT_GEARING = 8.0;

    void MouseDrag(int x, int y, int dx, int dy, const MouseMods& mods) override;

    int Direction() const { return mDirection; }
    double Gearing() const { return mGearing; }

protected:
    int mDirection;
    double mGearing;
};
