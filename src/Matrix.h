// The board: the active window of rows and columns, the rovers, and all
// 17 x 17 cells whatever the window. It holds no heap memory and no
// pointers besides the vtables of its parts, so a copy is a whole board
// (pattern slots are Matrix values).
#pragma once

#include "GridTypes.h"
#include "Obstacle.h"
#include "Rover.h"
#include "Serializeable.h"

class Matrix : public Serializeable {
public:
    // An empty board with the 9 x 9 window of a new instance.
    Matrix();

    // Set the last row or column (0..16) of the active window and the count
    // derived from it; cells and rovers outside the window stay where they are.
    void SetLastRow(int lastRow);
    void SetLastCol(int lastCol);

    // Window bytes, the rover list, then the 289 cells in cell-id order.
    bool Save(StateChunk* pChunk) const override;
    int Load(const StateChunk* pChunk, int position) override;

    int mFirstRow;  // always 0
    int mLastRow;
    int mFirstCol;  // always 0
    int mLastCol;
    int mNumRows;  // mLastRow - mFirstRow + 1
    int mNumCols;  // mLastCol - mFirstCol + 1
    RoverList mRovers;
    Obstacle mCells[MAX_CELLS];
};

// Moves a pattern between the current grid and a pattern slot: the window,
// all 20 rover slots whatever the count, the count, and every cell's kind
// and state.
void CopyGrid(Matrix* pDestination, const Matrix& source);
