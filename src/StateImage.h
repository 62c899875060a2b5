// The processor's part of a state chunk, read and checked as a whole before
// any of it is applied, so that a load is all or nothing: a chunk that is
// cut short or holds a count the model cannot take leaves the instance as
// it was.
#pragma once

#include <cstdint>

#include "Matrix.h"
#include "PseudoRandom.h"
#include "Scale.h"
#include "SequencerState.h"
#include "TarvoParams.h"

class StateChunk;

struct StateImage {
    static constexpr int SCALE_NAME_SIZE = 257;  // up to 256 characters and the terminator

    PseudoRandom mRandom;
    Scale mScales[NUM_SCALE_SLOTS];
    char mScaleName[SCALE_NAME_SIZE];
    Matrix mGrid;
    bool mPatternFlags[NUM_PATTERN_SLOTS];  // the occupied flags the chunk holds
    Matrix mPatterns[NUM_PATTERN_SLOTS];
    SequencerState mSequencer;
    double mParamValues[EParam_NumVisible];

    // Reads everything before the parameter values, in the order SaveState
    // writes it, into the members, which hold the instance's own values
    // beforehand (fields a record does not carry, such as the sequencer's
    // current step, keep them). Out-of-range fields are repaired as each
    // record's load does. Returns the position after the sequencer record,
    // or -1 when the chunk cannot be read that far.
    int Read(const StateChunk* pChunk, int position);
    // Appends everything Read reads, then the parameter values; true when
    // every put succeeded.
    bool Write(StateChunk* pChunk) const;
};

// What follows the state of a project saved with the timeline lock on: a
// tag, a version and the lock's flag, int32 each. Older builds stop reading
// before it, so they open such a project at the song's start; a chunk
// without it has the lock off.
struct TimelineLockRecord {
    static constexpr int32_t TAG = 0x6B636C54;  // "Tlck" in the chunk's byte order
    static constexpr int32_t VERSION = 1;
    static constexpr int SIZE = 12;

    static bool Write(StateChunk* pChunk, bool locked);
    // Reads the record at position if the tag stands there. Returns the
    // position after it (*pLocked its flag), position itself when there is
    // no record (*pLocked false), or -1 for a record cut short.
    static int Read(const StateChunk* pChunk, int position, bool* pLocked);
};
