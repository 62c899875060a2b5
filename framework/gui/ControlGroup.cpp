#include "ControlGroup.h"

#include "IControl.h"

void ControlGroup::Add(IControl* pControl)
{
    if (pControl) mControls.push_back(pControl);
}

void ControlGroup::Hide(bool hidden)
{
    mHidden = hidden;
    for (IControl* pControl : mControls) pControl->SetHidden(hidden);
}

IControl* ControlGroup::GetControl(int index) const
{
    if (index < 0 || index >= NControls()) return nullptr;
    return mControls[index];
}
