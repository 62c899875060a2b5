// A fresh folder per test for the files the readers open, and a home
// directory that reports a module inside a folder of the test's choosing.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "HomeDirectory.h"

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tarvo-files-XXXXXX").string();
        if (mkdtemp(pattern.data())) mPath = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        if (!mPath.empty()) std::filesystem::remove_all(mPath, ignored);
    }
    bool Valid() const { return !mPath.empty(); }
    const std::string& Path() const { return mPath; }
    std::string File(const std::string& name) const { return mPath + "/" + name; }
    // Writes bytes exactly as given (binary), so CR LF and missing final line
    // feeds reach the reader as written.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream out(File(name), std::ios::binary);
        out << bytes;
        return File(name);
    }

private:
    std::string mPath;
};

class FakeHomeDirectory : public HomeDirectory {
public:
    explicit FakeHomeDirectory(std::string moduleFileName, bool available = true)
        : mModuleFileName(std::move(moduleFileName)), mAvailable(available)
    {
    }

protected:
    bool LookUpModuleFileName(char* pOut, size_t size) override
    {
        pOut[0] = '\0';
        if (!mAvailable || mModuleFileName.size() >= size) return false;
        mModuleFileName.copy(pOut, mModuleFileName.size());
        pOut[mModuleFileName.size()] = '\0';
        return true;
    }

private:
    std::string mModuleFileName;
    bool mAvailable;
};
