// The rovers that travel the board, and the list that holds them in the
// order in which they move.
#pragma once

#include "GridTypes.h"
#include "Serializeable.h"

class Rover : public Serializeable {
public:
    Rover();

    // The transforms' setter: a row or column below 0 becomes 16, one above
    // 16 becomes 0.
    void SetPosition(int row, int col);
    // The nudge setter: wraps into the active rows 0..nRows-1 and columns
    // 0..nCols-1.
    void SetPositionWrapped(int row, int col, int nRows, int nCols);

    // Six bytes: row, column, heading, pace, resting, collision count.
    bool Save(StateChunk* pChunk) const override;
    int Load(const StateChunk* pChunk, int position) override;

    int mRow;             // 0..16
    int mCol;             // 0..16
    int mCellid;          // the cell the rover is counted and shown in; -1 in a free slot
    int mHeading;         // EHeading
    int mPace;            // RoverPace
    int mResting;         // 1 on the step a slow rover sits out
    int mCollisionCount;  // consecutive steps spent sharing a cell
};

class RoverList : public Serializeable {
public:
    RoverList() : mCount(0) {}

    // Appends a rover at the cell; false when the list is full.
    bool Add(int cellId, int heading, int pace);
    // The first rover on the cell turns a quarter clockwise, or leaves the
    // list when it heads W or NW.
    void TurnOrRemove(int cellId);
    // Removes the first rover on the cell, if any.
    void Remove(int cellId);
    // The rovers after the index move down one slot, keeping their order.
    void RemoveAt(int index);
    // Index of the first live rover on the cell, or -1.
    int FindByCell(int cellId) const;

    // An int32 count, then the rovers oldest first.
    bool Save(StateChunk* pChunk) const override;
    int Load(const StateChunk* pChunk, int position) override;

    Rover mRovers[MAX_ROVERS];
    int mCount;  // rovers 0..mCount-1 are live
};
