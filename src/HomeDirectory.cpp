#include "HomeDirectory.h"

#include <cassert>
#include <cstring>

HomeDirectory::HomeDirectory(const char* pFolder)
{
    mFolder[0] = '\0';
    mPathname[0] = '\0';
    if (pFolder && std::strlen(pFolder) <= static_cast<size_t>(PATH_LENGTH)) std::strcpy(mFolder, pFolder);
}

HomeDirectory::~HomeDirectory() {}

bool HomeDirectory::FolderOfModule(const char* pModuleFileName, char* pOut, size_t size)
{
    if (!pOut || size == 0) return false;
    pOut[0] = '\0';
    if (!pModuleFileName || !pModuleFileName[0]) return false;
    const char* pLast = std::strrchr(pModuleFileName, SEPARATOR);
    if (!pLast) {
        if (size < 2) return false;
        std::strcpy(pOut, ".");
        return true;
    }
    // A module at the root keeps the separator as its folder.
    size_t length = pLast == pModuleFileName ? 1 : static_cast<size_t>(pLast - pModuleFileName);
    if (length + 1 > size) return false;
    std::memcpy(pOut, pModuleFileName, length);
    pOut[length] = '\0';
    return true;
}

const char* HomeDirectory::MakeHomePath(const char* pName)
{
    assert(pName);
    mPathname[0] = '\0';
    if (!GetHomeDirectory()) return mPathname;
    size_t folderLength = std::strlen(mFolder);
    // The root folder ends in the separator already.
    if (mFolder[folderLength - 1] == SEPARATOR) --folderLength;
    const size_t nameLength = std::strlen(pName);
    if (folderLength + nameLength + 1 > static_cast<size_t>(PATH_LENGTH)) return mPathname;
    std::memcpy(mPathname, mFolder, folderLength);
    mPathname[folderLength] = SEPARATOR;
    std::memcpy(mPathname + folderLength + 1, pName, nameLength + 1);
    return mPathname;
}

bool HomeDirectory::IsAbsolutePath(const char* pPath)
{
    if (!pPath || !pPath[0]) return false;
    return pPath[0] == '\\' || pPath[0] == SEPARATOR || pPath[1] == ':';
}
