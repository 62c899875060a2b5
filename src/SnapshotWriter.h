// Packs a checkpoint of the moving world into a caller's fixed buffer,
// little-endian. Nothing is written past the end: a record that does not
// fit leaves the writer failed, and the caller drops it.
#pragma once

#include <cstdint>

class SnapshotWriter {
public:
    SnapshotWriter(uint8_t* pBuffer, int capacity) : mpBuffer(pBuffer), mCapacity(capacity) {}

    void U8(int value) { Put(static_cast<uint32_t>(value), 1); }
    void U16(int value) { Put(static_cast<uint32_t>(value), 2); }
    void U32(uint32_t value) { Put(value, 4); }

    bool Ok() const { return mOk; }
    int Size() const { return mSize; }

private:
    void Put(uint32_t value, int bytes)
    {
        if (!mOk || mCapacity - mSize < bytes) {
            mOk = false;
            return;
        }
        for (int i = 0; i < bytes; ++i) mpBuffer[mSize++] = static_cast<uint8_t>(value >> (8 * i));
    }

    uint8_t* mpBuffer;
    int mCapacity;
    int mSize = 0;
    bool mOk = true;
};
