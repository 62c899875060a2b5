#include "ITextControl.h"

#include "IGraphicsLice.h"

namespace {

int Darker(int channel) { return channel > 128 ? channel - 128 : 0; }

}  // namespace

ITextControl::ITextControl(IParamHost* pParamHost, const ControlRect& rect, const TextStyle& style, const char* text)
    : IControl(pParamHost, rect), mTextStyle(style), mNormalColor(style.mColor),
      mGrayedColor(255, Darker(style.mColor.mRed), Darker(style.mColor.mGreen), Darker(style.mColor.mBlue)),
      mText(text ? text : "")
{
}

bool ITextControl::Draw(IGraphicsLice* pGraphics)
{
    if (mText.empty()) return true;
    return pGraphics->DrawTextInRect(mTextStyle, mText.c_str(), mRect);
}

void ITextControl::SetGrayed(bool grayed)
{
    mTextStyle.mColor = grayed ? mGrayedColor : mNormalColor;
    IControl::SetGrayed(grayed);
}

void ITextControl::ShowText(const char* text)
{
    if (!text) text = "";
    if (mText == text) return;
    MarkChanged(false);
    mText = text;
}
