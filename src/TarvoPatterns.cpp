// The eight pattern slots: snapshots of the grid (window, rovers and
// obstacles) that the user captures, brings back and empties; and the
// step sequencer's levels, which the editor draws.
#include <algorithm>

#include "Tarvo.h"
#include "TarvoView.h"

void Tarvo::SavePattern(int slot)
{
    CopyGrid(&mPatterns[slot], mGrid);
    mPatternOccupied[slot] = true;
    if (mpView) mpView->ShowPatternSlot(slot, true, &mPatterns[slot]);
}

void Tarvo::RestorePattern(int slot)
{
    if (!mPatternOccupied[slot]) return;
    CopyGrid(&mGrid, mPatterns[slot]);
    IPlugParam* pRows = GetParam(EParam_NumRows);
    IPlugParam* pCols = GetParam(EParam_NumColums);
    pRows->SetClamped(mGrid.mNumRows);
    pCols->SetClamped(mGrid.mNumCols);
    double rows = pRows->ToNormalized();
    double cols = pCols->ToNormalized();
    // The restored size goes on as a user edit would: the size knobs show
    // it and the host learns it.
    if (mpView) {
        mpView->ShowParamValue(EParam_NumRows, rows);
        mpView->ShowParamValue(EParam_NumColums, cols);
    }
    NotifyHostParamChange(EParam_NumRows, rows);
    OnParamChanged(EParam_NumRows);
    NotifyHostParamChange(EParam_NumColums, cols);
    OnParamChanged(EParam_NumColums);
    UpdateGridLayout();
    mGridChanged = true;
}

void Tarvo::ClearPattern(int slot)
{
    Matrix& pattern = mPatterns[slot];
    pattern.mRovers.mCount = 0;
    for (Obstacle& cell : pattern.mCells) cell.mKind = EObstacle_empty;
    mPatternOccupied[slot] = false;
    if (mpView) mpView->ShowPatternSlot(slot, false, nullptr);
}

void Tarvo::SetStepLevel(int step, int level)
{
    if (step < 0 || step >= SequencerState::MAX_STEPS) return;
    ScopedLock lock(mLock);
    mSequencer.mLevels[step] = std::clamp(level, 0, 255);
    if (mTimelineLocked) EditorSettingChanged();
}
