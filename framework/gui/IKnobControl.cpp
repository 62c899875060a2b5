#include "IKnobControl.h"

void IKnobControl::MouseDrag(int /*x*/, int /*y*/, int dx, int dy, const MouseMods& mods)
{
    double gearing = mGearing;
    if (mods.mShift || mods.mControl) gearing *= 10.0;
    if (mDirection == DragDirection_Vertical) {
        // Screen y grows downwards: an upward drag (dy < 0) raises the value.
        mValue += static_cast<double>(dy) / (mRect.mTop - mRect.mBottom) / gearing;
    } else {
        mValue += static_cast<double>(dx) / (mRect.mRight - mRect.mLeft) / gearing;
    }
    MarkChanged(true);
}
