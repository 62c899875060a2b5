#include "NoteTracker.h"

#include <algorithm>
#include <cassert>
#include <new>

namespace {

const int STATUS_NOTE_OFF = 0x80;
const int STATUS_NOTE_ON = 0x90;

bool SameKey(const NoteRecord* pRecord, int note, int channel)
{
    return pRecord->mNote == note && pRecord->mChannel == channel;
}

}  // namespace

NoteTracker::NoteTracker()
    : mpPendingFirst(nullptr), mpPendingLast(nullptr), mpPoolFirst(nullptr), mpPoolLast(nullptr)
{
    std::fill(mHeldNotes, mHeldNotes + NUM_NOTES, 0u);
}

NoteTracker::~NoteTracker()
{
    FreeList(mpPendingFirst);
    FreeList(mpPoolFirst);
}

void NoteTracker::FreeList(NoteRecord* pFirst)
{
    while (pFirst) {
        NoteRecord* pNext = pFirst->mpNext;
        delete pFirst;
        pFirst = pNext;
    }
}

NoteRecord* NoteTracker::TakeRecord()
{
    NoteRecord* pRecord = mpPoolFirst;
    if (pRecord) {
        mpPoolFirst = pRecord->mpNext;
        if (mpPoolFirst)
            mpPoolFirst->mpPrevious = nullptr;
        else
            mpPoolLast = nullptr;
    } else {
        // The pool grows to the largest number of events ever pending at
        // once; after that the audio thread no longer allocates.
        pRecord = new (std::nothrow) NoteRecord;
        if (!pRecord) return nullptr;
    }
    *pRecord = NoteRecord();
    return pRecord;
}

bool NoteTracker::ReserveRecords(int count)
{
    int pooled = 0;
    for (const NoteRecord* pAt = mpPoolFirst; pAt && pooled < count; pAt = pAt->mpNext) ++pooled;
    for (; pooled < count; ++pooled) {
        NoteRecord* pRecord = new (std::nothrow) NoteRecord;
        if (!pRecord) return false;
        AppendToPool(pRecord);
    }
    return true;
}

bool NoteTracker::Note(int onset, int note, int channel, int velocity, int duration)
{
    if (!ReserveRecords(2)) return false;
    NoteOn(onset, note, channel, velocity, duration);
    NoteOff(onset + duration, note, channel);
    return true;
}

void NoteTracker::AppendToPool(NoteRecord* pRecord)
{
    pRecord->mpNext = nullptr;
    pRecord->mpPrevious = mpPoolLast;
    if (mpPoolLast)
        mpPoolLast->mpNext = pRecord;
    else
        mpPoolFirst = pRecord;
    mpPoolLast = pRecord;
}

void NoteTracker::Unlink(NoteRecord* pRecord, bool carryDelta)
{
    NoteRecord* pNext = pRecord->mpNext;
    NoteRecord* pPrevious = pRecord->mpPrevious;
    if (pNext) {
        if (carryDelta) pNext->mDelta += pRecord->mDelta;
        pNext->mpPrevious = pPrevious;
    } else {
        mpPendingLast = pPrevious;
    }
    if (pPrevious)
        pPrevious->mpNext = pNext;
    else
        mpPendingFirst = pNext;
    pRecord->mpNext = nullptr;
    pRecord->mpPrevious = nullptr;
}

void NoteTracker::Insert(NoteRecord* pRecord)
{
    int time = pRecord->mDelta;
    for (NoteRecord* pAt = mpPendingFirst; pAt; pAt = pAt->mpNext) {
        if (pAt->mDelta > time) {
            pRecord->mDelta = time;
            pAt->mDelta -= time;
            pRecord->mpNext = pAt;
            pRecord->mpPrevious = pAt->mpPrevious;
            if (pAt->mpPrevious)
                pAt->mpPrevious->mpNext = pRecord;
            else
                mpPendingFirst = pRecord;
            pAt->mpPrevious = pRecord;
            return;
        }
        time -= pAt->mDelta;
        // No two pending events share a sample: a taken sample sends the
        // newcomer to the first free one after it.
        if (time == 0) time = 1;
    }
    pRecord->mDelta = time;
    pRecord->mpNext = nullptr;
    pRecord->mpPrevious = mpPendingLast;
    if (mpPendingLast)
        mpPendingLast->mpNext = pRecord;
    else
        mpPendingFirst = pRecord;
    mpPendingLast = pRecord;
}

void NoteTracker::Reschedule(NoteRecord* pRecord, int time)
{
    Unlink(pRecord, true);
    pRecord->mDelta = time;
    Insert(pRecord);
}

void NoteTracker::Discard(NoteRecord* pRecord)
{
    Unlink(pRecord, true);
    AppendToPool(pRecord);
}

bool NoteTracker::NoteOn(int onset, int note, int channel, int velocity, int duration)
{
    assert(channel >= 0 && channel <= 15);
    assert(note >= 0 && note < NUM_NOTES);
    assert(onset >= 0 && onset <= MAX_EVENT_TIME);
    NoteRecord* pRecord = TakeRecord();
    if (!pRecord) return false;
    pRecord->mType = NoteRecordType_NoteOn;
    pRecord->mChannel = channel;
    pRecord->mNote = note;
    pRecord->mVelocity = velocity;
    pRecord->mDuration = duration;

    if (mHeldNotes[note] & (1u << channel)) {
        // The host would otherwise see two overlapping notes of one pitch on
        // one channel: end the sounding one a sample before the new one. A
        // note-off that follows a still pending note-on later than onset
        // belongs to that later note and stays.
        int time = 0;
        int lastOn = 0;
        for (NoteRecord* pAt = mpPendingFirst; pAt; pAt = pAt->mpNext) {
            time += pAt->mDelta;
            if (!SameKey(pAt, note, channel)) continue;
            if (pAt->isNoteOn()) {
                lastOn = time;
            } else if (lastOn <= onset && onset <= time) {
                Reschedule(pAt, onset > 0 ? onset - 1 : 0);
                break;
            }
        }
    }
    pRecord->mDelta = onset;
    Insert(pRecord);
    return true;
}

bool NoteTracker::NoteOff(int time, int note, int channel)
{
    assert(channel >= 0 && channel <= 15);
    assert(note >= 0 && note < NUM_NOTES);
    assert(time >= 0 && time <= MAX_EVENT_TIME);
    NoteRecord* pRecord = TakeRecord();
    if (!pRecord) return false;
    pRecord->mType = NoteRecordType_NoteOff;
    pRecord->mChannel = channel;
    pRecord->mNote = note;
    pRecord->mDelta = time;
    Insert(pRecord);
    return true;
}

void NoteTracker::ReleasePending()
{
    int nextDelta = 0;
    NoteRecord* pAt = mpPendingFirst;
    while (pAt) {
        NoteRecord* pNext = pAt->mpNext;
        assert(pAt->isNoteOn() || pAt->isNoteOff());
        if (pAt->isNoteOn()) {
            Discard(pAt);
        } else {
            pAt->mDelta = nextDelta;
            nextDelta = 1;
        }
        pAt = pNext;
    }
}

void NoteTracker::EmitDue(int blockLength, std::vector<IMidiMessage>* pQueue)
{
    // A zero or negative block (a misbehaving host) emits nothing and moves
    // nothing.
    if (blockLength <= 0) return;
    int remaining = blockLength;
    int offset = 0;
    while (mpPendingFirst) {
        NoteRecord* pRecord = mpPendingFirst;
        if (pRecord->mDelta >= remaining) {
            pRecord->mDelta -= remaining;
            break;
        }
        offset += pRecord->mDelta;
        remaining -= pRecord->mDelta;
        assert(pRecord->isNoteOn() || pRecord->isNoteOff());
        const uint32_t channelBit = 1u << pRecord->mChannel;
        if (pRecord->isNoteOn()) {
            pQueue->push_back(IMidiMessage(offset, static_cast<uint8_t>(STATUS_NOTE_ON + pRecord->mChannel),
                                           static_cast<uint8_t>(pRecord->mNote),
                                           static_cast<uint8_t>(pRecord->mVelocity)));
            mHeldNotes[pRecord->mNote] |= channelBit;
        } else {
            pQueue->push_back(IMidiMessage(offset, static_cast<uint8_t>(STATUS_NOTE_OFF + pRecord->mChannel),
                                           static_cast<uint8_t>(pRecord->mNote), 0));
            mHeldNotes[pRecord->mNote] &= ~channelBit;
        }
        // The delta is not carried on: the successor's delta already counts
        // from this record's time, which is where the walk now stands.
        Unlink(pRecord, false);
        AppendToPool(pRecord);
    }
}

void NoteTracker::AllNotesOff(int channel, int offset)
{
    assert(channel >= 0 && channel <= 15);
    // The offset comes from the host's event; keep it inside the block range
    // the list can represent.
    int time = std::min(MAX_EVENT_TIME, std::max(0, offset));
    NoteRecord* pAt = mpPendingFirst;
    while (pAt) {
        NoteRecord* pNext = pAt->mpNext;
        if (pAt->mChannel == channel) {
            if (pAt->isNoteOn()) {
                Discard(pAt);
            } else {
                Reschedule(pAt, time);
                time = 0;
            }
        }
        pAt = pNext;
    }
}

int NoteTracker::PendingCount() const
{
    int count = 0;
    for (const NoteRecord* pAt = mpPendingFirst; pAt; pAt = pAt->mpNext) ++count;
    return count;
}

int NoteTracker::PoolCount() const
{
    int count = 0;
    for (const NoteRecord* pAt = mpPoolFirst; pAt; pAt = pAt->mpNext) ++count;
    return count;
}

bool NoteTracker::IsHeld(int note, int channel) const
{
    if (note < 0 || note >= NUM_NOTES || channel < 0 || channel >= NUM_CHANNELS) return false;
    return (mHeldNotes[note] >> channel) & 1u;
}
