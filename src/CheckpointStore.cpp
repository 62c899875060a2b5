#include "CheckpointStore.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {
// Beyond this the spacing is no longer doubled: a song that long keeps the
// entries it has.
const int MAX_SPACING = 1 << 28;
}  // namespace

CheckpointStore::CheckpointStore(int initialSpacing)
    : mInitialSpacing(initialSpacing > 0 ? initialSpacing : 1), mSpacing(mInitialSpacing)
{
}

bool CheckpointStore::Reserve(size_t bytes)
{
    if (HasMemory()) return true;
    size_t slots = bytes / SLOT_BYTES;
    if (slots < 2) return false;
    if (slots > size_t(INT32_MAX) - 1) slots = size_t(INT32_MAX) - 1;
    // The memory is not touched here: its pages come in as the records fill
    // them.
    std::unique_ptr<uint8_t[]> pArena(new (std::nothrow) uint8_t[slots * SLOT_BYTES + MAX_RECORD_BYTES]);
    // One entry per slot at most (every record takes one), and entry 0.
    std::unique_ptr<int32_t[]> pHeads(new (std::nothrow) int32_t[slots + 1]);
    if (!pArena || !pHeads) return false;
    mpArena = std::move(pArena);
    mpHeads = std::move(pHeads);
    mSlotCount = static_cast<int32_t>(slots);
    mpScratch = mpArena.get() + slots * SLOT_BYTES;
    Clear();
    return true;
}

size_t CheckpointStore::ReservedBytes() const
{
    if (!HasMemory()) return 0;
    return size_t(mSlotCount) * SLOT_BYTES + MAX_RECORD_BYTES + (size_t(mSlotCount) + 1) * sizeof(int32_t);
}

void CheckpointStore::Clear()
{
    mUnused = 0;
    mFreeHead = -1;
    mSlotsInUse = 0;
    mCount = 1;
    mSpacing = mInitialSpacing;
    mThinnings = 0;
    if (mpHeads) mpHeads[0] = -1;
}

bool CheckpointStore::TakeSlots(int count, int32_t* pHead)
{
    if (mSlotCount - mSlotsInUse < count) return false;
    int32_t head = -1;
    for (int i = 0; i < count; ++i) {
        int32_t slot;
        if (mFreeHead >= 0) {
            slot = mFreeHead;
            mFreeHead = *Link(slot);
        } else {
            slot = mUnused++;
        }
        *Link(slot) = head;
        head = slot;
    }
    mSlotsInUse += count;
    *pHead = head;
    return true;
}

void CheckpointStore::FreeChain(int32_t head)
{
    while (head >= 0) {
        int32_t next = *Link(head);
        *Link(head) = mFreeHead;
        mFreeHead = head;
        --mSlotsInUse;
        head = next;
    }
}

void CheckpointStore::Thin()
{
    for (int64_t i = 1; i < mCount; ++i) {
        if (i % 2 != 0) {
            FreeChain(mpHeads[i]);
        } else {
            mpHeads[i / 2] = mpHeads[i];
        }
    }
    mCount = (mCount + 1) / 2;
    mSpacing *= 2;
    ++mThinnings;
}

void CheckpointStore::Store(int64_t index, const uint8_t* pData, int size)
{
    if (!HasMemory() || index != NextIndex() || index <= 0) return;
    if (size > MAX_RECORD_BYTES) size = 0;
    int slots = size > 0 ? (size + 4 + PAYLOAD_BYTES - 1) / PAYLOAD_BYTES : 0;
    int32_t head = -1;
    while (mCount > mSlotCount || (slots > 0 && !TakeSlots(slots, &head))) {
        if (mCount < 2 || mSpacing > MAX_SPACING / 2) return;
        Thin();
        // Every other entry is gone; the record is kept only when its step
        // is still on the coarser grid.
        if (index != NextIndex()) return;
    }
    mpHeads[mCount++] = head;
    if (slots == 0) return;
    // The size first, then the bytes, through the chain.
    uint8_t header[4] = {uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16), uint8_t(size >> 24)};
    int32_t slot = head;
    int written = -4;
    while (slot >= 0 && written < size) {
        uint8_t* pOut = Payload(slot);
        int room = PAYLOAD_BYTES;
        if (written < 0) {
            std::memcpy(pOut, header, 4);
            pOut += 4;
            room -= 4;
            written = 0;
        }
        int chunk = std::min(room, size - written);
        std::memcpy(pOut, pData + written, static_cast<size_t>(chunk));
        written += chunk;
        slot = *Link(slot);
    }
}

int64_t CheckpointStore::Find(int64_t target) const
{
    if (!HasMemory() || target <= 0) return 0;
    int64_t entry = std::min(target / mSpacing, mCount - 1);
    while (entry > 0 && mpHeads[entry] < 0) --entry;
    return entry * mSpacing;
}

int CheckpointStore::Read(int64_t index)
{
    if (!HasMemory() || index <= 0 || index % mSpacing != 0 || index / mSpacing >= mCount) return -1;
    int32_t slot = mpHeads[index / mSpacing];
    if (slot < 0) return -1;
    const uint8_t* pHeader = Payload(slot);
    int size = int(pHeader[0]) | int(pHeader[1]) << 8 | int(pHeader[2]) << 16 | int(pHeader[3]) << 24;
    if (size <= 0 || size > MAX_RECORD_BYTES) return -1;
    int read = -4;
    while (slot >= 0 && read < size) {
        const uint8_t* pIn = Payload(slot);
        int room = PAYLOAD_BYTES;
        if (read < 0) {
            pIn += 4;
            room -= 4;
            read = 0;
        }
        int chunk = std::min(room, size - read);
        std::memcpy(mpScratch + read, pIn, static_cast<size_t>(chunk));
        read += chunk;
        slot = *Link(slot);
    }
    return read == size ? size : -1;
}
