// The processor's whole state in the host's project: random generator,
// scales, scale name, grid, pattern slots, sequencer and the host-visible
// parameter values, after the framework's chunk header.
#include <cstring>

#include "Tarvo.h"
#include "TarvoView.h"

bool Tarvo::SaveState(StateChunk* pChunk)
{
    ScopedLock lock(mLock);
    bool ok = mRandom.Save(pChunk);
    for (const Scale& scale : mNotes.mScales) ok = scale.Save(pChunk) && ok;
    if (mScaleName[0] != '\0') {
        ok = pChunk->PutString(mScaleName) > 0 && ok;
    } else {
        // An empty name (only a project whose stored name began with a zero
        // byte leaves one) is stored the way it came, so that it loads as
        // the empty text again: a length of 0 would load as "default".
        ok = pChunk->PutInt32(1) > 0 && ok;
        ok = pChunk->PutByte(0) > 0 && ok;
    }
    ok = mGrid.Save(pChunk) && ok;
    for (int slot = 0; slot < NUM_PATTERN_SLOTS; ++slot) {
        ok = pChunk->PutByte(mPatternOccupied[slot] ? 1 : 0) > 0 && ok;
        ok = mPatterns[slot].Save(pChunk) && ok;
    }
    ok = mSequencer.Save(pChunk) && ok;
    ok = SerializeParams(pChunk) && ok;
    return ok;
}

int Tarvo::LoadState(StateChunk* pChunk, int startPos)
{
    ScopedLock lock(mLock);
    // Everything is read and checked before anything is applied: a refused
    // chunk leaves the state, the parameters, the clock and the pending
    // notes as they were.
    StateImage& image = mLoadedState;
    image.mRandom = mRandom;
    for (int slot = 0; slot < NUM_SCALE_SLOTS; ++slot) image.mScales[slot] = mNotes.mScales[slot];
    image.mGrid = mGrid;
    for (int slot = 0; slot < NUM_PATTERN_SLOTS; ++slot) image.mPatterns[slot] = mPatterns[slot];
    image.mSequencer = mSequencer;
    int position = image.Read(pChunk, startPos);
    if (position >= 0) position = ReadParamValues(pChunk, position, image.mParamValues);
    if (position < 0) return -1;

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
    mResyncPending = true;
    // The editor shows the restored grid; its rovers are counted, not
    // turned: turning them would change what the project plays.
    UpdateGridLayout();
    ShowGrid();
    if (mpView) mpView->MarkSequencerPanelChanged();
    return position;
}

bool Tarvo::LoadScene(const uint8_t* chunk, int size)
{
    if (!chunk || size <= 0) return false;
    StateChunk scene;
    scene.Resize(size);
    std::memcpy(scene.Data(), chunk, static_cast<size_t>(size));
    if (!LoadStateChunk(&scene, false)) return false;
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
