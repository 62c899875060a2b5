#include "ProgramFile.h"

#include <cstring>

namespace {

const uint32_t MAGIC_PRESET = 0x43636E4B;          // 'CcnK'
const uint32_t MAGIC_OPAQUE_PROGRAM = 0x46504368;  // 'FPCh'
const int32_t FORMAT_VERSION = 1;

uint32_t GetBigEndian(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

void PutBigEndian(uint32_t value, uint8_t* p)
{
    p[0] = uint8_t(value >> 24);
    p[1] = uint8_t(value >> 16);
    p[2] = uint8_t(value >> 8);
    p[3] = uint8_t(value);
}

}  // namespace

ProgramFile::ProgramFile() : mPluginId(0), mPluginVersion(0), mName(), mpChunk(nullptr), mChunkSize(0) {}

ProgramFile::EError ProgramFile::Parse(const uint8_t* data, size_t size, int32_t expectedId)
{
    mpChunk = nullptr;
    mChunkSize = 0;
    if (!data || size < static_cast<size_t>(HEADER_SIZE)) return EError_TooShort;
    if (GetBigEndian(data) != MAGIC_PRESET) return EError_NotAPreset;
    if (GetBigEndian(data + 8) != MAGIC_OPAQUE_PROGRAM) return EError_NotAProgram;
    int32_t id = static_cast<int32_t>(GetBigEndian(data + 16));
    if (expectedId != 0 && id != expectedId) return EError_OtherPlugin;
    // byteSize counts everything after its own field. Hosts agree on it
    // less than on chunkSize, so only a byteSize that claims more than the
    // file holds is refused; the chunk itself must lie wholly inside.
    uint32_t byteSize = GetBigEndian(data + 4);
    uint32_t chunkSize = GetBigEndian(data + 56);
    if (static_cast<uint64_t>(byteSize) + 8 > size) return EError_BadSize;
    if (chunkSize > size - HEADER_SIZE) return EError_BadSize;
    mPluginId = id;
    mPluginVersion = static_cast<int32_t>(GetBigEndian(data + 20));
    std::memcpy(mName, data + 28, NAME_SIZE);
    mName[NAME_SIZE] = 0;
    mpChunk = data + HEADER_SIZE;
    mChunkSize = chunkSize;
    return EError_None;
}

void ProgramFile::Build(int32_t pluginId, int32_t pluginVersion, const char* name, const uint8_t* chunk,
                        size_t chunkSize, std::vector<uint8_t>* pOut)
{
    pOut->assign(HEADER_SIZE, 0);
    uint8_t* p = pOut->data();
    PutBigEndian(MAGIC_PRESET, p);
    PutBigEndian(static_cast<uint32_t>(HEADER_SIZE - 8 + chunkSize), p + 4);
    PutBigEndian(MAGIC_OPAQUE_PROGRAM, p + 8);
    PutBigEndian(FORMAT_VERSION, p + 12);
    PutBigEndian(static_cast<uint32_t>(pluginId), p + 16);
    PutBigEndian(static_cast<uint32_t>(pluginVersion), p + 20);
    PutBigEndian(1, p + 24);  // numPrograms
    if (name) {
        size_t length = std::strlen(name);
        if (length > NAME_SIZE - 1) length = NAME_SIZE - 1;
        std::memcpy(p + 28, name, length);
    }
    PutBigEndian(static_cast<uint32_t>(chunkSize), p + 56);
    if (chunkSize > 0) pOut->insert(pOut->end(), chunk, chunk + chunkSize);
}

const char* ProgramFile::ErrorText(EError error)
{
    switch (error) {
    case EError_None:
        return "ok";
    case EError_TooShort:
        return "too short for a preset file";
    case EError_NotAPreset:
        return "not a VST preset file";
    case EError_NotAProgram:
        return "a bank or a parameter preset, not a program with a chunk";
    case EError_OtherPlugin:
        return "a preset of another plug-in";
    case EError_BadSize:
        return "damaged: its sizes do not match the file";
    }
    return "unreadable";
}
