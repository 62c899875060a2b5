#include "Matrix.h"

#include <algorithm>
#include <type_traits>

#include "framework/plugin/StateChunk.h"

static_assert(std::is_trivially_copyable<Obstacle>::value, "a board's cells copy as one block");

namespace {

const int NEW_GRID_LAST_INDEX = 8;  // a new board shows 9 x 9 cells

}  // namespace

Matrix::Matrix()
    : mFirstRow(0), mLastRow(NEW_GRID_LAST_INDEX), mFirstCol(0), mLastCol(NEW_GRID_LAST_INDEX),
      mNumRows(NEW_GRID_LAST_INDEX + 1), mNumCols(NEW_GRID_LAST_INDEX + 1)
{
}

void Matrix::SetLastRow(int lastRow)
{
    mLastRow = ClampToBoard(lastRow);
    mNumRows = mLastRow - mFirstRow + 1;
}

void Matrix::SetLastCol(int lastCol)
{
    mLastCol = ClampToBoard(lastCol);
    mNumCols = mLastCol - mFirstCol + 1;
}

bool Matrix::Save(StateChunk* pChunk) const
{
    pChunk->PutByte(static_cast<int8_t>(mFirstRow));
    pChunk->PutByte(static_cast<int8_t>(mLastRow));
    pChunk->PutByte(static_cast<int8_t>(mFirstCol));
    pChunk->PutByte(static_cast<int8_t>(mLastCol));
    mRovers.Save(pChunk);
    // The cells go as one block: a project holds nine boards.
    uint8_t records[MAX_CELLS * Obstacle::RECORD_SIZE];
    for (int i = 0; i < MAX_CELLS; ++i) mCells[i].Encode(records + i * Obstacle::RECORD_SIZE);
    return pChunk->PutBytes(records, sizeof records) > 0;
}

int Matrix::Load(const StateChunk* pChunk, int position)
{
    // The window always starts at row and column 0 (every transform and the
    // editor's cell layout count from there), so a stored first row or
    // column other than 0 is taken as 0; the last row and column are held
    // on the board, which keeps the counts in 1..17 for the simulation's
    // wrapping. A byte beyond the end of the chunk leaves its field as it was.
    int8_t firstRow = 0, lastRow = 0, firstCol = 0, lastCol = 0;
    position = pChunk->GetByte(&firstRow, position);
    if (position >= 0) mFirstRow = 0;
    position = pChunk->GetByte(&lastRow, position);
    if (position >= 0) mLastRow = ClampToBoard(lastRow);
    position = pChunk->GetByte(&firstCol, position);
    if (position >= 0) mFirstCol = 0;
    position = pChunk->GetByte(&lastCol, position);
    if (position >= 0) mLastCol = ClampToBoard(lastCol);
    mNumRows = mLastRow - mFirstRow + 1;
    mNumCols = mLastCol - mFirstCol + 1;
    position = mRovers.Load(pChunk, position);
    if (position < 0) return -1;
    // The cells come as one block; a chunk that ends within it gives the
    // cells it holds, and a cell it cuts keeps the field it lacks.
    const int wholeCells = std::clamp((pChunk->Size() - position) / Obstacle::RECORD_SIZE, 0, MAX_CELLS);
    const uint8_t* pRecords = pChunk->Data() + position;
    for (int i = 0; i < wholeCells; ++i) mCells[i].Decode(pRecords + i * Obstacle::RECORD_SIZE);
    position += wholeCells * Obstacle::RECORD_SIZE;
    return wholeCells == MAX_CELLS ? position : mCells[wholeCells].Load(pChunk, position);
}

void CopyGrid(Matrix* pDestination, const Matrix& source)
{
    pDestination->mFirstRow = source.mFirstRow;
    pDestination->mLastRow = source.mLastRow;
    pDestination->mFirstCol = source.mFirstCol;
    pDestination->mLastCol = source.mLastCol;
    pDestination->mNumRows = source.mNumRows;
    pDestination->mNumCols = source.mNumCols;
    for (int i = 0; i < MAX_ROVERS; ++i) {
        const Rover& from = source.mRovers.mRovers[i];
        Rover& to = pDestination->mRovers.mRovers[i];
        to.mRow = from.mRow;
        to.mCol = from.mCol;
        to.mCellid = from.mCellid;
        to.mHeading = from.mHeading;
        to.mPace = from.mPace;
        to.mResting = from.mResting;
        to.mCollisionCount = from.mCollisionCount;
    }
    pDestination->mRovers.mCount = source.mRovers.mCount;
    for (int cell = 0; cell < MAX_CELLS; ++cell) {
        pDestination->mCells[cell].mKind = source.mCells[cell].mKind;
        pDestination->mCells[cell].mState = source.mCells[cell].mState;
    }
}
