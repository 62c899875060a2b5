// The folder the plug-in's files live in: the configuration file, and the
// folder that relative MIDI map names are taken from. The host loads
// plug-ins with whatever working folder it happens to have, so this is the
// folder of the plug-in module, found by the entry point and handed to the
// processor (tests hand in a folder of their own).
#pragma once

#include <cstddef>

class HomeDirectory {
public:
    static const int PATH_LENGTH = 1024;
#ifdef _WIN32
    static constexpr char SEPARATOR = '\\';
#else
    static constexpr char SEPARATOR = '/';
#endif

    // An empty or missing folder: the files are not looked for.
    explicit HomeDirectory(const char* pFolder);
    virtual ~HomeDirectory();

    // True when there is a folder.
    bool GetHomeDirectory() const { return mFolder[0] != '\0'; }
    const char* GetFolder() const { return mFolder; }
    // Fills the buffer with folder + separator + pName and returns it; the
    // result is the empty text when there is no folder or the path would be
    // longer than PATH_LENGTH characters.
    const char* MakeHomePath(const char* pName);
    const char* GetPathname() const { return mPathname; }

    // The folder of a module's file name, without trailing separator: only
    // the platform's separator cuts (on Linux a backslash is an ordinary
    // file-name character), and a name without a folder lies in ".". False,
    // with out empty, when it does not fit.
    static bool FolderOfModule(const char* pModuleFileName, char* pOut, size_t size);
    // A path that names its folder from a root: one starting with a
    // backslash or the platform's separator, or with a drive ("C:"). Any
    // other is taken relative to the home directory.
    static bool IsAbsolutePath(const char* pPath);

private:
    HomeDirectory(const HomeDirectory&) = delete;
    HomeDirectory& operator=(const HomeDirectory&) = delete;

    char mFolder[PATH_LENGTH + 1];
    char mPathname[PATH_LENGTH + 1];
};
