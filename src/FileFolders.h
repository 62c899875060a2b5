// The folders the editor's file dialogs open in, from the configuration:
// "ScaleFolder" (scale files), "SceneFolder" (scenes to load; the factory
// scenes beside the plug-in by default) and "UserSceneFolder" (where scenes
// are saved; the user's data folder by default, since the plug-in's own
// folder may be read-only). A relative folder is taken from the plug-in's
// folder, as the MIDI map's name is; an absolute one stays as written.
#pragma once

#include <string>

class Configuration;
class HomeDirectory;

class FileFolders {
public:
    FileFolders() {}
    virtual ~FileFolders() {}

    // Takes the folders from the configuration read with that home
    // directory.
    void Resolve(const Configuration& configuration, HomeDirectory& home);

    // Empty: the dialog's own choice.
    const std::string& ScaleFolder() const { return mScaleFolder; }
    const std::string& SceneFolder() const { return mSceneFolder; }
    // By default "Tarvo3/Scenes" in the user's data folder
    // (UserFiles::DataFolder); created when a save dialog opens in it.
    const std::string& UserSceneFolder() const { return mUserSceneFolder; }

    // A folder as configured: empty stays empty, an absolute path stays as
    // it is, any other is taken from the home directory (as it is when the
    // home directory is unknown or the path would be too long).
    static std::string FromHome(const char* pFolder, HomeDirectory& home);

private:
    std::string mScaleFolder;
    std::string mSceneFolder;
    std::string mUserSceneFolder;
};
