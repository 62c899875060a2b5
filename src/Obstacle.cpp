#include "Obstacle.h"

#include "framework/plugin/StateChunk.h"

namespace {

// The chunk is the user's project and may come from anywhere. A kind this
// model does not know would index past the heading tables and the cell
// pictures, so it becomes an empty cell. The state is a toggle bit that the
// wedges and Pause flip; only its low bit means anything.
int KindFromByte(int8_t kind) { return (kind >= 0 && kind < EObstacle_NumKinds) ? int{kind} : int{EObstacle_empty}; }
int StateFromByte(int8_t state) { return state & 1; }

}  // namespace

bool Obstacle::Save(StateChunk* pChunk) const
{
    uint8_t record[RECORD_SIZE];
    Encode(record);
    return pChunk->PutBytes(record, RECORD_SIZE) > 0;
}

int Obstacle::Load(const StateChunk* pChunk, int position)
{
    // A byte beyond the end of the chunk leaves its field as it was.
    int8_t kind = 0, state = 0;
    position = pChunk->GetByte(&kind, position);
    if (position >= 0) mKind = KindFromByte(kind);
    position = pChunk->GetByte(&state, position);
    if (position >= 0) mState = StateFromByte(state);
    return position;
}
