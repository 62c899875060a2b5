#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ScaleFile.h"
#include "TestFiles.h"

namespace {

std::vector<int> Values(const ScaleFile& scale)
{
    return std::vector<int>(scale.mValues, scale.mValues + scale.mCount);
}

// The value a file of a single line yields, or -1 when the line is skipped.
int ValueOfLine(const TempFolder& folder, const std::string& line)
{
    ScaleFile scale;
    scale.Load(folder.Write("line.scl", line).c_str());
    return scale.mCount == 1 ? scale.mValues[0] : -1;
}

}  // namespace

TEST(ScaleFile, ReadsTheCommentedMinorScale)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    const std::string path = folder.Write("minor.txt",
                                          "; natural minor from A\n"
                                          "57  ; A\n59\n60\n62\n64\n65\n67\n");
    ScaleFile scale;
    ASSERT_TRUE(scale.Load(path.c_str()));
    EXPECT_EQ(Values(scale), (std::vector<int>{57, 59, 60, 62, 64, 65, 67}));
    EXPECT_STREQ(scale.mName, "minor");
    EXPECT_EQ(std::string(scale.mPath), path);
    for (int i = scale.mCount; i < ScaleFile::MAX_VALUES; ++i) EXPECT_EQ(scale.mValues[i], 0);
}

TEST(ScaleFile, LineRules)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    EXPECT_EQ(ValueOfLine(folder, "60;C"), 60);
    EXPECT_EQ(ValueOfLine(folder, "  \t60 C4"), 60);
    EXPECT_EQ(ValueOfLine(folder, "60\tC4"), 60);
    EXPECT_EQ(ValueOfLine(folder, "60C"), -1);
    EXPECT_EQ(ValueOfLine(folder, "-60"), -1);
    EXPECT_EQ(ValueOfLine(folder, "+60"), -1);
    EXPECT_EQ(ValueOfLine(folder, "123456789"), -1);
    EXPECT_EQ(ValueOfLine(folder, "12345678"), 12345678);
    EXPECT_EQ(ValueOfLine(folder, "0060"), 60);
    EXPECT_EQ(ValueOfLine(folder, "0"), 0);
    EXPECT_EQ(ValueOfLine(folder, "6\r0\r\n"), 60);
    EXPECT_EQ(ValueOfLine(folder, "; 60"), -1);
    EXPECT_EQ(ValueOfLine(folder, "C4 60"), -1);
    EXPECT_EQ(ValueOfLine(folder, "\xC3\xA9 60"), -1);
    EXPECT_EQ(ValueOfLine(folder, ""), -1);
    EXPECT_EQ(ValueOfLine(folder, "    12345678     x"), 12345678);
}

TEST(ScaleFile, LongLinesAreDroppedAfterTheCountedPart)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    EXPECT_EQ(ValueOfLine(folder, "12 " + std::string(10, 'x') + "9999999999"), 12);
    EXPECT_EQ(ValueOfLine(folder, "1234567890123"), -1);
    EXPECT_EQ(ValueOfLine(folder, std::string(2000, ' ') + "61"), 61);
    ScaleFile scale;
    ASSERT_TRUE(
        scale.Load(folder.Write("long", "62" + std::string(2000, ' ') + "x\n63 " + std::string(3000, '7')).c_str()));
    EXPECT_EQ(Values(scale), (std::vector<int>{62, 63}));
}

TEST(ScaleFile, ReadsALastLineWithoutLineFeedAndCrLfFiles)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    ScaleFile scale;
    ASSERT_TRUE(scale.Load(folder.Write("crlf", "50\r\n52\r\n\r\n53").c_str()));
    EXPECT_EQ(Values(scale), (std::vector<int>{50, 52, 53}));
}

TEST(ScaleFile, StopsAfterSeventeenValues)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    std::string text;
    for (int i = 0; i < 20; ++i) text += std::to_string(40 + i) + "\n; between\n";
    ScaleFile scale;
    ASSERT_TRUE(scale.Load(folder.Write("twenty", text).c_str()));
    ASSERT_EQ(scale.mCount, 17);
    EXPECT_EQ(scale.mValues[0], 40);
    EXPECT_EQ(scale.mValues[16], 56);
}

TEST(ScaleFile, ReloadStartsFromScratch)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    ScaleFile scale;
    ASSERT_TRUE(scale.Load(folder.Write("first", "1\n2\n3\n").c_str()));
    ASSERT_TRUE(scale.Load(folder.Write("second", "9\n").c_str()));
    EXPECT_EQ(Values(scale), std::vector<int>{9});
    EXPECT_EQ(scale.mValues[1], 0);
    EXPECT_STREQ(scale.mName, "second");
}

TEST(ScaleFile, MissingFileGivesNoValuesButAName)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    ScaleFile scale;
    ASSERT_TRUE(scale.Load(folder.Write("old", "5\n6\n").c_str()));
    EXPECT_FALSE(scale.Load(folder.File("gone.scale").c_str()));
    EXPECT_EQ(scale.mCount, 0);
    EXPECT_EQ(scale.mValues[0], 0);
    EXPECT_STREQ(scale.mName, "gone");
}

TEST(ScaleFile, NameDerivation)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/any/folder/my.major.scale", "my.major"},
        {"C:\\Scales\\dorian.txt", "dorian"},
        {"C:dorian.txt", "dorian"},
        {"mixed/folder\\lydian", "lydian"},
        {".hidden", ".hidden"},
        {"/x/.hidden", ".hidden"},
        {"trailing.", "trailing"},
        {"/x/..double", "."},
        {"noextension", "noextension"},
        {"/folder.with.dots/plain", "plain"},
        {"/folder/", ""},
    };
    for (const auto& c : cases) {
        ScaleFile scale;
        EXPECT_FALSE(scale.Load(c.first));
        EXPECT_STREQ(scale.mName, c.second) << c.first;
    }
}

TEST(ScaleFile, LongPathIsCutTo256Characters)
{
    const std::string path = "/" + std::string(300, 'p') + ".txt";
    ScaleFile scale;
    EXPECT_FALSE(scale.Load(path.c_str()));
    EXPECT_EQ(std::strlen(scale.mPath), 256u);
    EXPECT_EQ(std::string(scale.mName), std::string(255, 'p'));
}
