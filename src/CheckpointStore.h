// Checkpoints of the moving world, kept while the timeline lock computes
// steps, so that a locate starts its silent replay from the checkpoint at
// or before the position instead of from the start of the song.
//
// Entry i holds the record of step i x spacing; entry 0 is the start scene
// itself and holds nothing. Entries are added in step order only (the next
// one is always NextIndex()), so a lookup is an index, not a search. The
// memory is reserved once, outside the audio thread, and cut into small
// slots; a record takes a chain of them. When the slots run out, every
// other entry is dropped and the spacing doubles: the work is one pass over
// the entries, never a move of the records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class CheckpointStore {
public:
    static constexpr int SLOT_BYTES = 128;
    // A record larger than this is not kept (its entry stays empty).
    static constexpr int MAX_RECORD_BYTES = 32768;

    explicit CheckpointStore(int initialSpacing);

    // Reserves the memory for the records; not on the audio thread. False
    // when it could not be had: the store then keeps nothing.
    bool Reserve(size_t bytes);
    bool HasMemory() const { return mSlotCount > 0; }
    size_t ReservedBytes() const;
    size_t UsedBytes() const { return static_cast<size_t>(mSlotsInUse) * SLOT_BYTES; }

    // Drops every record; the spacing starts again from the initial one.
    void Clear();
    int Spacing() const { return mSpacing; }
    int InitialSpacing() const { return mInitialSpacing; }
    int64_t Count() const { return mCount; }
    // The step index whose record the store takes next.
    int64_t NextIndex() const { return mCount * mSpacing; }
    // How many times the store dropped every other entry since it was
    // last cleared.
    int Thinnings() const { return mThinnings; }

    // The scratch buffer a record is written to (MAX_RECORD_BYTES long)
    // before Store copies it; null without memory.
    uint8_t* Scratch() { return mpScratch; }
    // The record of step index; ignored unless index is NextIndex(). A size
    // of 0 or less leaves the entry empty (a record that did not fit the
    // scratch). Thins when the slots run out.
    void Store(int64_t index, const uint8_t* pData, int size);
    // The largest step index at or before target whose record is kept; 0
    // when there is none (the start scene).
    int64_t Find(int64_t target) const;
    // Copies the record of a kept step index into the scratch buffer;
    // returns its size, or -1.
    int Read(int64_t index);

private:
    static constexpr int PAYLOAD_BYTES = SLOT_BYTES - 4;

    int32_t* Link(int32_t slot) { return reinterpret_cast<int32_t*>(mpArena.get() + size_t(slot) * SLOT_BYTES); }
    uint8_t* Payload(int32_t slot) { return mpArena.get() + size_t(slot) * SLOT_BYTES + 4; }
    // A chain of count slots (first in *pHead), or false when fewer are free.
    bool TakeSlots(int count, int32_t* pHead);
    void FreeChain(int32_t head);
    void Thin();

    const int mInitialSpacing;
    std::unique_ptr<uint8_t[]> mpArena;
    std::unique_ptr<int32_t[]> mpHeads;  // first slot of each entry's record, -1 when empty
    uint8_t* mpScratch = nullptr;        // MAX_RECORD_BYTES after the slots
    int32_t mSlotCount = 0;
    int32_t mUnused = 0;     // slots never handed out yet: mUnused .. mSlotCount - 1
    int32_t mFreeHead = -1;  // freed slots, linked
    int32_t mSlotsInUse = 0;
    int64_t mCount = 1;
    int mSpacing;
    int mThinnings = 0;
};
