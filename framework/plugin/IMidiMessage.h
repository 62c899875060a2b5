// One MIDI message of the current block: a frame offset inside the block and
// three bytes.
#pragma once

#include <cstdint>

struct IMidiMessage {
    int32_t mOffset;
    uint8_t mStatus;
    uint8_t mData1;
    uint8_t mData2;

    IMidiMessage() : mOffset(0), mStatus(0), mData1(0), mData2(0) {}
    IMidiMessage(int32_t offset, uint8_t status, uint8_t data1, uint8_t data2)
        : mOffset(offset), mStatus(status), mData1(data1), mData2(data2)
    {
    }
};
