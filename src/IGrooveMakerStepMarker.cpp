#include "IGrooveMakerStepMarker.h"

#include "framework/gui/IGraphicsLice.h"

IGrooveMakerStepMarker::IGrooveMakerStepMarker(IParamHost* pPlug, const ControlRect& rect,
                                               const SequencerState* pSequencer)
    : IControl(pPlug, rect), mpSequencer(pSequencer)
{
    PrepareDraw();
}

void IGrooveMakerStepMarker::PrepareDraw() { mShownStep = mpSequencer->mCurrentStep; }

bool IGrooveMakerStepMarker::Draw(IGraphicsLice* pGraphics)
{
    static const Color LIT(255, 255, 255, 255);
    static const Color DARK(255, 0, 0, 0);
    bool ok = true;
    int w = mRect.Width() / SequencerState::MAX_STEPS;
    for (int i = 0; i < SequencerState::MAX_STEPS; ++i) {
        ControlRect marker(mRect.mLeft + w * i, mRect.mTop, mRect.mLeft + w * (i + 1) - 2, mRect.mBottom);
        ok = pGraphics->FillArea(i == mShownStep ? LIT : DARK, marker, &mBlend) && ok;
    }
    return ok;
}
