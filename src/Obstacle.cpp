#include "Obstacle.h"

#include "framework/plugin/StateChunk.h"

bool Obstacle::Save(StateChunk* pChunk) const
{
    uint8_t record[RECORD_SIZE];
    Encode(record);
    return pChunk->PutBytes(record, RECORD_SIZE) > 0;
}

int Obstacle::Load(const StateChunk* pChunk, int position)
{
    // The bytes are repaired as Decode repairs them; a byte beyond the end
    // of the chunk leaves its field as it was.
    int8_t kind = 0, state = 0;
    position = pChunk->GetByte(&kind, position);
    if (position >= 0) mKind = OBSTACLE_KIND_OF_BYTE.mKinds[static_cast<uint8_t>(kind)];
    position = pChunk->GetByte(&state, position);
    if (position >= 0) mState = state & 1;
    return position;
}
