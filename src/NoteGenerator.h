// Turns the wall strikes of a simulation step into notes: the four scale
// slots and the binding of walls to them, the per-note probability table
// that decides whether a strike may sound, and the per-step generation with
// velocity, duration, humanised onset and repeats.
#pragma once

#include "CountedItemSet.h"
#include "GridTypes.h"
#include "NoteTracker.h"
#include "PseudoRandom.h"
#include "Scale.h"
#include "StrikeRecord.h"
#include "WallNotes.h"

// What the processor's clock and the step sequencer contribute to one step.
struct StepNoteInputs {
    bool mSeqOn;       // the sequencer's on switch
    bool mStepMuted;   // mute flag of the sequencer's current step
    int mAccentLevel;  // level of the current step, 128 = unchanged
    int mNoteLengthSamples;
    int mRepeatLengthSamples;
    double mHumanSamples;
    double mDurationJitter;  // factor of the note length
};

class NoteGenerator : public IWallNotes {
public:
    static constexpr int NUM_SLOTS = 4;
    static constexpr int NUM_NOTES = 128;
    static constexpr int NUM_CHANNELS = 16;
    static constexpr int NUM_KEYS = NUM_NOTES * NUM_CHANNELS;  // note x 16 + channel
    // Upper bound of a generated onset and of a generated duration, so that
    // onset + duration stays inside what the tracker accepts.
    static constexpr int MAX_NOTE_SPAN = NoteTracker::MAX_EVENT_TIME / 2;

    NoteGenerator();

    // The Transp handlers and the octave buttons.
    void SetTranspose(int slot, int transpose);
    // Smallest and largest note over the four slots, bound to a wall or not.
    void UpdateNoteRange();
    // The tilt curve over the note range from mNoteProb and mTilt.
    void RebuildNoteProbability();
    // Binds a wall to the slot chosen by a ScaleN..ScaleW value (0, 1/3,
    // 2/3, 1); returns the slot index, whose wall display is then due.
    int BindWall(int wall, double value);
    bool IsWallBoundTo(int wall, int slot) const;
    // What the wall display shows at a position: the scale entry index
    // counted along the wall's direction.
    int WallEntryIndex(int wall, int position) const;
    // A scale file: the same 17 notes into every slot, keeping their
    // transposition, rotation and direction.
    void LoadScaleNotes(const int notes[Scale::NUM_ENTRIES]);

    int WallNote(int wall, int position) const override;
    double NoteProbability(int note) const override;
    const Scale& WallScale(int wall) const;

    // One step's notes, scheduled in the tracker at times counted from the
    // block start; stepOffset is the step's sample offset in the block.
    void GenerateStepNotes(int stepOffset, const StrikeRecord strikes[Wall_NumWalls], const StepNoteInputs& inputs,
                           PseudoRandom* pRandom, NoteTracker* pTracker);

    Scale mScales[NUM_SLOTS];
    int mLowestNote;
    int mHighestNote;
    double mNoteProb;  // NoteProb
    double mTilt;      // Tilt
    double mNoteProbability[NUM_NOTES];
    int mVelocity;       // Velocity
    int mVelJitter;      // VelJitt
    int mChannel;        // Channel, 0..15
    double mRepeatProb;  // RepeatProb

private:
    // Until its binding parameter is first applied a wall plays a default
    // scale of its own (mWallSlot -1), not one of the slots.
    Scale mUnboundScales[Wall_NumWalls];
    int mWallSlot[Wall_NumWalls];
    CountedItemSet<NUM_KEYS> mStepNoteSet;
};
