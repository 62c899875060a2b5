#include "SceneFile.h"

#include <cstdio>

#include "HomeDirectory.h"
#include "UserFiles.h"

const char* const SceneFile::EXTENSION = ".fxp";

namespace {

// Where the file name starts: after the last separator of either kind the
// platform knows.
size_t FileNameStart(const std::string& path)
{
    size_t slash = path.find_last_of(HomeDirectory::SEPARATOR == '/' ? "/" : "/\\");
    return slash == std::string::npos ? 0 : slash + 1;
}

bool EndsWithExtension(const std::string& name)
{
    const std::string extension = SceneFile::EXTENSION;
    if (name.size() <= extension.size()) return false;
    for (size_t i = 0; i < extension.size(); ++i) {
        char c = name[name.size() - extension.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != extension[i]) return false;
    }
    return true;
}

bool ReadBytes(const char* path, std::vector<uint8_t>* pBytes, bool* pTooLarge)
{
    *pTooLarge = false;
    FILE* pFile = std::fopen(path, "rb");
    if (!pFile) return false;
    bool ok = true;
    uint8_t buffer[16384];
    for (;;) {
        size_t count = std::fread(buffer, 1, sizeof buffer, pFile);
        if (pBytes->size() + count > SceneFile::MAX_FILE_SIZE) {
            *pTooLarge = true;
            break;
        }
        pBytes->insert(pBytes->end(), buffer, buffer + count);
        if (count < sizeof buffer) {
            ok = !std::ferror(pFile);
            break;
        }
    }
    std::fclose(pFile);
    return ok;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* pFile = std::fopen(path.c_str(), "wb");
    if (!pFile) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), pFile) == bytes.size();
    ok = std::fflush(pFile) == 0 && ok;
    return std::fclose(pFile) == 0 && ok;
}

}  // namespace

SceneFile::EProblem SceneFile::Read(const char* path, int32_t pluginId)
{
    mBytes.clear();
    mProgram = ProgramFile();
    if (!path || !path[0]) return EProblem_Unreadable;
    bool tooLarge = false;
    std::vector<uint8_t> bytes;
    if (!ReadBytes(path, &bytes, &tooLarge)) return EProblem_Unreadable;
    if (tooLarge) return EProblem_NotAScene;
    ProgramFile program;
    switch (program.Parse(bytes.data(), bytes.size(), pluginId)) {
    case ProgramFile::EError_None:
        break;
    case ProgramFile::EError_OtherPlugin:
        return EProblem_OtherPlugin;
    case ProgramFile::EError_TooShort:
    case ProgramFile::EError_BadSize:
        return EProblem_CutShort;
    default:
        return EProblem_NotAScene;
    }
    // The chunk points into the bytes, which move here unchanged.
    mBytes.swap(bytes);
    mProgram = program;
    return EProblem_None;
}

bool SceneFile::Write(const std::string& path, int32_t pluginId, int32_t pluginVersion,
                      const std::vector<uint8_t>& chunk)
{
    std::vector<uint8_t> file;
    ProgramFile::Build(pluginId, pluginVersion, NameOf(path).c_str(), chunk.data(), chunk.size(), &file);
    const std::string temporary = path + ".part";
    if (!WriteBytes(temporary, file) || !UserFiles::PutFileInPlace(temporary, path)) {
        UserFiles::RemoveFile(temporary);
        return false;
    }
    return true;
}

std::string SceneFile::WithExtension(const std::string& path)
{
    std::string name = path.substr(FileNameStart(path));
    if (name.empty() || name.find('.') != std::string::npos) return path;
    return path + EXTENSION;
}

std::string SceneFile::NameOf(const std::string& path)
{
    std::string name = path.substr(FileNameStart(path));
    if (EndsWithExtension(name)) name.resize(name.size() - std::string(EXTENSION).size());
    return name;
}
