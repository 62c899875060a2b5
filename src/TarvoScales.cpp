// A scale file replaces the notes of all four scale slots at once. The
// editor reads the file the user chose, on its own thread and outside the
// plug-in lock; the processor only takes the notes.
#include <cstdio>

#include "Tarvo.h"
#include "TarvoView.h"

void Tarvo::LoadScaleFile(const ScaleFile& file)
{
    int notes[Scale::NUM_ENTRIES];
    int count = file.mCount;
    for (int i = 0; i < Scale::NUM_ENTRIES; ++i) {
        // Fewer than 17 values repeat from the start, with no octave added.
        notes[i] = count > 0 ? file.mValues[i % count] : 0;
    }
    Scale::FitToState(notes);
    ScopedLock lock(mLock);
    mNotes.LoadScaleNotes(notes);
    const char* name = file.mName;
    std::snprintf(mScaleName, sizeof mScaleName, "%s", name[0] ? name : "default");
    if (mpView) mpView->ShowScaleName(mScaleName);
    if (mTimelineLocked) EditorSettingChanged();
}
