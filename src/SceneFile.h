// A scene file: the whole state of the plug-in in a VST 2 program file
// (".fxp" holding the state chunk), the same file a host's preset menu
// loads and saves. Read and written away from the plug-in lock: the bytes
// go to or come from the processor separately.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/plugin/ProgramFile.h"

class SceneFile {
public:
    // A state is a few kilobytes; a larger file is no scene of this plug-in.
    static const size_t MAX_FILE_SIZE = 16 * 1024 * 1024;
    static const char* const EXTENSION;  // ".fxp"

    enum EProblem {
        EProblem_None = 0,
        EProblem_Unreadable,   // cannot be opened or read
        EProblem_NotAScene,    // not a program file with a chunk, or far too large
        EProblem_OtherPlugin,  // a program of another plug-in
        EProblem_CutShort      // shorter than its header or its sizes say
    };

    SceneFile() {}
    virtual ~SceneFile() {}

    // Reads the file and checks that it is a program of the plug-in with
    // that id. On success the chunk and name below are set; on failure
    // nothing is kept.
    EProblem Read(const char* path, int32_t pluginId);
    const uint8_t* Chunk() const { return mProgram.Chunk(); }
    int ChunkSize() const { return static_cast<int>(mProgram.ChunkSize()); }
    // The program name stored in the file.
    const char* ProgramName() const { return mProgram.Name(); }

    // Writes a program file of the chunk, named after the file, to a
    // temporary name beside path and then puts it in place of path. False
    // when it could not be written (the old file, if any, is kept).
    static bool Write(const std::string& path, int32_t pluginId, int32_t pluginVersion,
                      const std::vector<uint8_t>& chunk);
    // The path with ".fxp" added when its file name has no extension.
    static std::string WithExtension(const std::string& path);
    // The file name without its folder and without ".fxp" (any case).
    static std::string NameOf(const std::string& path);

private:
    SceneFile(const SceneFile&) = delete;
    SceneFile& operator=(const SceneFile&) = delete;

    std::vector<uint8_t> mBytes;
    ProgramFile mProgram;
};
