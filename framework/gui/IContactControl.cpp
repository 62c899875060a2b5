#include "IContactControl.h"

void IContactControl::MouseUp(int /*x*/, int /*y*/, const MouseMods& /*mods*/)
{
    mValue = 0.0;
    MarkChanged(true);
}
