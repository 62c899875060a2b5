// Scene files: what is refused and why, what a save writes, and the names.
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

std::string Bytes(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace

TEST(SceneFile, AWrittenSceneReadsBackAndWhatIsNoSceneIsRefusedWithItsReason)
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

    std::vector<uint8_t> good;
    ProgramFile::Build(PLUGIN_ID, 1, "x", CHUNK.data(), CHUNK.size(), &good);
    // 'FPCh' becomes 'FxCk': a program of plain parameter values.
    std::vector<uint8_t> plain = good;
    plain[9] = 'x';
    plain[10] = 'C';
    plain[11] = 'k';
    std::vector<uint8_t> truncated(good.begin(), good.end() - 3);
    const struct {
        const char* mName;
        std::string mBytes;
        int32_t mId;
        SceneFile::EProblem mProblem;
    } cases[] = {
        {"text.fxp", "not a preset at all, but long enough to hold a header of sixty bytes......", PLUGIN_ID,
         SceneFile::EProblem_NotAScene},
        {"plain.fxp", Bytes(plain), PLUGIN_ID, SceneFile::EProblem_NotAScene},
        {"other.fxp", Bytes(good), PLUGIN_ID + 1, SceneFile::EProblem_OtherPlugin},
        {"short.fxp", Bytes(truncated), PLUGIN_ID, SceneFile::EProblem_CutShort},
        {"tiny.fxp", "CcnK", PLUGIN_ID, SceneFile::EProblem_CutShort},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mName);
        EXPECT_EQ(scene.Read(folder.Write(c.mName, c.mBytes).c_str(), c.mId), c.mProblem);
        EXPECT_EQ(scene.ChunkSize(), 0);
    }
    EXPECT_EQ(scene.Read(folder.File("absent.fxp").c_str(), PLUGIN_ID), SceneFile::EProblem_Unreadable);
    EXPECT_EQ(scene.Read(folder.Path().c_str(), PLUGIN_ID), SceneFile::EProblem_Unreadable);

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
