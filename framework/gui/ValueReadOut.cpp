#include "ValueReadOut.h"

#include <cassert>
#include <cstdio>

#include "IControl.h"
#include "IGraphicsLice.h"
#include "ITextControl.h"
#include "framework/plugin/IPlugParam.h"

ValueReadOut::ValueReadOut(IParamHost* pParamHost, IGraphicsLice* pGraphics, const ControlRect& rect,
                           const TextStyle& style, IControl* pObserved)
    : mpObserved(pObserved), mpText(new ITextControl(pParamHost, rect, style, "")),
      mpParam(pObserved ? pObserved->GetParam() : nullptr)
{
    assert(pGraphics);
    pGraphics->AddControl(mpText);
    pGraphics->KeepObserver(this);
    if (pObserved) pObserved->Attach(this);
}

void ValueReadOut::Update()
{
    if (!mpObserved) return;
    mpText->SetGrayed(mpObserved->IsGrayed());
    mpText->SetHidden(mpObserved->IsHidden());
    if (!mpParam) return;
    char text[64];
    FormatReadOut(*mpParam, mpParam->Value(), text, sizeof text);
    mpText->ShowText(text);
}

void ValueReadOut::FormatReadOut(const IPlugParam& /*param*/, double value, char* text, int size) const
{
    std::snprintf(text, size, "%.2f", value);
}

void ValueReadOutInt::FormatReadOut(const IPlugParam& /*param*/, double value, char* text, int size) const
{
    std::snprintf(text, size, "%d", static_cast<int>(value));
}

void ValueReadOutBool::FormatReadOut(const IPlugParam& /*param*/, double value, char* text, int size) const
{
    std::snprintf(text, size, "%s", value >= 0.5 ? "true" : "false");
}

void ValueReadOutEnum::FormatReadOut(const IPlugParam& param, double value, char* text, int size) const
{
    std::snprintf(text, size, "%s", param.FindDisplayText(static_cast<int>(value)));
}
