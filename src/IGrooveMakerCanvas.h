// The step canvas of the sequencer panel: one bar per step whose height is
// the step's accent level (128 leaves the velocity as it is). Click or drag
// to set levels; hold Ctrl and drag to draw a straight line across steps.
// Locked steps keep their levels.
//
// The levels live in the processor's sequencer, which block processing
// reads: the canvas changes them only from its mouse handlers, which the
// editor runs under the plug-in lock, and draws from a copy taken in
// PrepareDraw (also under that lock).
#pragma once

#include "SequencerState.h"
#include "framework/gui/IControl.h"

class IGrooveMakerCanvas : public IControl {
public:
    // The sequencer belongs to the processor and outlives the canvas.
    IGrooveMakerCanvas(IParamHost* pPlug, const ControlRect& rect, SequencerState* pSequencer);

    bool Draw(IGraphicsLice* pGraphics) override;
    void PrepareDraw() override;
    void MouseDown(int x, int y, const MouseMods& mods) override;
    void MouseUp(int x, int y, const MouseMods& mods) override;
    void MouseDrag(int x, int y, int dx, int dy, const MouseMods& mods) override;
    void MouseDoubleClick(int, int, const MouseMods&) override {}
    void MouseWheel(int, int, const MouseMods&, int) override {}

    // The level of the step for a pointer at y: 128 at or above the top,
    // 0 at or below the bottom. Locked steps stay as they are.
    void SetStepLevelFromY(int step, int y);
    // The step under x, clamped into the 32 steps.
    int StepFromX(int x) const;

    bool LineMode() const { return mLineMode; }
    int LevelScale() const { return mLevelScale; }
    int StepWidth() const { return mStepWidth; }

private:
    // The level a pointer at y gives inside the rect.
    int LevelAt(int y) const { return (mRect.mBottom - y) * mLevelScale; }
    void StoreLevel(int step, int level);

    SequencerState* mpSequencer;
    int mLevelScale;
    int mStepWidth;
    bool mLineMode = false;
    int mAnchorStep = 0;
    int mAnchorY = 0;
    int mCurrentStep = 0;
    int mCurrentY = 0;

    // What the next draw shows, copied from the sequencer.
    int mShownLevels[SequencerState::MAX_STEPS];
    bool mShownMuted[SequencerState::MAX_STEPS];
    int mShownStepCount = SequencerState::MAX_STEPS;
};
