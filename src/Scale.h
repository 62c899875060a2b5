// One scale slot: 17 absolute note numbers, the note that entry 0 sounds as,
// a cyclic shift along the wall and a direction, plus the note each wall
// position sounds, derived from them.
#pragma once

#include "GridTypes.h"
#include "Serializeable.h"

enum ScaleDirection {
    ScaleDirection_Forward = 0,
    ScaleDirection_Reverse = 1
};

class Scale : public Serializeable {
public:
    static constexpr int NUM_ENTRIES = WALL_POSITIONS;   // 17
    static constexpr int RECORD_SIZE = NUM_ENTRIES + 3;  // 20 bytes in the state
    static const int DEFAULT_NOTES[NUM_ENTRIES];

    Scale();

    // Recomputes mWallNotes, mLowest and mHighest; to be called after every
    // change of the four stored fields.
    void ComputeWallNotes();

    // mRotate brought into 0..16. Handlers store the parameter value as is,
    // and a state written by another program may hold anything, so every
    // reader of the rotation goes through this.
    int EffectiveRotation() const;
    bool IsReversed() const { return mMutate != ScaleDirection_Forward; }

    bool Save(StateChunk* pChunk) const override;
    int Load(const StateChunk* pChunk, int position) override;

    // Notes of a scale file made to fit the state, which keeps a signed byte
    // per entry, without changing what they play. Numbers that fit stay as
    // they are; otherwise each entry becomes its interval from entry 0, at
    // most 127 either way: a wall plays transposition + interval within
    // 0..127, so a larger interval sounds at the edge of that range anyway.
    static void FitToState(int notes[NUM_ENTRIES]);

    int mScaleNotes[NUM_ENTRIES];  // entry 0 is the reference note
    int mTranspose;                // what entry 0 sounds as
    int mRotate;                   // 0..16
    int mMutate;                   // ScaleDirection
    int mWallNotes[NUM_ENTRIES];   // derived: note of wall position 0..16
    int mLowest;                   // derived
    int mHighest;                  // derived
};
