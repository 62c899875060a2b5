#include "IRadioGroupControl.h"

#include <algorithm>
#include <cassert>

#include "IGraphicsLice.h"

IRadioGroupControl::IRadioGroupControl(IParamHost* pParamHost, const ControlRect& rect, int paramIdx, int nButtons,
                                       const BitmapRef& bitmap, int direction)
    : IControl(pParamHost, rect, paramIdx), mBitmap(bitmap)
{
    assert(nButtons >= 2);
    if (nButtons < 2) nButtons = 2;
    int width = bitmap.mWidth;
    int height = bitmap.mHeight / 2;
    if (direction == DragDirection_Horizontal) {
        int gap = (rect.Width() - nButtons * width) / (nButtons - 1);
        for (int i = 0; i < nButtons; ++i) {
            int left = rect.mLeft + i * (width + gap);
            mButtons.push_back(ControlRect(left, rect.mTop, left + width, rect.mTop + height));
        }
    } else {
        int gap = (rect.Height() - nButtons * height) / (nButtons - 1);
        for (int i = 0; i < nButtons; ++i) {
            int top = rect.mTop + i * (height + gap);
            mButtons.push_back(ControlRect(rect.mLeft, top, rect.mLeft + width, top + height));
        }
    }
}

void IRadioGroupControl::MouseDown(int x, int y, const MouseMods& mods)
{
    if (mods.mRight) {
        PromptForValue();
        return;
    }
    int n = NButtons();
    for (int i = 0; i < n; ++i) {
        if (mButtons[i].Contains(x, y)) {
            mValue = static_cast<double>(i) / (n - 1);
            break;
        }
    }
    MarkChanged(true);
}

int IRadioGroupControl::ActiveButton() const
{
    int n = NButtons();
    return std::clamp(static_cast<int>((n - 1) * mValue + 0.5), 0, n - 1);
}

bool IRadioGroupControl::Draw(IGraphicsLice* pGraphics)
{
    int active = ActiveButton();
    bool ok = true;
    for (int i = 0; i < NButtons(); ++i) {
        ok = pGraphics->DrawBitmap(mBitmap, mButtons[i], i == active ? 2 : 1, &mBlend) && ok;
    }
    return ok;
}
