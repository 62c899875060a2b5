#include "IControl.h"

#include "IGraphicsLice.h"
#include "PopupMenu.h"
#include "framework/plugin/IParamHost.h"
#include "framework/plugin/IPlugParam.h"

#include <algorithm>
#include <cstring>

IControl::IControl(IParamHost* pParamHost, const ControlRect& rect, int paramIdx, const BlendMode& blend)
    : mpParamHost(pParamHost), mRect(rect), mTargetRect(rect), mParamIdx(paramIdx), mBlend(blend)
{
}

IControl::~IControl() {}

void IControl::MouseDown(int /*x*/, int /*y*/, const MouseMods& mods)
{
    if (mods.mRight) PromptForValue();
}

void IControl::MouseUp(int /*x*/, int /*y*/, const MouseMods& /*mods*/) {}

void IControl::MouseDrag(int /*x*/, int /*y*/, int /*dx*/, int /*dy*/, const MouseMods& /*mods*/) {}

void IControl::MouseDoubleClick(int /*x*/, int /*y*/, const MouseMods& /*mods*/)
{
    if (mDefaultValue >= 0.0) {
        mValue = mDefaultValue;
        MarkChanged(true);
    }
}

void IControl::MouseWheel(int /*x*/, int /*y*/, const MouseMods& mods, int d)
{
    mValue += d * ((mods.mShift || mods.mControl) ? 0.001 : 0.01);
    MarkChanged(true);
}

void IControl::KeyDown(int /*x*/, int /*y*/, int /*key*/) {}

void IControl::MouseOver(int /*x*/, int /*y*/, const MouseMods& /*mods*/) {}

void IControl::MouseOut() {}

void IControl::ShowValue(double value)
{
    if (mDefaultValue < 0.0) {
        // The first value from the plug-in is the one a double-click brings
        // back, so it is stored even when it equals the current value.
        mDefaultValue = value;
    } else if (value == mValue) {
        return;
    }
    mValue = value;
    MarkChanged(false);
    mRedrawPending = true;
}

void IControl::SetHidden(bool hidden)
{
    mHidden = hidden;
    mRedrawPending = true;
    MarkChanged(false);
}

void IControl::SetGrayed(bool grayed)
{
    mGrayed = grayed;
    mBlend.mWeight = grayed ? 0.25f : 1.0f;
    MarkChanged(false);
}

bool IControl::HitTest(int x, int y) { return !mTargetRect.Empty() && mTargetRect.Contains(x, y); }

void IControl::MarkChanged(bool toPlug)
{
    mValue = std::clamp(mValue, mClampLow, mClampHigh);
    mDirty = true;
    mChanged = true;
    if (toPlug && mpParamHost && mParamIdx >= 0) {
        // While the editor window closes, the GUI thread may have lost the
        // plug-in lock to the host's thread that waits for it; the change is
        // dropped then rather than waiting for that lock.
        IGraphicsLice* pGraphics = GetGraphics();
        if (pGraphics) pGraphics->NoteBoundValue(mParamIdx, mValue);
        if (!pGraphics || pGraphics->MaySendToPlug()) mpParamHost->SetParameterFromGUI(mParamIdx, mValue);
    }
}

void IControl::MarkDrawn()
{
    mDirty = mRedrawPending;
    mRedrawPending = false;
}

bool IControl::NeedsDraw() { return mDirty; }

void IControl::ResetToDefault()
{
    mValue = mDefaultValue;
    MarkChanged(true);
    mRedrawPending = true;
}

std::unique_ptr<PopupMenu> IControl::MakeValueMenu()
{
    IPlugParam* pParam = GetParam();
    if (!pParam) return nullptr;
    bool listed =
        pParam->Kind() == ParamKind_Enum || (pParam->Kind() == ParamKind_Bool && pParam->CountDisplayTexts() > 0);
    if (!listed) return nullptr;
    char current[IPlugParam::MAX_DISPLAY_TEXT_LEN];
    pParam->FormatValue(pParam->Value(), false, current);
    std::unique_ptr<PopupMenu> pMenu(new PopupMenu());
    for (int i = 0; i < pParam->CountDisplayTexts(); ++i) {
        const char* text = pParam->FindDisplayText(i);
        PopupMenuItem* pItem = pMenu->AddItem(text);
        if (std::strcmp(text, current) == 0) pItem->SetChecked(true);
    }
    return pMenu;
}

void IControl::ApplyMenuChoice(PopupMenu* /*pMenu*/, int itemIndex)
{
    IPlugParam* pParam = GetParam();
    if (!pParam || pParam->CountDisplayTexts() == 0) return;
    double value = 0.0;
    if (pParam->Kind() != ParamKind_Double) {
        double range = pParam->Max() - pParam->Min();
        value = range != 0.0 ? itemIndex * (pParam->Step() / range) : 0.0;
    }
    if (value != mValue) {
        mValue = value;
        MarkChanged(true);
        mRedrawPending = true;
    }
}

void IControl::TakeUserValue(double value)
{
    if (value == mValue) return;
    mValue = value;
    MarkChanged(true);
    mRedrawPending = true;
}

void IControl::PromptForValue()
{
    IPlugParam* pParam = GetParam();
    if (!pParam || mNoPrompt) return;
    IGraphicsLice* pGraphics = GetGraphics();
    if (pGraphics) pGraphics->OpenValuePrompt(this, pParam, false);
    mRedrawPending = true;
}

IPlugParam* IControl::GetParam() const
{
    if (!mpParamHost || mParamIdx < 0) return nullptr;
    return mpParamHost->GetParam(mParamIdx);
}

int FrameForValue(double value, int frames)
{
    if (frames < 2) return 1;
    return std::clamp(static_cast<int>((frames - 1) * value + 0.5) + 1, 1, frames);
}
