// The folder of the plug-in module. The configuration file lives there, and
// relative MIDI map names are taken from there, because hosts load plug-ins
// with whatever working folder they happen to have.
#pragma once

#include <cstddef>

class HomeDirectory {
public:
    static const int PATH_LENGTH = 1024;

    HomeDirectory();
    virtual ~HomeDirectory();

    // Fills the buffer with the module's folder, without trailing separator;
    // false, with the buffer empty, when the module's name cannot be obtained.
    bool GetHomeDirectory();
    // Fills the buffer with folder + separator + pName and returns it; the
    // result is the empty text when the folder cannot be found or the path
    // would be longer than PATH_LENGTH characters.
    const char* MakeHomePath(const char* pName);
    const char* GetPathname() const { return mpPathname; }

protected:
    // The module's full file name, at most size - 1 characters; false when it
    // cannot be obtained. Tests substitute a folder of their own here.
    virtual bool LookUpModuleFileName(char* pOut, size_t size);

private:
    HomeDirectory(const HomeDirectory&) = delete;
    HomeDirectory& operator=(const HomeDirectory&) = delete;

    char* mpPathname;
};
