// The note-ons and note-offs still to come, in time order, and the notes
// sounding at the host. Note generation schedules events that may lie beyond
// the current block; at the end of every block the due ones become MIDI
// messages with their sample offsets.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "SnapshotReader.h"
#include "SnapshotWriter.h"
#include "framework/plugin/IMidiMessage.h"

enum NoteRecordType {
    NoteRecordType_NoteOff = 0,
    NoteRecordType_NoteOn = 1
};

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
    // The pool starts with room for more events than the heaviest scene
    // keeps pending, so that the audio thread normally never allocates; it
    // still grows when a scene needs more.
    static constexpr int INITIAL_RECORDS = 256;

    explicit NoteTracker(int initialRecords = INITIAL_RECORDS);
    ~NoteTracker();
    NoteTracker(const NoteTracker&) = delete;
    NoteTracker& operator=(const NoteTracker&) = delete;

    // A note of one pitch and channel never overlaps another of the same
    // pitch and channel, whether the other's note-on has been sent yet or
    // not: a note that would still sound at a new note's onset ends on the
    // sample before it. No event moves before stepTime, the sample of the
    // step that schedules the note (counted from the block start): samples
    // before it may already have gone out in an earlier block, and nothing
    // may depend on where blocks end. When the new note-on falls on
    // stepTime, the earlier note therefore ends on that sample and the new
    // note-on goes to the next free one. When the sample before the onset is
    // taken by another event, the earlier note ends on the first free sample
    // after it, and the new note-on follows on the next free one.
    //
    // A whole note: its note-on at onset and its note-off duration samples
    // later, or nothing at all when memory runs out (false). A note whose
    // end would reach a later note-on of its pitch and channel already
    // scheduled ends on the last free sample before it. When no sample is
    // left between the two note-ons (the same pitch already starts on the
    // onset or right after it), the new note is left out and the earlier
    // one keeps its end; that is not a failure. A released note-off of a
    // note that never started (a stop or jump dropped its note-on) is no
    // later note: the new note starts after it.
    bool Note(int onset, int note, int channel, int velocity, int duration, int stepTime = 0);
    // The two halves on their own (false when no record could be obtained;
    // the event is then dropped and nothing is linked). NoteOn ends a note of
    // its pitch and channel that sounds at onset as Note does (from sample
    // 0), but does not look at later notes; NoteOff is placed as asked.
    bool NoteOn(int onset, int note, int channel, int velocity, int duration);
    bool NoteOff(int time, int note, int channel);

    // Drops the note-ons not yet emitted and moves every pending note-off to
    // the start of the block, one per sample: transport stop, start or jump.
    void ReleasePending();
    // Appends the events falling inside a block of blockLength samples to
    // pQueue and moves the rest one block closer.
    void EmitDue(int blockLength, std::vector<IMidiMessage>* pQueue);
    // Control change 123 received on channel at offset: the channel's pending
    // note-ons vanish and its note-offs move to the front.
    void AllNotesOff(int channel, int offset);

    // The timeline lock's silent replay. The events before length pass
    // without a message, as if a block of that length had been played
    // nowhere; a note-on makes its key sound silently, so that the note's
    // note-off, should it fall due in a played block, is not sent either.
    // Such notes take their samples and cut later notes of their pitch
    // exactly as sounding ones do.
    void EmitSilently(int length);
    // Every pending event that many samples later (the block starts before
    // the replay's last step).
    void Postpone(int samples);
    // A re-anchor of the timeline lock: a note-off at offset 0 for every
    // note sounding at the host, and no event left pending; the replay then
    // schedules what is to come.
    void ReleaseSounding(std::vector<IMidiMessage>* pQueue);
    // The pending events from offset on, counted from offset, and the keys
    // sounding there (sent or silent): what a checkpoint keeps of the
    // tracker. False when it did not fit.
    bool WriteSnapshot(int offset, SnapshotWriter* pWriter) const;
    // Replaces the pending events by a snapshot's (the block starts at its
    // offset) and lets its sounding keys sound silently. False for a damaged
    // snapshot, which leaves nothing pending, or when no record could be
    // had.
    bool ReadSnapshot(SnapshotReader* pReader);

    int PendingCount() const;
    int PoolCount() const;
    bool IsHeld(int note, int channel) const;

private:
    // What a walk found about one pitch and channel around a new onset.
    struct KeyScan {
        NoteRecord* mpBefore = nullptr;  // last record before onset - 1 (null: the block start)
        int mBeforeTime = 0;
        NoteRecord* mpCut = nullptr;  // the note-off of the note sounding at onset, if any
        int mCutFrom = 0;             // where that note-off was
        int mCutTo = 0;               // where it went
        int mLimit = 0;               // time of the key's next note-on after onset (INT_MAX: none)
        int mAfter = -1;              // latest released note-off of the key before that note-on (-1: none)
    };

    NoteRecord* TakeRecord();
    // Makes sure the pool holds at least count records; false when memory
    // ran out.
    bool ReserveRecords(int count);
    void Insert(NoteRecord* pRecord);
    // Links the record on the first free sample at or after time, walking
    // on from pPrevious, a linked record at previousTime <= time (null: from
    // the block start, previousTime 0). Returns the sample it took.
    int InsertAfter(NoteRecord* pRecord, int time, NoteRecord* pPrevious, int previousTime);
    // The latest sample before limit that no record holds, searched down to
    // fromTime, where the linked record pFrom lies; fromTime or less when
    // every sample between them is taken.
    int LastFreeBefore(int limit, const NoteRecord* pFrom, int fromTime) const;
    // Finds the key's events around onset and moves the note-off of a note
    // that sounds at onset to the sample before it (not before stepTime).
    void CutSoundingNote(int onset, int note, int channel, int stepTime, KeyScan* pScan);
    // Puts a cut note-off back where it was (the new note was left out).
    void UndoCut(const KeyScan& scan);
    void Reschedule(NoteRecord* pRecord, int time);
    void Discard(NoteRecord* pRecord);
    // Takes the record out of the pending list; with carryDelta its delta
    // passes to its successor so that later records keep their times.
    void Unlink(NoteRecord* pRecord, bool carryDelta);
    void AppendToPool(NoteRecord* pRecord);
    // Every pending record back to the pool.
    void DropPending();
    // Deletes the records that were allocated one by one; those of the
    // initial block go with it.
    void FreeList(NoteRecord* pFirst) const;
    static int KeyIndex(int note, int channel) { return note * NUM_CHANNELS + channel; }

    // The initial pool, one allocation (an instance creates it whole).
    std::unique_ptr<NoteRecord[]> mpInitialRecords;
    int mInitialRecordCount;
    NoteRecord* mpPendingFirst;
    NoteRecord* mpPendingLast;
    NoteRecord* mpPoolFirst;
    NoteRecord* mpPoolLast;
    uint32_t mHeldNotes[NUM_NOTES];  // bit c: note sounding at the host on channel c
    // Bit c: a note of the silent replay sounding nowhere on channel c; its
    // note-off is not sent.
    uint32_t mSilentNotes[NUM_NOTES];
    // Pending records per pitch and channel: a walk for one key stops once
    // it has met them all.
    int32_t mPendingPerKey[NUM_NOTES * NUM_CHANNELS];
};
