// Scale files chosen in the editor's file selector replace the notes of all
// four scale slots at once.
#include <cstdio>

#include "Tarvo.h"
#include "TarvoView.h"

void Tarvo::LoadScaleFromSelector()
{
    ResetButton(EParam_FileSelect);
    char path[ScaleFile::PATH_LENGTH + 1];
    path[0] = '\0';
    if (mpView) mpView->TakeChosenFile(path, sizeof path);
    if (!path[0]) return;
    mScaleFile.Load(path);
    int notes[Scale::NUM_ENTRIES];
    int count = mScaleFile.mCount;
    for (int i = 0; i < Scale::NUM_ENTRIES; ++i) {
        // Fewer than 17 values repeat from the start, with no octave added.
        notes[i] = count > 0 ? mScaleFile.mValues[i % count] : 0;
    }
    Scale::FitToState(notes);
    mNotes.LoadScaleNotes(notes);
    const char* name = mScaleFile.mName;
    std::snprintf(mScaleName, sizeof mScaleName, "%s", name[0] ? name : "default");
    if (mpView) mpView->ShowScaleName(mScaleName);
}
