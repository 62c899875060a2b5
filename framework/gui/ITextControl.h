// A line of text in a rect: labels, read-outs, the scale name.
#pragma once

#include <string>

#include "IControl.h"

class ITextControl : public IControl {
public:
    ITextControl(IParamHost* pParamHost, const ControlRect& rect, const TextStyle& style, const char* text = "");

    bool Draw(IGraphicsLice* pGraphics) override;
    // Grayed text is drawn in a darker colour.
    void SetGrayed(bool grayed) override;
    void SetTextFromPrompt(const char* text) override { ShowText(text); }

    // Replaces the text and marks the control changed, when it differs.
    void ShowText(const char* text);
    const char* GetText() const { return mText.c_str(); }
    const TextStyle& GetTextStyle() const { return mTextStyle; }
    const Color& NormalColor() const { return mNormalColor; }
    const Color& GrayedColor() const { return mGrayedColor; }

protected:
    TextStyle mTextStyle;
    Color mNormalColor;
    Color mGrayedColor;
    std::string mText;
};
