#include "UserFiles.h"

#include <cstdio>
#include <cstdlib>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace UserFiles {

namespace {

bool IsFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    // A host started without HOME (a service) still has a user.
    struct passwd* pEntry = getpwuid(getuid());
    return pEntry && pEntry->pw_dir && pEntry->pw_dir[0] == '/' ? pEntry->pw_dir : "";
}

}  // namespace

std::string DataFolder()
{
    // The XDG base directory rules ignore a relative value.
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return data;
    std::string home = HomeFolder();
    if (home.empty()) return std::string();
    return home + (home.back() == '/' ? "" : "/") + ".local/share";
}

bool MakeFolders(const std::string& folder)
{
    if (folder.empty()) return false;
    if (IsFolder(folder)) return true;
    // Each folder from the top down. The tops exist already (or cannot be
    // made); whether it worked shows at the end.
    for (size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        mkdir(folder.substr(0, end).c_str(), 0777);
        if (end == std::string::npos) break;
    }
    return IsFolder(folder);
}

bool PutFileInPlace(const std::string& temporary, const std::string& path)
{
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

void RemoveFile(const std::string& path) { unlink(path.c_str()); }

}  // namespace UserFiles
