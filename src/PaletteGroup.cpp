#include "PaletteGroup.h"

#include "PaletteLink.h"
#include "framework/gui/IControl.h"

void PaletteGroup::ShowSelected(int index, bool selected)
{
    IControl* pControl = GetControl(index);
    // The boxes have no parameter: the value only picks the frame.
    if (pControl) pControl->TakeUserValue(selected ? 1.0 : 0.0);
}

void PaletteGroup::Select(int index)
{
    if (index < 0 || index >= NControls()) return;
    if (!(mActive && index == mChoice)) ShowSelected(mChoice, false);
    mChoice = index;
    ShowSelected(index, true);
    if (mpLink) mpLink->Selected(this);
}

void PaletteGroup::SetActive(bool active)
{
    mActive = active;
    ShowSelected(mChoice, active);
}
