// The processor's whole state in the host's project: random generator,
// scales, scale name, grid, pattern slots, sequencer and the host-visible
// parameter values, after the framework's chunk header. With the timeline
// lock on, the project holds the start scene (never the moving world, which
// the song's position derives) and then the lock's record.
#include <cstring>

#include "Tarvo.h"
#include "TarvoView.h"

void Tarvo::CaptureState(StateImage* pImage) const
{
    pImage->mRandom = mRandom;
    for (int slot = 0; slot < NUM_SCALE_SLOTS; ++slot) pImage->mScales[slot] = mNotes.mScales[slot];
    std::memcpy(pImage->mScaleName, mScaleName, sizeof pImage->mScaleName);
    pImage->mGrid = mGrid;
    for (int slot = 0; slot < NUM_PATTERN_SLOTS; ++slot) {
        pImage->mPatternFlags[slot] = mPatternOccupied[slot];
        pImage->mPatterns[slot] = mPatterns[slot];
    }
    pImage->mSequencer = mSequencer;
    for (int i = 0; i < EParam_NumVisible; ++i) pImage->mParamValues[i] = GetParam(i)->Value();
}

bool Tarvo::SaveState(StateChunk* pChunk)
{
    ScopedLock lock(mLock);
    if (mTimelineLocked) return mStartScene.Write(pChunk) && TimelineLockRecord::Write(pChunk, true);
    CaptureState(mpScratchState.get());
    return mpScratchState->Write(pChunk);
}

int Tarvo::LoadState(StateChunk* pChunk, int startPos) { return LoadWholeState(pChunk, startPos, mLoadingScene); }

int Tarvo::LoadWholeState(StateChunk* pChunk, int startPos, bool keepLock)
{
    ScopedLock lock(mLock);
    bool locked = false;
    int position = ReadState(pChunk, startPos, &locked);
    if (position < 0) return -1;
    ApplyLoadedState();
    AfterLoad(keepLock ? mTimelineLocked : locked);
    return position;
}

int Tarvo::ReadState(StateChunk* pChunk, int startPos, bool* pLocked)
{
    // Everything is read and checked before anything is applied: a refused
    // chunk leaves the state, the parameters, the clock, the lock and the
    // pending notes as they were.
    StateImage& image = *mpScratchState;
    image.mRandom = mRandom;
    for (int slot = 0; slot < NUM_SCALE_SLOTS; ++slot) image.mScales[slot] = mNotes.mScales[slot];
    image.mGrid = mGrid;
    for (int slot = 0; slot < NUM_PATTERN_SLOTS; ++slot) image.mPatterns[slot] = mPatterns[slot];
    image.mSequencer = mSequencer;
    int position = image.Read(pChunk, startPos);
    if (position >= 0) position = ReadParamValues(pChunk, position, image.mParamValues);
    if (position >= 0) position = TimelineLockRecord::Read(pChunk, position, pLocked);
    return position;
}

void Tarvo::ApplyLoadedState()
{
    const StateImage& image = *mpScratchState;
    ChangeSourceScope source(this, EChangeSource_Internal);
    mRandom = image.mRandom;
    for (int slot = 0; slot < NUM_SCALE_SLOTS; ++slot) mNotes.mScales[slot] = image.mScales[slot];
    mNotes.UpdateNoteRange();
    mNotes.RebuildNoteProbability();
    std::memcpy(mScaleName, image.mScaleName, sizeof mScaleName);
    if (mpView) mpView->ShowScaleName(mScaleName);

    mGrid = image.mGrid;
    for (int slot = 0; slot < NUM_PATTERN_SLOTS; ++slot) {
        mPatterns[slot] = image.mPatterns[slot];
        // A slot stored empty leaves an occupied thumbnail as it was.
        if (image.mPatternFlags[slot]) {
            mPatternOccupied[slot] = true;
            if (mpView) mpView->ShowPatternSlot(slot, true, &mPatterns[slot]);
        }
    }
    mSequencer = image.mSequencer;
    for (int step = 0; step < NUM_SEQ_STEPS; ++step) {
        GetParam(EParam_FirstLock + step)->SetClamped(mSequencer.mLockFlags[step]);
        GetParam(EParam_FirstMute + step)->SetClamped(mSequencer.mMuteFlags[step]);
    }

    // The parameter values have the last word: their handlers apply them
    // over the grid and sequencer read above. Restoring them fires no
    // button and runs no cell command.
    RestoreParamValues(image.mParamValues);
    // The editor shows the restored grid; its rovers are counted, not
    // turned: turning them would change what the project plays.
    UpdateGridLayout();
    ShowGrid();
    if (mpView) mpView->MarkSequencerPanelChanged();
}

void Tarvo::AfterLoad(bool locked)
{
    mCatchingUp = false;
    mStartSettingsApplied = false;
    mPatternsDiverged = false;
    mRunPure = false;
    if (!locked) {
        mTimelineLocked = false;
        // The countdown of the state before the load means nothing on the
        // host's timeline: the next block only records the position.
        mResyncPending = true;
    } else {
        // The loaded state is the start scene, at the song's start; the next
        // block replays it to the position, skipping no step.
        mCheckpoints.Reserve(CHECKPOINT_MEMORY);
        mTimelineLocked = true;
        mSequencer.mCurrentStep = 0;
        mSimpleCount = 0;
        CaptureState(&mStartScene);
        mCheckpoints.Clear();
        mReanchorPending = true;
        mResyncPending = false;
    }
    if (mpView) mpView->ShowTimelineLock(mTimelineLocked);
}

bool Tarvo::LoadScene(const uint8_t* chunk, int size)
{
    if (!chunk || size <= 0) return false;
    StateChunk scene;
    scene.Resize(size);
    std::memcpy(scene.Data(), chunk, static_cast<size_t>(size));
    // The load goes the host's way (preset bookkeeping, the editor's values);
    // the flag, set under the lock, tells LoadState that the lock stays.
    ScopedLock lock(mLock);
    mLoadingScene = true;
    bool loaded = LoadStateChunk(&scene, false);
    mLoadingScene = false;
    if (!loaded) return false;
    // One call instead of an audioMasterAutomate per parameter, which would
    // write a scene load into the host's automation.
    UpdateHostDisplay();
    return true;
}

bool Tarvo::SaveScene(std::vector<uint8_t>* pChunk)
{
    StateChunk state;
    if (!SaveStateChunk(&state)) return false;
    pChunk->assign(state.Data(), state.Data() + state.Size());
    return true;
}
