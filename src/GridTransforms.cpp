#include "GridTransforms.h"

void TransformGrid(Matrix* pGrid, EGridTransform transform)
{
    RoverList& rovers = pGrid->mRovers;
    for (int i = 0; i < rovers.mCount; ++i) {
        Rover& rover = rovers.mRovers[i];
        int row = rover.mRow;
        int col = rover.mCol;
        switch (transform) {
        case EGridTransform_FlipH:
            col = pGrid->mLastCol - col;
            break;
        case EGridTransform_FlipV:
            row = pGrid->mLastRow - row;
            break;
        case EGridTransform_ShiftR:
            col = (col + 1) % pGrid->mNumCols;
            break;
        case EGridTransform_ShiftL:
            col = col - 1;
            if (col < 0) col = pGrid->mNumCols - 1;
            break;
        case EGridTransform_ShiftU:
            row = row - 1;
            if (row < 0) row = pGrid->mNumRows - 1;
            break;
        case EGridTransform_ShiftD:
            row = row + 1;
            if (row > pGrid->mLastRow) row = 0;
            break;
        case EGridTransform_StagrU:
            row = WrapAround(row - col, 0, pGrid->mNumRows);
            break;
        case EGridTransform_StagrD:
            row = (row + col) % pGrid->mNumRows;
            break;
        case EGridTransform_RotR:
            rover.mHeading = HEADING_CLOCKWISE[rover.mHeading];
            continue;
        case EGridTransform_RotL:
            rover.mHeading = HEADING_COUNTER_CLOCKWISE[rover.mHeading];
            continue;
        }
        rover.SetPosition(row, col);
    }
}

void StepRover(Matrix* pGrid, int roverIndex, bool forward)
{
    RoverList& rovers = pGrid->mRovers;
    if (roverIndex < 0 || roverIndex >= rovers.mCount) return;
    Rover& rover = rovers.mRovers[roverIndex];
    const int direction = forward ? 1 : -1;
    rover.SetPositionWrapped(rover.mRow + direction * HEADING_ROW_STEP[rover.mHeading],
                             rover.mCol + direction * HEADING_COL_STEP[rover.mHeading], pGrid->mNumRows,
                             pGrid->mNumCols);
}

void RemoveOldestRover(Matrix* pGrid)
{
    if (pGrid->mRovers.mCount > 0) pGrid->mRovers.RemoveAt(0);
}

void RemoveNewestRover(Matrix* pGrid)
{
    if (pGrid->mRovers.mCount > 0) --pGrid->mRovers.mCount;
}

void ClearRovers(Matrix* pGrid) { pGrid->mRovers.mCount = 0; }

void ClearObstacles(Matrix* pGrid)
{
    for (Obstacle& cell : pGrid->mCells) cell.mKind = EObstacle_empty;
}
