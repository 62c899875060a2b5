// The note-ons and note-offs still to come, in time order, and the notes
// sounding at the host. Note generation schedules events that may lie beyond
// the current block; at the end of every block the due ones become MIDI
// messages with their sample offsets.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/plugin/IMidiMessage.h"

enum NoteRecordType { NoteRecordType_NoteOff = 0, NoteRecordType_NoteOn = 1 };

struct NoteRecord {
    NoteRecord* mpNext;
    NoteRecord* mpPrevious;
    int32_t mType;      // NoteRecordType
    int32_t mChannel;   // 0..15
    int32_t mNote;      // 0..127
    int32_t mVelocity;  // 1..127 for a note-on, 0 for a note-off
    int32_t mDuration;  // as passed to NoteOn; 0 for a note-off
    int32_t mDelta;     // samples after the previous pending record (the first: after the block start)

    bool isNoteOn() const { return mType == NoteRecordType_NoteOn; }
    bool isNoteOff() const { return mType == NoteRecordType_NoteOff; }
};

class NoteTracker {
public:
    static constexpr int NUM_NOTES = 128;
    static constexpr int NUM_CHANNELS = 16;
    // The latest sample, counted from the current block start, that a caller
    // may ask for (about three hours at 96 kHz). The headroom above it keeps
    // the running sums of the pending list, which ties push one sample
    // further per record, inside int.
    static constexpr int MAX_EVENT_TIME = 1 << 30;

    NoteTracker();
    ~NoteTracker();
    NoteTracker(const NoteTracker&) = delete;
    NoteTracker& operator=(const NoteTracker&) = delete;

    // Both return false when no record could be obtained; the event is then
    // dropped and nothing is linked.
    bool NoteOn(int onset, int note, int channel, int velocity, int duration);
    bool NoteOff(int time, int note, int channel);
    // A whole note: its note-on at onset and its note-off duration samples
    // later, or nothing at all when memory runs out (a lone note-on would
    // hang at the synthesiser, a lone note-off would cut a sounding note of
    // the same pitch short).
    bool Note(int onset, int note, int channel, int velocity, int duration);

    // Drops the note-ons not yet emitted and moves every pending note-off to
    // the start of the block, one per sample: transport stop, start or jump.
    void ReleasePending();
    // Appends the events falling inside a block of blockLength samples to
    // pQueue and moves the rest one block closer.
    void EmitDue(int blockLength, std::vector<IMidiMessage>* pQueue);
    // Control change 123 received on channel at offset: the channel's pending
    // note-ons vanish and its note-offs move to the front.
    void AllNotesOff(int channel, int offset);

    int PendingCount() const;
    int PoolCount() const;
    bool IsHeld(int note, int channel) const;

private:
    NoteRecord* TakeRecord();
    // Makes sure the pool holds at least count records; false when memory
    // ran out.
    bool ReserveRecords(int count);
    void Insert(NoteRecord* pRecord);
    void Reschedule(NoteRecord* pRecord, int time);
    void Discard(NoteRecord* pRecord);
    // Takes the record out of the pending list; with carryDelta its delta
    // passes to its successor so that later records keep their times.
    void Unlink(NoteRecord* pRecord, bool carryDelta);
    void AppendToPool(NoteRecord* pRecord);
    static void FreeList(NoteRecord* pFirst);

    NoteRecord* mpPendingFirst;
    NoteRecord* mpPendingLast;
    NoteRecord* mpPoolFirst;
    NoteRecord* mpPoolLast;
    uint32_t mHeldNotes[NUM_NOTES];  // bit c: note sounding at the host on channel c
};
