#include "Scale.h"

#include <algorithm>
#include <cstdint>

#include "framework/plugin/StateChunk.h"

const int Scale::DEFAULT_NOTES[Scale::NUM_ENTRIES] = {50, 57, 58, 60, 62, 64, 65, 69, 72,
                                                      74, 76, 77, 81, 82, 84, 86, 88};

Scale::Scale() : mTranspose(0), mRotate(0), mMutate(ScaleDirection_Forward), mLowest(0), mHighest(0)
{
    std::copy(DEFAULT_NOTES, DEFAULT_NOTES + NUM_ENTRIES, mScaleNotes);
    ComputeWallNotes();
}

int Scale::EffectiveRotation() const
{
    int rotation = mRotate % NUM_ENTRIES;
    return rotation < 0 ? rotation + NUM_ENTRIES : rotation;
}

void Scale::ComputeWallNotes()
{
    const int rotation = EffectiveRotation();
    mLowest = 999;
    mHighest = -1;
    for (int i = 0; i < NUM_ENTRIES; ++i) {
        const int j = (i + rotation) % NUM_ENTRIES;
        // Scale files may carry any integers; 64-bit sums cannot overflow
        // before the clamp.
        const int64_t sum = static_cast<int64_t>(mTranspose) + mScaleNotes[j] - mScaleNotes[0];
        const int note = static_cast<int>(std::min<int64_t>(127, std::max<int64_t>(0, sum)));
        mLowest = std::min(mLowest, note);
        mHighest = std::max(mHighest, note);
        mWallNotes[IsReversed() ? NUM_ENTRIES - 1 - i : i] = note;
    }
}

void Scale::FitToState(int notes[NUM_ENTRIES])
{
    bool fits = true;
    for (int i = 0; i < NUM_ENTRIES; ++i) fits = fits && notes[i] >= -128 && notes[i] <= 127;
    if (fits) return;
    const int64_t reference = notes[0];
    for (int i = 0; i < NUM_ENTRIES; ++i) {
        const int64_t interval = static_cast<int64_t>(notes[i]) - reference;
        notes[i] = static_cast<int>(std::min<int64_t>(127, std::max<int64_t>(-127, interval)));
    }
}

bool Scale::Save(StateChunk* pChunk) const
{
    uint8_t record[RECORD_SIZE];
    for (int i = 0; i < NUM_ENTRIES; ++i) record[i] = static_cast<uint8_t>(mScaleNotes[i]);
    record[NUM_ENTRIES] = static_cast<uint8_t>(mTranspose);
    record[NUM_ENTRIES + 1] = static_cast<uint8_t>(mRotate);
    record[NUM_ENTRIES + 2] = static_cast<uint8_t>(mMutate);
    return pChunk->PutBytes(record, RECORD_SIZE) > 0;
}

int Scale::Load(const StateChunk* pChunk, int position)
{
    // A field whose byte lies beyond the end of the chunk keeps its value.
    int8_t value = 0;
    for (int i = 0; i < NUM_ENTRIES; ++i) {
        position = pChunk->GetByte(&value, position);
        if (position >= 0) mScaleNotes[i] = value;
    }
    position = pChunk->GetByte(&value, position);
    if (position >= 0) mTranspose = value;
    position = pChunk->GetByte(&value, position);
    if (position >= 0) mRotate = value;
    mRotate = EffectiveRotation();
    position = pChunk->GetByte(&value, position);
    if (position >= 0) mMutate = value;
    ComputeWallNotes();
    return position;
}
