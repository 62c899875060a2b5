#include "UserFiles.h"

#include <windows.h>

#include <shlobj.h>

namespace UserFiles {

namespace {

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string DataFolder()
{
    // "Documents", wherever the user or the domain moved it.
    // Not created here (S_FALSE: it does not exist yet): a save makes it.
    char folder[MAX_PATH] = "";
    HRESULT result = SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder);
    if (FAILED(result)) return std::string();
    return folder;
}

bool MakeFolders(const std::string& folder)
{
    if (folder.empty()) return false;
    if (IsFolder(folder)) return true;
    // Each folder from the top down. The tops that cannot be made (a drive,
    // a share, a folder that exists) fail harmlessly; whether it worked
    // shows at the end.
    for (size_t end = 0; end <= folder.size(); ++end) {
        if (end < folder.size() && !IsSeparator(folder[end])) continue;
        std::string part = folder.substr(0, end);
        if (!part.empty() && part.back() != ':' && !IsSeparator(part.back())) CreateDirectoryA(part.c_str(), nullptr);
    }
    return IsFolder(folder);
}

bool PutFileInPlace(const std::string& temporary, const std::string& path)
{
    return MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

}  // namespace UserFiles
