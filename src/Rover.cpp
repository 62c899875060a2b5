#include "Rover.h"

#include <cassert>

#include "framework/plugin/StateChunk.h"

Rover::Rover()
    : mRow(0), mCol(0), mCellid(-1), mHeading(EHeading_N), mPace(RoverPace_Norm), mResting(0), mCollisionCount(0)
{
}

void Rover::SetPosition(int row, int col)
{
    row = ReenterAtOtherEdge(row, MAX_ROWS);
    col = ReenterAtOtherEdge(col, MAX_COLS);
    mRow = row;
    mCol = col;
    mCellid = CellId(row, col);
}

void Rover::SetPositionWrapped(int row, int col, int nRows, int nCols)
{
    assert(nRows >= 1 && nRows <= MAX_ROWS && nCols >= 1 && nCols <= MAX_COLS);
    row = ReenterAtOtherEdge(row, nRows);
    col = ReenterAtOtherEdge(col, nCols);
    mRow = row;
    mCol = col;
    mCellid = CellId(row, col);
}

bool Rover::Save(StateChunk* pChunk) const
{
    pChunk->PutByte(static_cast<int8_t>(mRow));
    pChunk->PutByte(static_cast<int8_t>(mCol));
    pChunk->PutByte(static_cast<int8_t>(mHeading));
    pChunk->PutByte(static_cast<int8_t>(mPace));
    pChunk->PutByte(static_cast<int8_t>(mResting));
    return pChunk->PutByte(static_cast<int8_t>(mCollisionCount)) > 0;
}

int Rover::Load(const StateChunk* pChunk, int position)
{
    // A project chunk may be damaged or hand-made; every field is brought
    // into the range the simulation indexes with, because a rover off the
    // board or with an unknown heading would read past the cell and heading
    // tables. Fields whose bytes lie beyond the end of the chunk keep their
    // current values.
    int8_t row = 0, col = 0, heading = 0, pace = 0, resting = 0, collisions = 0;
    position = pChunk->GetByte(&row, position);
    if (position >= 0) mRow = ClampToBoard(row);
    position = pChunk->GetByte(&col, position);
    if (position >= 0) mCol = ClampToBoard(col);
    position = pChunk->GetByte(&heading, position);
    if (position >= 0) mHeading = heading & 7;
    position = pChunk->GetByte(&pace, position);
    if (position >= 0) mPace = pace != 0 ? RoverPace_Slow : RoverPace_Norm;
    position = pChunk->GetByte(&resting, position);
    if (position >= 0) mResting = resting != 0 ? 1 : 0;
    position = pChunk->GetByte(&collisions, position);
    if (position >= 0) mCollisionCount = collisions < 0 ? 0 : collisions;
    // Only a slow rover alternates between resting and moving; a normal
    // rover marked as resting would sit out every step for good.
    if (mPace == RoverPace_Norm) mResting = 0;
    // Derived even when the record was cut short, so that a live rover
    // always names a cell of the board.
    mCellid = CellId(mRow, mCol);
    return position;
}

bool RoverList::Add(int cellId, int heading, int pace)
{
    assert(cellId >= 0 && cellId < MAX_CELLS);
    assert(heading >= 0 && heading < EHeading_NumHeadings);
    if (mCount >= MAX_ROVERS) return false;
    Rover& rover = mRovers[mCount];
    rover.mRow = cellId / MAX_COLS;
    rover.mCol = cellId % MAX_COLS;
    rover.mCellid = cellId;
    rover.mHeading = heading;
    rover.mPace = pace != 0 ? RoverPace_Slow : RoverPace_Norm;
    rover.mResting = 0;
    rover.mCollisionCount = 0;
    ++mCount;
    return true;
}

void RoverList::TurnOrRemove(int cellId)
{
    int index = FindByCell(cellId);
    if (index < 0) return;
    Rover& rover = mRovers[index];
    if (rover.mHeading == EHeading_W || rover.mHeading == EHeading_NW) {
        RemoveAt(index);
    } else {
        rover.mHeading = HEADING_CLOCKWISE[rover.mHeading];
    }
}

void RoverList::Remove(int cellId)
{
    int index = FindByCell(cellId);
    if (index >= 0) RemoveAt(index);
}

void RoverList::RemoveAt(int index)
{
    assert(index >= 0 && index < mCount);
    if (index < 0 || index >= mCount) return;
    for (int i = index + 1; i < mCount; ++i) mRovers[i - 1] = mRovers[i];
    --mCount;
}

int RoverList::FindByCell(int cellId) const
{
    for (int i = 0; i < mCount; ++i) {
        if (mRovers[i].mCellid == cellId) return i;
    }
    return -1;
}

bool RoverList::Save(StateChunk* pChunk) const
{
    bool saved = pChunk->PutInt32(mCount) > 0;
    for (int i = 0; i < mCount; ++i) saved = mRovers[i].Save(pChunk);
    return saved;
}

int RoverList::Load(const StateChunk* pChunk, int position)
{
    int32_t count = 0;
    position = pChunk->GetInt32(&count, position);
    if (position < 0) return -1;
    // The list holds 20 rovers and no fewer than none; a count outside that
    // cannot be repaired (which rovers would be meant?), so the chunk is
    // refused from here on and the list stays as it was.
    if (count < 0 || count > MAX_ROVERS) return -1;
    mCount = count;
    for (int i = 0; i < mCount; ++i) position = mRovers[i].Load(pChunk, position);
    return position;
}
