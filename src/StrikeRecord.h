// What one wall saw in the current step: the positions struck, in order of
// first strike, and a mark per position for the editor's wall display.
#pragma once

#include "CountedItemSet.h"
#include "GridTypes.h"

enum StrikeMark {
    StrikeMark_None = 0,
    StrikeMark_Sounding = 1,
    StrikeMark_Silent = 2,
    StrikeMark_Muted = 3
};

struct StrikeRecord {
    CountedItemSet<WALL_POSITIONS> mStruck;
    int mMarks[WALL_POSITIONS];

    StrikeRecord()
    {
        for (int& mark : mMarks) mark = StrikeMark_None;
    }

    // The per-step clearing: muted marks survive, every other mark goes.
    void ClearStep()
    {
        mStruck.Clear();
        for (int& mark : mMarks) {
            if (mark != StrikeMark_Muted) mark = StrikeMark_None;
        }
    }
};
