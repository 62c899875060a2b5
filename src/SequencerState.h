// The 32-step accent and mute loop that runs along with the simulation.
// The on switch lives with the processor; this record only knows its steps.
#pragma once

#include <cstdint>

#include "Serializeable.h"

class SequencerState : public Serializeable {
public:
    static constexpr int MAX_STEPS = 32;
    static constexpr int LEVEL_UNCHANGED = 128;         // accents are in 128ths
    static constexpr int RECORD_SIZE = 12 + MAX_STEPS;  // 44 bytes in the state

    SequencerState();

    // The step count limited to 1..32; true when it changed. The current
    // step is left alone: a step beyond a lowered count wraps on the next
    // advance.
    bool SetStepCount(int count);
    // Moves to the next step, back to 0 at the step count.
    void Advance();

    bool IsCurrentStepMuted() const { return mMuteFlags[mCurrentStep] != 0; }
    int CurrentLevel() const { return mLevels[mCurrentStep]; }

    bool Save(StateChunk* pChunk) const override;
    int Load(const StateChunk* pChunk, int position) override;

    int mStepCount;                 // 1..32
    int mLevels[MAX_STEPS];         // per step; the editor sets 0..128, a state up to 255
    uint8_t mMuteFlags[MAX_STEPS];  // 1 silences the step
    uint8_t mLockFlags[MAX_STEPS];  // 1 protects the level from editing
    int mCurrentStep;               // 0..31
};
