#include "StateImage.h"

#include <cstring>

#include "framework/plugin/StateChunk.h"

int StateImage::Read(const StateChunk* pChunk, int position)
{
    position = mRandom.Load(pChunk, position);
    for (Scale& scale : mScales) position = scale.Load(pChunk, position);
    std::strcpy(mScaleName, "default");
    if (position >= 0) position = pChunk->GetString(mScaleName, sizeof mScaleName, position);
    position = mGrid.Load(pChunk, position);
    for (int slot = 0; slot < NUM_PATTERN_SLOTS; ++slot) {
        int8_t flag = 0;
        position = pChunk->GetByte(&flag, position);
        mPatternFlags[slot] = flag != 0;
        position = mPatterns[slot].Load(pChunk, position);
    }
    return mSequencer.Load(pChunk, position);
}
