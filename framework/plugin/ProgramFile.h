// A VST 2 program file (".fxp") that holds an opaque chunk ('FPCh'): the
// preset file most hosts load and save through their own preset menus, and
// the file of a Tarvo3 scene. Every field of the 60-byte header is
// big-endian on disk, whatever the platform; the chunk follows it as the
// plug-in gave it. Pure bytes: no file access, no VST structures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class ProgramFile {
public:
    static const int HEADER_SIZE = 60;
    static const int NAME_SIZE = 28;  // zero-terminated, zero-padded on disk

    enum EError {
        EError_None = 0,
        EError_TooShort,     // fewer bytes than the header
        EError_NotAPreset,   // no 'CcnK' magic
        EError_NotAProgram,  // a bank ('FBCh', 'FxBk') or a program of plain parameters ('FxCk')
        EError_OtherPlugin,  // fxID names another plug-in
        EError_BadSize,      // byteSize or chunkSize disagree with the bytes the file holds
    };

    ProgramFile();
    virtual ~ProgramFile() {}

    // Reads a whole file's bytes. On success the chunk points into data
    // (valid as long as data is) and the fields below are set; on failure
    // nothing is kept. expectedId: the plug-in's unique id, 0 for any.
    virtual EError Parse(const uint8_t* data, size_t size, int32_t expectedId);

    // The file's bytes for a chunk: the header, then the chunk. The name is
    // cut to 27 characters.
    static void Build(int32_t pluginId, int32_t pluginVersion, const char* name, const uint8_t* chunk, size_t chunkSize,
                      std::vector<uint8_t>* pOut);

    // A short text for an error, for a message to the user ("not a preset file").
    static const char* ErrorText(EError error);

    int32_t PluginId() const { return mPluginId; }
    int32_t PluginVersion() const { return mPluginVersion; }
    const char* Name() const { return mName; }
    const uint8_t* Chunk() const { return mpChunk; }
    size_t ChunkSize() const { return mChunkSize; }

private:
    int32_t mPluginId;
    int32_t mPluginVersion;
    char mName[NAME_SIZE + 1];
    const uint8_t* mpChunk;
    size_t mChunkSize;
};
