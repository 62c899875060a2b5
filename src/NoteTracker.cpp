#include "NoteTracker.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <functional>
#include <new>

namespace {

const int STATUS_NOTE_OFF = 0x80;
const int STATUS_NOTE_ON = 0x90;

bool SameKey(const NoteRecord* pRecord, int note, int channel)
{
    return pRecord->mNote == note && pRecord->mChannel == channel;
}

}  // namespace

NoteTracker::NoteTracker(int initialRecords)
    : mInitialRecordCount(0), mpPendingFirst(nullptr), mpPendingLast(nullptr), mpPoolFirst(nullptr), mpPoolLast(nullptr)
{
    std::fill(mHeldNotes, mHeldNotes + NUM_NOTES, 0u);
    std::fill(mSilentNotes, mSilentNotes + NUM_NOTES, 0u);
    std::fill(mPendingPerKey, mPendingPerKey + NUM_NOTES * NUM_CHANNELS, 0);
    if (initialRecords > 0) mpInitialRecords.reset(new (std::nothrow) NoteRecord[initialRecords]);
    if (mpInitialRecords) {
        mInitialRecordCount = initialRecords;
        for (int i = 0; i < initialRecords; ++i) AppendToPool(&mpInitialRecords[i]);
    }
    // One by one only when the block could not be had.
    ReserveRecords(initialRecords);
}

NoteTracker::~NoteTracker()
{
    FreeList(mpPendingFirst);
    FreeList(mpPoolFirst);
}

void NoteTracker::FreeList(NoteRecord* pFirst) const
{
    const NoteRecord* pBlockBegin = mpInitialRecords.get();
    const NoteRecord* pBlockEnd = pBlockBegin + mInitialRecordCount;
    const std::less<const NoteRecord*> before;
    while (pFirst) {
        NoteRecord* pNext = pFirst->mpNext;
        if (before(pFirst, pBlockBegin) || !before(pFirst, pBlockEnd)) delete pFirst;
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
    --mPendingPerKey[KeyIndex(pRecord->mNote, pRecord->mChannel)];
}

void NoteTracker::Insert(NoteRecord* pRecord) { InsertAfter(pRecord, pRecord->mDelta, nullptr, 0); }

int NoteTracker::InsertAfter(NoteRecord* pRecord, int time, NoteRecord* pPrevious, int previousTime)
{
    assert(time >= previousTime);
    int relative = time - previousTime;
    // No two pending events share a sample: a taken sample sends the
    // newcomer to the first free one after it.
    if (pPrevious && relative == 0) relative = 1;
    int placed = previousTime;
    NoteRecord* pAt = pPrevious ? pPrevious->mpNext : mpPendingFirst;
    while (pAt && pAt->mDelta <= relative) {
        relative -= pAt->mDelta;
        placed += pAt->mDelta;
        if (relative == 0) relative = 1;
        pPrevious = pAt;
        pAt = pAt->mpNext;
    }
    pRecord->mDelta = relative;
    pRecord->mpPrevious = pPrevious;
    pRecord->mpNext = pAt;
    if (pAt) {
        pAt->mDelta -= relative;
        pAt->mpPrevious = pRecord;
    } else {
        mpPendingLast = pRecord;
    }
    if (pPrevious)
        pPrevious->mpNext = pRecord;
    else
        mpPendingFirst = pRecord;
    ++mPendingPerKey[KeyIndex(pRecord->mNote, pRecord->mChannel)];
    return placed + relative;
}

int NoteTracker::LastFreeBefore(int limit, const NoteRecord* pFrom, int fromTime) const
{
    // The run of taken samples that ends at limit - 1, if there is one.
    int runStart = fromTime;
    int runEnd = fromTime;
    int time = fromTime;
    for (const NoteRecord* pAt = pFrom->mpNext; pAt; pAt = pAt->mpNext) {
        time += pAt->mDelta;
        if (time >= limit) break;
        if (time == runEnd + 1) {
            runEnd = time;
        } else {
            runStart = time;
            runEnd = time;
        }
    }
    return runEnd == limit - 1 ? runStart - 1 : limit - 1;
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

void NoteTracker::CutSoundingNote(int onset, int note, int channel, int stepTime, KeyScan* pScan)
{
    *pScan = KeyScan();
    pScan->mLimit = INT_MAX;
    int remaining = mPendingPerKey[KeyIndex(note, channel)];
    if (remaining == 0) {
        // Nothing of this key is pending; insertions start from the front.
        return;
    }
    // One walk finds the key's first event at or after the onset, the key's
    // latest note-on before it, and the key's next event after it.
    int lastOn = INT_MIN;
    NoteRecord* pFound = nullptr;
    int time = 0;
    NoteRecord* pAt = mpPendingFirst;
    for (; pAt; pAt = pAt->mpNext) {
        time += pAt->mDelta;
        if (SameKey(pAt, note, channel)) {
            --remaining;
            if (time >= onset) {
                pFound = pAt;
                break;
            }
            if (pAt->isNoteOn()) lastOn = time;
        }
        if (time < onset - 1) {
            pScan->mpBefore = pAt;
            pScan->mBeforeTime = time;
        }
        if (remaining == 0) return;
    }
    if (!pFound) return;
    if (pFound->isNoteOn()) {
        // No note of this key sounds at the onset; a later one starts here.
        pScan->mLimit = time;
        return;
    }
    // pFound ends a note that still sounds at the onset (its note-on may
    // have been sent or not): its note-off moves to the sample before the
    // onset, but never before that note-on nor before the step. Note-offs of
    // the key that follow it belong to notes whose note-ons a stop or jump
    // released before they started: they end no later note, but the new
    // note must not start before them, or they would cut it.
    const int foundTime = time;
    for (pAt = pFound->mpNext; pAt && remaining > 0; pAt = pAt->mpNext) {
        time += pAt->mDelta;
        if (!SameKey(pAt, note, channel)) continue;
        --remaining;
        if (pAt->isNoteOn()) {
            pScan->mLimit = time;
            break;
        }
        pScan->mAfter = time;
    }
    int target = std::max(onset - 1, stepTime);
    if (lastOn != INT_MIN) target = std::max(target, lastOn + 1);
    pScan->mpCut = pFound;
    pScan->mCutFrom = foundTime;
    pScan->mCutTo = foundTime;
    if (target < foundTime) {
        Unlink(pFound, true);
        pScan->mCutTo = InsertAfter(pFound, target, pScan->mpBefore, pScan->mBeforeTime);
    }
}

void NoteTracker::UndoCut(const KeyScan& scan)
{
    if (!scan.mpCut || scan.mCutTo == scan.mCutFrom) return;
    // The sample it came from is still free: only the note just left out
    // was placed since.
    Unlink(scan.mpCut, true);
    InsertAfter(scan.mpCut, scan.mCutFrom, scan.mpBefore, scan.mBeforeTime);
}

bool NoteTracker::Note(int onset, int note, int channel, int velocity, int duration, int stepTime)
{
    assert(channel >= 0 && channel <= 15);
    assert(note >= 0 && note < NUM_NOTES);
    assert(onset >= 0 && onset <= MAX_EVENT_TIME);
    assert(duration >= 0 && onset + duration <= MAX_EVENT_TIME);
    // Both records first: a lone note-on would hang at the synthesiser, a
    // lone note-off would cut a sounding note of the same pitch short.
    if (!ReserveRecords(2)) return false;
    stepTime = std::min(onset, std::max(0, stepTime));

    KeyScan scan;
    CutSoundingNote(onset, note, channel, stepTime, &scan);
    // The same note already starts on this very sample: one note sounds.
    if (scan.mLimit <= onset) return true;

    NoteRecord* pOn = TakeRecord();
    pOn->mType = NoteRecordType_NoteOn;
    pOn->mChannel = channel;
    pOn->mNote = note;
    pOn->mVelocity = velocity;
    pOn->mDuration = duration;
    int onTime;
    if (scan.mpCut) {
        onTime = InsertAfter(pOn, std::max({onset, scan.mCutTo + 1, scan.mAfter + 1}), scan.mpCut, scan.mCutTo);
    } else {
        onTime = InsertAfter(pOn, onset, scan.mpBefore, scan.mBeforeTime);
    }

    NoteRecord* pOff = TakeRecord();
    pOff->mType = NoteRecordType_NoteOff;
    pOff->mChannel = channel;
    pOff->mNote = note;
    if (onTime < scan.mLimit) {
        const int end = std::max(onset + duration, onTime + 1);
        if (end < scan.mLimit) {
            if (InsertAfter(pOff, end, pOn, onTime) < scan.mLimit) return true;
            Unlink(pOff, true);
        }
        // The note would reach the key's next note-on: it ends on the last
        // free sample before it.
        const int latest = LastFreeBefore(scan.mLimit, pOn, onTime);
        if (latest > onTime) {
            InsertAfter(pOff, latest, pOn, onTime);
            return true;
        }
    }
    // No sample is left between the earlier note's end (or the onset) and
    // the key's next note-on: the new note is left out.
    AppendToPool(pOff);
    Discard(pOn);
    UndoCut(scan);
    return true;
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
    KeyScan scan;
    CutSoundingNote(onset, note, channel, 0, &scan);
    if (scan.mpCut) {
        InsertAfter(pRecord, std::max({onset, scan.mCutTo + 1, scan.mAfter + 1}), scan.mpCut, scan.mCutTo);
    } else {
        InsertAfter(pRecord, onset, scan.mpBefore, scan.mBeforeTime);
    }
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
            mSilentNotes[pRecord->mNote] &= ~channelBit;
        } else if ((mSilentNotes[pRecord->mNote] & channelBit) && !(mHeldNotes[pRecord->mNote] & channelBit)) {
            // The end of a note that began in a silent replay: it never
            // sounded, so it is not ended either.
            mSilentNotes[pRecord->mNote] &= ~channelBit;
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

void NoteTracker::EmitSilently(int length)
{
    int remaining = length;
    while (mpPendingFirst && remaining > 0) {
        NoteRecord* pRecord = mpPendingFirst;
        if (pRecord->mDelta >= remaining) {
            pRecord->mDelta -= remaining;
            break;
        }
        remaining -= pRecord->mDelta;
        const uint32_t channelBit = 1u << pRecord->mChannel;
        if (pRecord->isNoteOn()) {
            mSilentNotes[pRecord->mNote] |= channelBit;
        } else {
            mSilentNotes[pRecord->mNote] &= ~channelBit;
        }
        Unlink(pRecord, false);
        AppendToPool(pRecord);
    }
}

void NoteTracker::Postpone(int samples)
{
    if (mpPendingFirst && samples > 0) mpPendingFirst->mDelta += samples;
}

void NoteTracker::DropPending()
{
    while (mpPendingFirst) {
        NoteRecord* pRecord = mpPendingFirst;
        Unlink(pRecord, false);
        AppendToPool(pRecord);
    }
}

void NoteTracker::ReleaseSounding(std::vector<IMidiMessage>* pQueue)
{
    // In the order their note-offs were due, then any sounding note whose
    // note-off is no longer pending.
    for (const NoteRecord* pAt = mpPendingFirst; pAt; pAt = pAt->mpNext) {
        const uint32_t channelBit = 1u << pAt->mChannel;
        if (!pAt->isNoteOff() || !(mHeldNotes[pAt->mNote] & channelBit)) continue;
        pQueue->push_back(IMidiMessage(0, static_cast<uint8_t>(STATUS_NOTE_OFF + pAt->mChannel),
                                       static_cast<uint8_t>(pAt->mNote), 0));
        mHeldNotes[pAt->mNote] &= ~channelBit;
    }
    for (int note = 0; note < NUM_NOTES; ++note) {
        for (int channel = 0; mHeldNotes[note] != 0 && channel < NUM_CHANNELS; ++channel) {
            if (!(mHeldNotes[note] & (1u << channel))) continue;
            pQueue->push_back(
                IMidiMessage(0, static_cast<uint8_t>(STATUS_NOTE_OFF + channel), static_cast<uint8_t>(note), 0));
            mHeldNotes[note] &= ~(1u << channel);
        }
    }
    DropPending();
    std::fill(mSilentNotes, mSilentNotes + NUM_NOTES, 0u);
}

bool NoteTracker::WriteSnapshot(int offset, SnapshotWriter* pWriter) const
{
    // The keys sounding at offset: those sounding now, changed by the events
    // before offset, which a replay would already have passed.
    uint32_t sounding[NUM_NOTES];
    for (int note = 0; note < NUM_NOTES; ++note) sounding[note] = mHeldNotes[note] | mSilentNotes[note];
    int time = 0;
    int later = 0;
    for (const NoteRecord* pAt = mpPendingFirst; pAt; pAt = pAt->mpNext) {
        time += pAt->mDelta;
        if (time >= offset) {
            ++later;
            continue;
        }
        const uint32_t channelBit = 1u << pAt->mChannel;
        if (pAt->isNoteOn()) {
            sounding[pAt->mNote] |= channelBit;
        } else {
            sounding[pAt->mNote] &= ~channelBit;
        }
    }
    int keys = 0;
    for (uint32_t bits : sounding) {
        for (; bits != 0; bits &= bits - 1) ++keys;
    }
    pWriter->U16(keys);
    for (int note = 0; note < NUM_NOTES; ++note) {
        for (int channel = 0; channel < NUM_CHANNELS; ++channel) {
            if (sounding[note] & (1u << channel)) pWriter->U16(KeyIndex(note, channel));
        }
    }
    pWriter->U16(later);
    time = 0;
    for (const NoteRecord* pAt = mpPendingFirst; pAt; pAt = pAt->mpNext) {
        time += pAt->mDelta;
        if (time < offset) continue;
        pWriter->U32(static_cast<uint32_t>(time - offset));
        pWriter->U8(pAt->mType);
        pWriter->U8(pAt->mChannel);
        pWriter->U8(pAt->mNote);
        pWriter->U8(pAt->mVelocity);
    }
    return pWriter->Ok();
}

bool NoteTracker::ReadSnapshot(SnapshotReader* pReader)
{
    DropPending();
    std::fill(mSilentNotes, mSilentNotes + NUM_NOTES, 0u);
    const int keys = pReader->U16();
    for (int i = 0; i < keys && pReader->Ok(); ++i) {
        const int key = pReader->U16() % (NUM_NOTES * NUM_CHANNELS);
        mSilentNotes[key / NUM_CHANNELS] |= 1u << (key % NUM_CHANNELS);
    }
    const int events = pReader->U16();
    int lastTime = 0;
    NoteRecord* pLast = nullptr;
    for (int i = 0; i < events; ++i) {
        const uint32_t time = pReader->U32();
        const int type = pReader->U8();
        const int channel = pReader->U8();
        const int note = pReader->U8();
        const int velocity = pReader->U8();
        // A snapshot is the tracker's own, in time order with one event per
        // sample; anything else is damage.
        bool valid = pReader->Ok() && time <= uint32_t(MAX_EVENT_TIME) && (pLast == nullptr || int(time) > lastTime) &&
                     (type == NoteRecordType_NoteOn || type == NoteRecordType_NoteOff) && channel < NUM_CHANNELS &&
                     note < NUM_NOTES;
        NoteRecord* pRecord = valid ? TakeRecord() : nullptr;
        if (!pRecord) {
            DropPending();
            return false;
        }
        pRecord->mType = type;
        pRecord->mChannel = channel;
        pRecord->mNote = note;
        pRecord->mVelocity = velocity;
        lastTime = InsertAfter(pRecord, int(time), pLast, pLast ? lastTime : 0);
        pLast = pRecord;
    }
    return pReader->Ok();
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
