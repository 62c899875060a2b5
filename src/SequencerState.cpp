#include "SequencerState.h"

#include <algorithm>

#include "framework/plugin/StateChunk.h"

namespace {

int32_t FlagMask(const uint8_t* flags, int count)
{
    uint32_t mask = 0;
    for (int i = 0; i < count; ++i) {
        if (flags[i]) mask |= 1u << i;
    }
    return static_cast<int32_t>(mask);
}

void FlagsFromMask(uint8_t* flags, int count, int32_t mask)
{
    for (int i = 0; i < count; ++i) flags[i] = (static_cast<uint32_t>(mask) >> i) & 1u;
}

}  // namespace

SequencerState::SequencerState() : mStepCount(MAX_STEPS), mCurrentStep(0)
{
    std::fill(mLevels, mLevels + MAX_STEPS, LEVEL_UNCHANGED);
    std::fill(mMuteFlags, mMuteFlags + MAX_STEPS, 0);
    std::fill(mLockFlags, mLockFlags + MAX_STEPS, 0);
}

bool SequencerState::SetStepCount(int count)
{
    count = std::min(MAX_STEPS, std::max(1, count));
    if (count == mStepCount) return false;
    mStepCount = count;
    return true;
}

void SequencerState::Advance()
{
    const int next = mCurrentStep + 1;
    // The bound on MAX_STEPS as well keeps the step a valid index even if
    // the count was written directly with a value out of range.
    mCurrentStep = (next >= mStepCount || next >= MAX_STEPS || next < 0) ? 0 : next;
}

bool SequencerState::Save(StateChunk* pChunk) const
{
    pChunk->PutInt32(mStepCount);
    pChunk->PutInt32(FlagMask(mLockFlags, MAX_STEPS));
    pChunk->PutInt32(FlagMask(mMuteFlags, MAX_STEPS));
    uint8_t levels[MAX_STEPS];
    for (int i = 0; i < MAX_STEPS; ++i) levels[i] = static_cast<uint8_t>(mLevels[i]);
    return pChunk->PutBytes(levels, MAX_STEPS) > 0;
}

int SequencerState::Load(const StateChunk* pChunk, int position)
{
    int32_t stepCount = 0;
    position = pChunk->GetInt32(&stepCount, position);
    if (position >= 0) mStepCount = std::min<int32_t>(MAX_STEPS, std::max<int32_t>(1, stepCount));

    // A mask that cannot be read stays 0: a failed read leaves its target alone.
    int32_t lockMask = 0;
    int32_t muteMask = 0;
    position = pChunk->GetInt32(&lockMask, position);
    position = pChunk->GetInt32(&muteMask, position);

    for (int i = 0; i < MAX_STEPS; ++i) {
        uint8_t level = 0;
        position = pChunk->GetUnsignedByte(&level, position);
        if (position >= 0) mLevels[i] = level;
    }
    FlagsFromMask(mLockFlags, MAX_STEPS, lockMask);
    FlagsFromMask(mMuteFlags, MAX_STEPS, muteMask);
    return position;
}
