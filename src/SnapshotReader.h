// Reads back what a SnapshotWriter packed. Reading past the end gives 0 and
// leaves the reader failed; the caller then ignores the record.
#pragma once

#include <cstdint>

class SnapshotReader {
public:
    SnapshotReader(const uint8_t* pBuffer, int size) : mpBuffer(pBuffer), mSize(size) {}

    int U8() { return static_cast<int>(Get(1)); }
    int U16() { return static_cast<int>(Get(2)); }
    uint32_t U32() { return Get(4); }

    bool Ok() const { return mOk; }

private:
    uint32_t Get(int bytes)
    {
        if (!mOk || mSize - mPosition < bytes) {
            mOk = false;
            return 0;
        }
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(mpBuffer[mPosition++]) << (8 * i);
        return value;
    }

    const uint8_t* mpBuffer;
    int mSize;
    int mPosition = 0;
    bool mOk = true;
};
