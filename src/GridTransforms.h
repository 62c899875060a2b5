// The editor's whole-population and single-rover operations on a board:
// flips, shifts, staggers and turns of every rover, nudging and dragging one
// rover, deleting rovers and clearing the board. Obstacles never move; the
// processor's button handlers add their reset, lock, layout and refresh.
#pragma once

#include "Matrix.h"

enum EGridTransform {
    EGridTransform_FlipH,
    EGridTransform_FlipV,
    EGridTransform_ShiftR,
    EGridTransform_ShiftL,
    EGridTransform_ShiftU,
    EGridTransform_ShiftD,
    EGridTransform_RotR,
    EGridTransform_RotL,
    EGridTransform_StagrU,
    EGridTransform_StagrD
};

// Applies the transform to every rover in list order. Positions are
// computed for the active window; a rover left outside it by a smaller
// window is moved by the same formula and folded back onto the board.
void TransformGrid(Matrix* pGrid, EGridTransform transform);
// Moves one rover a cell along its heading (forward) or against it,
// wrapping within the active window. An index outside the list does nothing.
void StepRover(Matrix* pGrid, int roverIndex, bool forward);
void RemoveOldestRover(Matrix* pGrid);
void RemoveNewestRover(Matrix* pGrid);
void ClearRovers(Matrix* pGrid);
// Every cell becomes empty; the toggle bits stay as they are.
void ClearObstacles(Matrix* pGrid);
