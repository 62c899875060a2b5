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

bool StateImage::Write(StateChunk* pChunk) const
{
    bool ok = mRandom.Save(pChunk);
    for (const Scale& scale : mScales) ok = scale.Save(pChunk) && ok;
    if (mScaleName[0] != '\0') {
        ok = pChunk->PutString(mScaleName) > 0 && ok;
    } else {
        // An empty name (only a project whose stored name began with a zero
        // byte leaves one) is stored the way it came, so that it loads as
        // the empty text again: a length of 0 would load as "default".
        ok = pChunk->PutInt32(1) > 0 && ok;
        ok = pChunk->PutByte(0) > 0 && ok;
    }
    ok = mGrid.Save(pChunk) && ok;
    for (int slot = 0; slot < NUM_PATTERN_SLOTS; ++slot) {
        ok = pChunk->PutByte(mPatternFlags[slot] ? 1 : 0) > 0 && ok;
        ok = mPatterns[slot].Save(pChunk) && ok;
    }
    ok = mSequencer.Save(pChunk) && ok;
    for (double value : mParamValues) ok = pChunk->PutDouble(value) > 0 && ok;
    return ok;
}

bool TimelineLockRecord::Write(StateChunk* pChunk, bool locked)
{
    bool ok = pChunk->PutInt32(TAG) > 0;
    ok = pChunk->PutInt32(VERSION) > 0 && ok;
    return pChunk->PutInt32(locked ? 1 : 0) > 0 && ok;
}

int TimelineLockRecord::Read(const StateChunk* pChunk, int position, bool* pLocked)
{
    *pLocked = false;
    int32_t tag = 0;
    if (position < 0 || pChunk->GetInt32(&tag, position) < 0 || tag != TAG) return position;
    // A later version may add fields after the flag; the flag stays where
    // it is.
    int32_t version = 0;
    int32_t flag = 0;
    int next = pChunk->GetInt32(&version, position + 4);
    next = pChunk->GetInt32(&flag, next);
    if (next < 0 || version < 1) return -1;
    *pLocked = flag != 0;
    return next;
}
