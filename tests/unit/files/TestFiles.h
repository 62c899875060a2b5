// A fresh folder per test for the files the readers open, and the home
// directory of a module inside a folder of the test's choosing.
#pragma once

#include <string>

#include "HomeDirectory.h"
#include "TempFolder.h"

// The home directory of a module with this file name; none when the name
// is not available.
class FakeHomeDirectory : public HomeDirectory {
public:
    explicit FakeHomeDirectory(const std::string& moduleFileName, bool available = true)
        : HomeDirectory(available ? FolderOf(moduleFileName).c_str() : "")
    {
    }

private:
    static std::string FolderOf(const std::string& moduleFileName)
    {
        char folder[PATH_LENGTH + 1];
        return FolderOfModule(moduleFileName.c_str(), folder, sizeof folder) ? folder : "";
    }
};
