#include "Obstacle.h"

#include "framework/plugin/StateChunk.h"

bool Obstacle::Save(StateChunk* pChunk) const
{
    pChunk->PutByte(static_cast<int8_t>(mKind));
    return pChunk->PutByte(static_cast<int8_t>(mState)) > 0;
}

int Obstacle::Load(const StateChunk* pChunk, int position)
{
    // The chunk is the user's project and may come from anywhere. A kind this
    // model does not know would index past the heading tables and the cell
    // pictures, so it becomes an empty cell. The state is a toggle bit that
    // the wedges and Pause flip; only its low bit means anything. A byte
    // beyond the end of the chunk leaves the field as it was.
    int8_t kind = 0, state = 0;
    position = pChunk->GetByte(&kind, position);
    if (position >= 0) mKind = (kind >= 0 && kind < EObstacle_NumKinds) ? int{kind} : int{EObstacle_empty};
    position = pChunk->GetByte(&state, position);
    if (position >= 0) mState = state & 1;
    return position;
}
