#include "IMessageLine.h"

namespace {

// The editor's heading amber and its label grey.
const Color PROBLEM_COLOUR(255, 232, 176, 74);
const Color CONFIRMATION_COLOUR(255, 200, 205, 211);

}  // namespace

IMessageLine::IMessageLine(IParamHost* pParamHost, const ControlRect& rect)
    : ITextControl(pParamHost, rect, TextStyle("Arial", 14, CONFIRMATION_COLOUR, FontStyle_Normal, TextAlign_Left, 0))
{
}

void IMessageLine::Show(const char* text, bool problem)
{
    mProblem = problem;
    mTextStyle.mColor = problem ? PROBLEM_COLOUR : CONFIRMATION_COLOUR;
    mTicksLeft = SHOW_TICKS;
    // Drawn again even when only the colour changed.
    MarkChanged(false);
    ShowText(text);
}

void IMessageLine::Clear()
{
    mTicksLeft = 0;
    ShowText("");
}

void IMessageLine::Tick()
{
    if (mTicksLeft <= 0) return;
    if (--mTicksLeft == 0) ShowText("");
}
