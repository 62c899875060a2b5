// A growable byte buffer with little-endian put and get operations, the
// container in which parameters, presets and the processor's state travel
// to and from the host. Reads take a position and return the position after
// the value, or -1 when the value does not fit; a failed read leaves its
// target unchanged, so callers can chain reads and test once at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class StateChunk {
public:
    static const int32_t HEADER_MAGIC = 0x70666674;
    static const int32_t HEADER_VERSION = 0x00010000;
    static const int HEADER_SIZE = 8;

    StateChunk() {}
    virtual ~StateChunk() {}

    int Size() const { return static_cast<int>(mBytes.size()); }
    const uint8_t* Data() const { return mBytes.data(); }
    uint8_t* Data() { return mBytes.data(); }

    // Appends return the new size.
    int PutInt32(int32_t value);
    int PutDouble(double value);
    int PutByte(int8_t value);
    int PutBytes(const void* data, int count);
    // An int32 length, then exactly that many characters, no terminator.
    int PutString(const char* text);

    int GetInt32(int32_t* value, int position) const;
    int GetDouble(double* value, int position) const;
    int GetByte(int8_t* value, int position) const;
    int GetUnsignedByte(uint8_t* value, int position) const;
    // Reads a length L and then L characters. On success the text (at most
    // maxLength - 1 characters, cut at the first zero byte) is stored when
    // L > 0 and every character lies inside the chunk; the position returned
    // is position + 4 + L even when that lies beyond the chunk.
    int GetString(char* text, int maxLength, int position) const;

    void Resize(int size);  // growth fills with zeros
    void Clear() { mBytes.clear(); }
    void Reserve(int size) { mBytes.reserve(size > 0 ? static_cast<size_t>(size) : 0); }
    void PutFrameworkHeader();

private:
    bool Fits(int position, int count) const;

    std::vector<uint8_t> mBytes;
};
