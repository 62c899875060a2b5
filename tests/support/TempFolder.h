// A fresh folder for the files a test writes (a configuration, a MIDI map,
// scale files), removed with everything in it at the end of the test.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tarvo-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) mPath = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        if (!mPath.empty()) std::filesystem::remove_all(mPath, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool Valid() const { return !mPath.empty(); }
    const std::string& Path() const { return mPath; }
    std::string File(const std::string& name) const { return mPath + "/" + name; }
    // Writes bytes exactly as given (binary), so CR LF and missing final line
    // feeds reach the reader as written; returns the file's path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream out(File(name), std::ios::binary);
        out << bytes;
        return File(name);
    }

private:
    std::string mPath;
};

// Binary, so the file holds the text exactly as the test wrote it.
inline void WriteTextFile(const std::string& path, const char* text)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    std::fputs(text, file);
    std::fclose(file);
}
