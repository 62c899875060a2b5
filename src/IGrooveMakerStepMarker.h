// The row of step markers under the step canvas: the sequencer's current
// step lights up.
#pragma once

#include "SequencerState.h"
#include "framework/gui/IControl.h"

class IGrooveMakerStepMarker : public IControl {
public:
    // The sequencer belongs to the processor and outlives the marker.
    IGrooveMakerStepMarker(IParamHost* pPlug, const ControlRect& rect, const SequencerState* pSequencer);

    bool Draw(IGraphicsLice* pGraphics) override;
    // Takes the current step (under the plug-in lock).
    void PrepareDraw() override;
    void MouseWheel(int, int, const MouseMods&, int) override {}

    int ShownStep() const { return mShownStep; }

private:
    const SequencerState* mpSequencer;
    int mShownStep = 0;
};
