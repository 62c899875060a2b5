// The processor reads "Tarvo3.ini" and its MIDI map from the folder of its
// own module, which for a unit-test program is the program's folder: tests
// of that reading write their files there.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "framework/plugin/ModuleFile.h"

inline std::string ModuleFolder()
{
    char path[1025];
    EXPECT_TRUE(GetModuleFileNameOfPlugin(path, sizeof path));
    std::string folder(path);
    return folder.substr(0, folder.rfind(PATH_SEPARATOR));
}

// Binary, so the file holds the text exactly as the test wrote it.
inline void WriteTextFile(const std::string& path, const char* text)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fputs(text, file);
    std::fclose(file);
}
