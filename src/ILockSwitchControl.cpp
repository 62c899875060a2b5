#include "ILockSwitchControl.h"

#include "Tarvo.h"

ILockSwitchControl::ILockSwitchControl(Tarvo* pPlug, int x, int y, const BitmapRef& bitmap)
    : ISwitchControl(pPlug, x, y, -1, bitmap), mpPlug(pPlug)
{
}

void ILockSwitchControl::MouseDown(int /*x*/, int /*y*/, const MouseMods& mods)
{
    // No value to type or choose: a right click does nothing.
    if (mods.mRight) return;
    const bool on = mValue < 0.5;
    mValue = on ? 1.0 : 0.0;
    MarkChanged(false);
    mpPlug->SetTimelineLock(on);
}
