// The module's own file name, which the entry point takes its folder from.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/plugin/ModuleFile.h"

TEST(ModuleFile, NamesTheFileOfTheRunningModule)
{
    char path[1025];
    ASSERT_TRUE(GetModuleFileNameOfPlugin(path, sizeof path));
    EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
    char tiny[4];
    EXPECT_FALSE(GetModuleFileNameOfPlugin(tiny, sizeof tiny));
    EXPECT_STREQ(tiny, "");
}
