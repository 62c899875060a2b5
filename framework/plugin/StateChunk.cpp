#include "StateChunk.h"

#include <cstring>

namespace {

void EncodeLittleEndian(uint8_t* out, uint64_t bits, int count)
{
    for (int i = 0; i < count; ++i) out[i] = static_cast<uint8_t>(bits >> (8 * i));
}

uint64_t DecodeLittleEndian(const uint8_t* in, int count)
{
    uint64_t bits = 0;
    for (int i = 0; i < count; ++i) bits |= static_cast<uint64_t>(in[i]) << (8 * i);
    return bits;
}

}  // namespace

bool StateChunk::Fits(int position, int count) const
{
    return position >= 0 && static_cast<int64_t>(position) + count <= static_cast<int64_t>(mBytes.size());
}

int StateChunk::PutBytes(const void* data, int count)
{
    if (count > 0) {
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        mBytes.insert(mBytes.end(), bytes, bytes + count);
    }
    return Size();
}

int StateChunk::PutInt32(int32_t value)
{
    uint8_t bytes[4];
    EncodeLittleEndian(bytes, static_cast<uint32_t>(value), 4);
    return PutBytes(bytes, 4);
}

int StateChunk::PutDouble(double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    uint8_t bytes[8];
    EncodeLittleEndian(bytes, bits, 8);
    return PutBytes(bytes, 8);
}

int StateChunk::PutByte(int8_t value)
{
    mBytes.push_back(static_cast<uint8_t>(value));
    return Size();
}

int StateChunk::PutString(const char* text)
{
    int32_t length = text ? static_cast<int32_t>(std::strlen(text)) : 0;
    PutInt32(length);
    return PutBytes(text, length);
}

int StateChunk::GetInt32(int32_t* value, int position) const
{
    if (!Fits(position, 4)) return -1;
    *value = static_cast<int32_t>(static_cast<uint32_t>(DecodeLittleEndian(&mBytes[position], 4)));
    return position + 4;
}

int StateChunk::GetDouble(double* value, int position) const
{
    if (!Fits(position, 8)) return -1;
    uint64_t bits = DecodeLittleEndian(&mBytes[position], 8);
    std::memcpy(value, &bits, sizeof bits);
    return position + 8;
}

int StateChunk::GetByte(int8_t* value, int position) const
{
    if (!Fits(position, 1)) return -1;
    *value = static_cast<int8_t>(mBytes[position]);
    return position + 1;
}

int StateChunk::GetUnsignedByte(uint8_t* value, int position) const
{
    if (!Fits(position, 1)) return -1;
    *value = mBytes[position];
    return position + 1;
}

int StateChunk::GetString(char* text, int maxLength, int position) const
{
    int32_t length = 0;
    int start = GetInt32(&length, position);
    if (start < 0) return -1;
    // A negative length cannot describe a string; treat it as unreadable
    // rather than moving the position backwards.
    if (length < 0) return -1;
    int64_t end = static_cast<int64_t>(start) + length;
    if (end > 0x7fffffff) return -1;
    if (length > 0 && end <= Size() && maxLength > 0) {
        int count = 0;
        while (count < length && count < maxLength - 1 && mBytes[start + count] != 0) {
            text[count] = static_cast<char>(mBytes[start + count]);
            ++count;
        }
        text[count] = '\0';
    }
    return static_cast<int>(end);
}

void StateChunk::Resize(int size) { mBytes.resize(size > 0 ? static_cast<size_t>(size) : 0, 0); }

void StateChunk::PutFrameworkHeader()
{
    Clear();
    PutInt32(HEADER_MAGIC);
    PutInt32(HEADER_VERSION);
}
