#include "PseudoRandom.h"

#include "framework/plugin/StateChunk.h"

bool PseudoRandom::Save(StateChunk* pChunk) const
{
    pChunk->PutInt32(static_cast<int32_t>(mHalfW));
    return pChunk->PutInt32(static_cast<int32_t>(mHalfZ)) > 0;
}

int PseudoRandom::Load(const StateChunk* pChunk, int position)
{
    int32_t w = 0, z = 0;
    position = pChunk->GetInt32(&w, position);
    if (position >= 0) mHalfW = static_cast<uint32_t>(w);
    position = pChunk->GetInt32(&z, position);
    if (position >= 0) mHalfZ = static_cast<uint32_t>(z);
    return position;
}
