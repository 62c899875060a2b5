#include "IGrooveMakerCanvas.h"

#include <algorithm>

#include "Tarvo.h"
#include "framework/gui/IGraphicsLice.h"

namespace {

const Color ACTIVE_BAR(255, 235, 101, 20);
const Color MUTED_BAR(255, 127, 127, 127);
const Color UNUSED_BAR(255, 200, 12, 12);
const Color LINE(255, 255, 255, 0);

}  // namespace

IGrooveMakerCanvas::IGrooveMakerCanvas(Tarvo* pPlug, const ControlRect& rect)
    : IControl(pPlug, rect), mpTarvo(pPlug), mpSequencer(&pPlug->Sequencer()),
      mLevelScale(rect.Height() > 0 ? SequencerState::LEVEL_UNCHANGED / rect.Height() : 1),
      mStepWidth(rect.Width() / SequencerState::MAX_STEPS)
{
    if (mLevelScale < 1) mLevelScale = 1;
    if (mStepWidth < 1) mStepWidth = 1;
    PrepareDraw();
}

void IGrooveMakerCanvas::PrepareDraw()
{
    for (int step = 0; step < SequencerState::MAX_STEPS; ++step) {
        mShownLevels[step] = mpSequencer->mLevels[step];
        mShownMuted[step] = mpSequencer->mMuteFlags[step] != 0;
    }
    mShownStepCount = mpSequencer->mStepCount;
}

int IGrooveMakerCanvas::StepFromX(int x) const
{
    int step = (x - mRect.mLeft) / mStepWidth;
    if (x < mRect.mLeft) step = 0;
    if (step < 0) step = 0;
    if (step >= SequencerState::MAX_STEPS) step = SequencerState::MAX_STEPS - 1;
    return step;
}

void IGrooveMakerCanvas::StoreLevel(int step, int level)
{
    if (mpSequencer->mLockFlags[step] != 0) return;
    if (mpSequencer->mLevels[step] == level) return;
    mpTarvo->SetStepLevel(step, level);
    // No parameter: this only redraws.
    MarkChanged(true);
}

void IGrooveMakerCanvas::SetStepLevelFromY(int step, int y)
{
    if (step < 0 || step >= SequencerState::MAX_STEPS || mpSequencer->mLockFlags[step] != 0) return;
    int level = 0;
    if (y <= mRect.mTop) {
        level = SequencerState::LEVEL_UNCHANGED;
    } else if (y < mRect.mBottom) {
        level = LevelAt(y);
    }
    StoreLevel(step, level);
    if (mLineMode && step == mAnchorStep) mAnchorY = y;
}

void IGrooveMakerCanvas::MouseDown(int x, int y, const MouseMods& mods)
{
    if (!mRect.Contains(x, y)) return;
    int step = StepFromX(x);
    mLineMode = mods.mControl;
    if (mLineMode) {
        mAnchorStep = mCurrentStep = step;
        mAnchorY = mCurrentY = y;
    }
    StoreLevel(step, LevelAt(y));
}

void IGrooveMakerCanvas::MouseDrag(int x, int y, int /*dx*/, int /*dy*/, const MouseMods& mods)
{
    y = std::clamp(y, mRect.mTop, mRect.mBottom);
    int step = StepFromX(x);
    SetStepLevelFromY(step, y);
    if (!mods.mControl) {
        // Ctrl let go in the middle of a line: the line goes, whether or
        // not a level changed.
        if (mLineMode) MarkChanged(false);
        mLineMode = false;
        return;
    }
    if (!mLineMode) {
        mLineMode = true;
        mAnchorStep = step;
        mAnchorY = y;
    }
    mCurrentStep = step;
    mCurrentY = y;
    // The steps between the anchor and the pointer follow a straight line.
    int n = step > mAnchorStep ? step - mAnchorStep : mAnchorStep - step;
    if (n > 0) {
        int rise = y - mAnchorY;
        if (rise > mRect.Height()) rise = mRect.Height();
        float g = static_cast<float>(rise) / static_cast<float>(n);
        int direction = step > mAnchorStep ? 1 : -1;
        float lineY = static_cast<float>(mAnchorY) + g;
        for (int k = 1; k < n; ++k) {
            SetStepLevelFromY(mAnchorStep + direction * k, static_cast<int>(lineY));
            lineY += g;
        }
    }
    // The line itself is drawn too.
    MarkChanged(false);
}

void IGrooveMakerCanvas::MouseUp(int x, int y, const MouseMods& /*mods*/)
{
    if (mRect.Contains(x, y)) StoreLevel(StepFromX(x), LevelAt(y));
    if (mLineMode) {
        MarkChanged(false);
        mLineMode = false;
    }
}

bool IGrooveMakerCanvas::Draw(IGraphicsLice* pGraphics)
{
    bool ok = true;
    int w = mStepWidth;
    for (int i = 0; i < SequencerState::MAX_STEPS; ++i) {
        // A state may hold levels up to 255; the bar stays inside the canvas.
        int top = std::clamp(mRect.mBottom - mShownLevels[i] / mLevelScale, mRect.mTop, mRect.mBottom);
        ControlRect bar(mRect.mLeft + w * i, top, mRect.mLeft + w * (i + 1) - 2, mRect.mBottom);
        const Color& colour = i >= mShownStepCount ? UNUSED_BAR : (mShownMuted[i] ? MUTED_BAR : ACTIVE_BAR);
        ok = pGraphics->FillArea(colour, bar, &mBlend) && ok;
    }
    if (mLineMode) {
        float x1 = static_cast<float>(mRect.mLeft + w * mAnchorStep + w / 2);
        float x2 = static_cast<float>(mRect.mLeft + w * mCurrentStep + w / 2);
        pGraphics->DrawLine(LINE, x1, static_cast<float>(mAnchorY), x2, static_cast<float>(mCurrentY), &mBlend, true);
    }
    return ok;
}
