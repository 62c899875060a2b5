// Scene files: what a save writes, and the names.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "SceneFile.h"
#include "TestFiles.h"

namespace {

const int32_t PLUGIN_ID = 0x51667461;  // "Qfta"
const std::vector<uint8_t> CHUNK = {1, 2, 3, 4, 5, 6, 7, 8, 9};

}  // namespace

// What is refused, and why, shows through the editor (SceneFilesTest in
// the editor's tests) and ProgramFile's own tests.
TEST(SceneFile, AWrittenSceneReadsBackAndAFailedWriteLeavesNothing)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    const std::string path = folder.File("Dub Walk.fxp");
    ASSERT_TRUE(SceneFile::Write(path, PLUGIN_ID, 0x10000, CHUNK));
    SceneFile scene;
    ASSERT_EQ(scene.Read(path.c_str(), PLUGIN_ID), SceneFile::EProblem_None);
    EXPECT_EQ(std::vector<uint8_t>(scene.Chunk(), scene.Chunk() + scene.ChunkSize()), CHUNK);
    EXPECT_STREQ(scene.ProgramName(), "Dub Walk");
    // Nothing is left of the temporary file.
    EXPECT_NE(access((path + ".part").c_str(), F_OK), 0);

    // A save that cannot be written says so and leaves nothing behind: no
    // folder to write in, or a folder where the file should go.
    EXPECT_FALSE(SceneFile::Write(folder.File("absent/x.fxp"), PLUGIN_ID, 1, CHUNK));
    const std::string taken = folder.File("taken.fxp");
    ASSERT_EQ(mkdir(taken.c_str(), 0755), 0);
    EXPECT_FALSE(SceneFile::Write(taken, PLUGIN_ID, 1, CHUNK));
    EXPECT_NE(access((taken + ".part").c_str(), F_OK), 0);
}

TEST(SceneFile, NamesAndExtensions)
{
    EXPECT_EQ(SceneFile::WithExtension("/home/me/Dub Walk"), "/home/me/Dub Walk.fxp");
    EXPECT_EQ(SceneFile::WithExtension("/home/me/Dub.Walk"), "/home/me/Dub.Walk");
    EXPECT_EQ(SceneFile::WithExtension("/home/my.scenes/walk"), "/home/my.scenes/walk.fxp");
    EXPECT_EQ(SceneFile::NameOf("/home/me/Dub Walk.FXP"), "Dub Walk");
    EXPECT_EQ(SceneFile::NameOf("Walk.fxp.bak"), "Walk.fxp.bak");
    EXPECT_EQ(SceneFile::NameOf(".fxp"), ".fxp");
}
