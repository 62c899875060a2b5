// One step of the grid world: rovers move, obstacles act, walls are struck,
// and rovers sharing a cell turn away from each other. Every random decision
// draws from the processor's generator in a fixed order: the order is the
// music, so the same seed must give the same notes on every build.
// Runs on the audio thread under the plug-in lock; allocates nothing.
#pragma once

#include "CountedItemSet.h"
#include "GridTypes.h"
#include "Matrix.h"
#include "PseudoRandom.h"
#include "StrikeRecord.h"
#include "WallNotes.h"

class StepSimulation {
public:
    // The processor owns all three and outlives the simulation.
    StepSimulation(Matrix* pGrid, PseudoRandom* pRandom, const IWallNotes* pWallNotes);

    // The per-step clearing before a step: strike records (muted marks stay)
    // and touched cells.
    void ClearStep();
    // Moves every rover once, in list order, jostling at most one of them.
    void AdvanceRovers();
    // Jostles the rover by up to one column and one row (column first). Only
    // the row and column change; mCellid follows on the rover's next move.
    void WobbleRover(Rover& rover);
    void MoveRover(Rover& rover);
    // A strike that may sound, subject to muting, the silent step and the
    // note's probability.
    void RegisterStrike(int wall, int position);
    // A strike that sounds.
    void RecordStrike(int wall, int position);
    // Counts rovers per cell, fills the cell display codes, and turns rovers
    // that share a cell. Runs after the step's notes and after the user's
    // edits of the grid.
    void ResolveCollisions();
    // Counts rovers per cell and fills the cell display codes, changing no
    // rover and drawing nothing: how a restored grid is shown, since
    // restoring state must not turn the rovers it restores.
    void UpdateCellDisplay();
    void TouchCell(int cellId);
    void TouchAllCells();
    // Marks all 17 positions of a wall muted (3) or clears them (0).
    void SetWallMuted(int wall, bool muted);

    // Inputs, set by the parameter handlers.
    double mObsProb;
    double mWrapProb;
    double mNearProb;
    double mWobble;
    int mClimb[Wall_NumWalls];
    int mGroupLimit;
    bool mSilentStep;

    // Outputs of the step, read by note generation and the editor.
    StrikeRecord mStrikes[Wall_NumWalls];
    CountedItemSet<MAX_CELLS> mDirtyCells;
    int mCellDisplay[MAX_CELLS];

private:
    double Draw() { return mpRandom->Uniform(); }
    // -1, 0 or +1, with 0 twice as likely.
    int DrawStep() { return mpRandom->RoundedChoice(2) - 1; }
    int ClampRow(int row) const;
    int ClampCol(int col) const;
    int WrapRow(int row) const;
    int WrapCol(int col) const;

    Matrix* mpGrid;
    PseudoRandom* mpRandom;
    const IWallNotes* mpWallNotes;
    int mRoversInCell[MAX_CELLS];
};
