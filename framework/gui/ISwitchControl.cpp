#include "ISwitchControl.h"

void ISwitchControl::MouseDown(int /*x*/, int /*y*/, const MouseMods& mods)
{
    if (mods.mRight) {
        PromptForValue();
        return;
    }
    int frames = mBitmap.mFrames;
    mValue += frames < 2 ? 1.0 : 1.0 / (frames - 1);
    // The tolerance absorbs the rounding of repeated 1 / (n - 1) steps.
    if (mValue > 1.001) mValue = 0.0;
    MarkChanged(true);
}
