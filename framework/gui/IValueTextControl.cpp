#include "IValueTextControl.h"

#include "framework/plugin/IParamHost.h"
#include "framework/plugin/IPlugParam.h"

IValueTextControl::IValueTextControl(IParamHost* pParamHost, const ControlRect& rect, int paramIdx,
                                     const TextStyle& style, IPlugParam* pOwnParam, bool showValue, bool showLabel,
                                     int direction, double gearing)
    : ITextControl(pParamHost, rect, style, ""), mDirection(direction), mGearing(gearing), mShowValue(showValue),
      mShowLabel(showLabel), mpOwnParam(pOwnParam)
{
    mParamIdx = paramIdx;
}

void IValueTextControl::Wrap()
{
    if (mValue < 0.0) {
        mValue = 1.0;
    } else if (mValue > 1.0) {
        mValue = 0.0;
    }
}

void IValueTextControl::MouseDrag(int /*x*/, int /*y*/, int dx, int dy, const MouseMods& /*mods*/)
{
    if (mGrayed) return;
    if (mDirection == DragDirection_Vertical) {
        mValue += static_cast<double>(dy) / (mRect.mTop - mRect.mBottom) / mGearing;
    } else {
        mValue += static_cast<double>(dx) / (mRect.mRight - mRect.mLeft) / mGearing;
    }
    Wrap();
    MarkChanged(true);
}

IPlugParam* IValueTextControl::WheelParam() const { return mParamIdx < 0 ? mpOwnParam : GetParam(); }

IPlugParam* IValueTextControl::TextParam() const { return mpOwnParam ? mpOwnParam : GetParam(); }

void IValueTextControl::MouseWheel(int /*x*/, int /*y*/, const MouseMods& mods, int d)
{
    if (mGrayed) return;
    IPlugParam* pParam = WheelParam();
    double step = d * 0.01;
    if (pParam) {
        double range = pParam->Max() - pParam->Min();
        double normalizedStep = range != 0.0 ? pParam->Step() / range : 0.0;
        if (pParam->Kind() == ParamKind_Double || normalizedStep == 0.0) {
            step = d * ((mods.mShift || mods.mControl) ? 0.001 : 0.01);
        } else {
            step = d * normalizedStep;
        }
    }
    mValue += step;
    Wrap();
    MarkChanged(true);
}

void IValueTextControl::PrepareDraw()
{
    IPlugParam* pParam = TextParam();
    if (mpOwnParam) mpOwnParam->SetFromNormalized(mValue);
    if (!mShowValue || !pParam) return;
    char text[IPlugParam::MAX_DISPLAY_TEXT_LEN + IPlugParam::MAX_NAME_LEN + 2];
    pParam->FormatValue(pParam->Value(), false, text);
    std::string shown = text;
    if (mShowLabel) {
        shown += " ";
        shown += pParam->Label();
    }
    mText = shown;
}
