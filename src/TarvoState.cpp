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
    ok = pChunk->PutString(mScaleName) > 0 && ok;
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
    int position = mRandom.Load(pChunk, startPos);
    for (Scale& scale : mNotes.mScales) position = scale.Load(pChunk, position);

    char name[sizeof mScaleName];
    std::strcpy(name, "default");
    if (position >= 0) position = pChunk->GetString(name, sizeof name, position);
    std::strcpy(mScaleName, name);
    if (mpView) mpView->ShowScaleName(mScaleName);

    mNotes.UpdateNoteRange();
    mNotes.RebuildNoteProbability();

    position = mGrid.Load(pChunk, position);
    for (int slot = 0; slot < NUM_PATTERN_SLOTS; ++slot) {
        int8_t occupied = 0;
        position = pChunk->GetByte(&occupied, position);
        position = mPatterns[slot].Load(pChunk, position);
        // A slot stored empty leaves an occupied thumbnail as it was.
        if (occupied != 0) {
            mPatternOccupied[slot] = true;
            if (mpView) mpView->ShowPatternSlot(slot, true, &mPatterns[slot]);
        }
    }
    position = mSequencer.Load(pChunk, position);
    for (int step = 0; step < NUM_SEQ_STEPS; ++step) {
        GetParam(EParam_FirstLock + step)->SetClamped(mSequencer.mLockFlags[step]);
        GetParam(EParam_FirstMute + step)->SetClamped(mSequencer.mMuteFlags[step]);
    }

    // The parameter values have the last word: their handlers apply them
    // over the grid and sequencer read above. Restoring them fires no
    // button and runs no cell command.
    int result = UnserializeParams(pChunk, position);
    mResyncPending = true;
    // The editor shows the restored grid; its rovers are counted, not
    // turned: turning them would change what the project plays.
    UpdateGridLayout();
    ShowGrid();
    return result;
}
