#include "FileFolders.h"

#include "Configurable.h"
#include "HomeDirectory.h"
#include "UserFiles.h"

namespace {

std::string DefaultUserSceneFolder()
{
    std::string data = UserFiles::DataFolder();
    if (data.empty()) return std::string();
    const char separator = HomeDirectory::SEPARATOR;
    if (data.back() != separator) data += separator;
    return data + "Tarvo3" + separator + "Scenes";
}

}  // namespace

std::string FileFolders::FromHome(const char* pFolder, HomeDirectory& home)
{
    if (!pFolder || !pFolder[0]) return std::string();
    if (HomeDirectory::IsAbsolutePath(pFolder)) return pFolder;
    const char* pPath = home.MakeHomePath(pFolder);
    return pPath[0] ? pPath : pFolder;
}

void FileFolders::Resolve(const Configuration& configuration, HomeDirectory& home)
{
    auto text = [&](int item) { return configuration.GetConfigurable(item)->GetText(); };
    mScaleFolder = FromHome(text(EConfigurable_ScaleFolder), home);
    mSceneFolder = FromHome(text(EConfigurable_SceneFolder), home);
    mUserSceneFolder = FromHome(text(EConfigurable_UserSceneFolder), home);
    if (mUserSceneFolder.empty()) mUserSceneFolder = DefaultUserSceneFolder();
}
