#include "HomeDirectory.h"

#include <cassert>
#include <cstring>

#include "framework/plugin/ModuleFile.h"

HomeDirectory::HomeDirectory() : mpPathname(new char[PATH_LENGTH + 1])
{
    mpPathname[0] = '\0';
}

HomeDirectory::~HomeDirectory()
{
    delete[] mpPathname;
}

bool HomeDirectory::LookUpModuleFileName(char* pOut, size_t size)
{
    return GetModuleFileNameOfPlugin(pOut, size);
}

bool HomeDirectory::GetHomeDirectory()
{
    if (!LookUpModuleFileName(mpPathname, PATH_LENGTH + 1)) {
        mpPathname[0] = '\0';
        return false;
    }
    // A substituted lookup might not terminate within the buffer.
    mpPathname[PATH_LENGTH] = '\0';
    // Only the platform's own separator cuts: on Linux a backslash is an
    // ordinary character of a file name, and the loader reports paths with
    // "/". A module found without any folder in its name lies in the
    // current folder.
    char* pLast = std::strrchr(mpPathname, PATH_SEPARATOR);
    if (pLast) {
        *pLast = '\0';
    } else {
        mpPathname[0] = '.';
        mpPathname[1] = '\0';
    }
    return true;
}

const char* HomeDirectory::MakeHomePath(const char* pName)
{
    assert(pName);
    if (!GetHomeDirectory()) return mpPathname;
    const size_t folderLength = std::strlen(mpPathname);
    const size_t nameLength = std::strlen(pName);
    if (folderLength + nameLength + 1 > static_cast<size_t>(PATH_LENGTH)) {
        mpPathname[0] = '\0';
        return mpPathname;
    }
    mpPathname[folderLength] = PATH_SEPARATOR;
    std::memcpy(mpPathname + folderLength + 1, pName, nameLength + 1);
    return mpPathname;
}
