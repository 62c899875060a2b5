#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/plugin/ProgramFile.h"

namespace {

const int32_t ID = 0x51667461;  // 'Qfta'

std::vector<uint8_t> MakeFile(size_t chunkSize)
{
    std::vector<uint8_t> chunk(chunkSize);
    for (size_t i = 0; i < chunkSize; ++i) chunk[i] = static_cast<uint8_t>(i * 7 + 1);
    std::vector<uint8_t> file;
    ProgramFile::Build(ID, 0x00010000, "A scene with a name longer than the field", chunk.data(), chunk.size(), &file);
    return file;
}

}  // namespace

// The published layout: big-endian fields, 60-byte header, the chunk after it.
TEST(ProgramFile, BuildsThePublishedLayoutAndReadsItBack)
{
    std::vector<uint8_t> file = MakeFile(300);
    ASSERT_EQ(file.size(), 360u);
    const uint8_t head[] = {'C', 'c', 'n', 'K', 0, 0, 0x01, 0x60, 'F', 'P', 'C', 'h', 0, 0, 0, 1, 'Q', 'f', 't', 'a'};
    EXPECT_EQ(std::memcmp(file.data(), head, sizeof head), 0);
    EXPECT_EQ(file[55], 0) << "the name keeps its terminator";
    EXPECT_EQ(file[56] * 16777216 + file[57] * 65536 + file[58] * 256 + file[59], 300);

    ProgramFile parsed;
    ASSERT_EQ(parsed.Parse(file.data(), file.size(), ID), ProgramFile::EError_None);
    EXPECT_EQ(parsed.PluginVersion(), 0x00010000);
    EXPECT_STREQ(parsed.Name(), "A scene with a name longer ");
    ASSERT_EQ(parsed.ChunkSize(), 300u);
    EXPECT_EQ(parsed.Chunk(), file.data() + 60);
}

// Nothing beyond the bytes given is ever read, whatever the header claims.
TEST(ProgramFile, RefusesWhatIsNotAWholeProgramOfThisPlugin)
{
    std::vector<uint8_t> file = MakeFile(40);
    ProgramFile parsed;
    EXPECT_EQ(parsed.Parse(file.data(), 59, ID), ProgramFile::EError_TooShort);
    EXPECT_EQ(parsed.Parse(file.data(), file.size() - 1, ID), ProgramFile::EError_BadSize);
    EXPECT_EQ(parsed.Parse(file.data(), file.size(), ID + 1), ProgramFile::EError_OtherPlugin);
    EXPECT_EQ(parsed.Parse(file.data(), file.size(), 0), ProgramFile::EError_None);

    std::vector<uint8_t> huge = file;
    huge[56] = 0xFF;  // chunkSize far beyond the file
    EXPECT_EQ(parsed.Parse(huge.data(), huge.size(), ID), ProgramFile::EError_BadSize);
    EXPECT_EQ(parsed.Chunk(), nullptr);

    std::vector<uint8_t> bank = file;
    std::memcpy(bank.data() + 8, "FBCh", 4);
    EXPECT_EQ(parsed.Parse(bank.data(), bank.size(), ID), ProgramFile::EError_NotAProgram);
    std::vector<uint8_t> text(file.size(), 'x');
    EXPECT_EQ(parsed.Parse(text.data(), text.size(), ID), ProgramFile::EError_NotAPreset);
}
