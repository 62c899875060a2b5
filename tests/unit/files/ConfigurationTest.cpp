#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Configurable.h"
#include "ConfigurationFileReader.h"
#include "FileFolders.h"
#include "TestFiles.h"
#include "framework/plugin/ModuleFile.h"

namespace {

typedef std::vector<std::pair<std::string, std::string>> Entries;

Entries ReadAllEntries(const std::string& path)
{
    Entries entries;
    ConfigurationFileReader reader;
    if (!reader.Open(path.c_str())) return entries;
    while (reader.ReadEntry()) entries.emplace_back(reader.GetKey(), reader.GetValue());
    return entries;
}

std::string Parse(const char* pLine, int maxlen, int* pConsumed)
{
    std::vector<char> destination(maxlen + 1, 'X');
    const char* pEnd = ConfigurationFileReader::ParseToken(pLine, destination.data(), maxlen);
    *pConsumed = static_cast<int>(pEnd - pLine);
    return std::string(destination.data());
}

}  // namespace

TEST(ParseToken, SplitsAtBlanksAndHonoursBothQuotes)
{
    int consumed = 0;
    EXPECT_EQ(Parse(" \t key value", 40, &consumed), "key");
    EXPECT_EQ(consumed, 6);
    EXPECT_EQ(Parse("\"C:\\My Scales\" rest", 512, &consumed), "C:\\My Scales");
    EXPECT_EQ(consumed, 14);
    EXPECT_EQ(Parse("'say \"hi\"'x", 512, &consumed), "say \"hi\"");
    EXPECT_EQ(consumed, 10);
    // An unclosed quote runs to the end of the line.
    EXPECT_EQ(Parse("\"open to the end", 512, &consumed), "open to the end");
    EXPECT_EQ(consumed, 16);
    EXPECT_EQ(Parse("\"\" after", 512, &consumed), "");
    EXPECT_EQ(consumed, 2);
    EXPECT_EQ(Parse("   ", 40, &consumed), "");
    EXPECT_EQ(consumed, 3);
}

TEST(ParseToken, CutsLongTokensButSkipsThemWhole)
{
    int consumed = 0;
    const std::string longWord(50, 'k');
    EXPECT_EQ(Parse((longWord + " next").c_str(), 40, &consumed), std::string(40, 'k'));
    EXPECT_EQ(consumed, 50);
    const std::string quoted = "\"" + std::string(600, 'v') + "\" tail";
    EXPECT_EQ(Parse(quoted.c_str(), 512, &consumed), std::string(512, 'v'));
    EXPECT_EQ(consumed, 602);
    EXPECT_EQ(Parse("ab", 1, &consumed), "a");
    EXPECT_EQ(consumed, 2);
}

TEST(ConfigurationFileReader, ReadsEntriesSkippingBlankAndCommentLines)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    const std::string path = folder.Write("a.ini",
                                          "; comment line\n"
                                          "\n"
                                          "   \t  \n"
                                          "ScaleFolder \"/home/me/My Scales\" ; where scales live\n"
                                          "Palette\tModifier extra words\n"
                                          "NoValue\n"
                                          "MidiMap=map.txt\n"
                                          "Quoted 'a ; b'\n"
                                          "\"\" orphan value\n"
                                          "Last final");
    const Entries expected = {{"ScaleFolder", "/home/me/My Scales"},
                              {"Palette", "Modifier"},
                              {"NoValue", ""},
                              {"MidiMap=map.txt", ""},
                              {"Quoted", "a "},
                              {"Last", "final"}};
    EXPECT_EQ(ReadAllEntries(path), expected);
}

TEST(ConfigurationFileReader, CarriageReturnsAndHighBytes)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    // A byte of 0x80 or above ends the line and is dropped; the rest of that
    // physical line is read as a line of its own.
    const std::string path = folder.Write("b.ini",
                                          "One 1\r\n"
                                          "Two 'x\ry'\r\n"
                                          "Three 3\xE9"
                                          "Four 4\n"
                                          "Five \xFF\xFE"
                                          "Six 6\r\n");
    const Entries expected = {{"One", "1"}, {"Two", "xy"}, {"Three", "3"}, {"Four", "4"}, {"Five", ""}, {"Six", "6"}};
    EXPECT_EQ(ReadAllEntries(path), expected);
}

TEST(ConfigurationFileReader, OverLongLineKeepsItsFirst1024Characters)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    // The value starts at column 1000, so the cut of the line shows in it.
    std::string line = "Key" + std::string(997, ' ') + std::string(500, 'v');
    ASSERT_EQ(line.size(), 1500u);
    const std::string path = folder.Write("c.ini", line + "\nNext line\n");
    const Entries expected = {{"Key", std::string(24, 'v')}, {"Next", "line"}};
    EXPECT_EQ(ReadAllEntries(path), expected);
}

TEST(ConfigurationFileReader, KeysAndValuesAreCutTo40And512)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    const std::string path =
        folder.Write("d.ini", std::string(45, 'k') + " \"" + std::string(700, 'v') + "\"\nafter it\n");
    const Entries expected = {{std::string(40, 'k'), std::string(512, 'v')}, {"after", "it"}};
    EXPECT_EQ(ReadAllEntries(path), expected);
}

TEST(ConfigurationFileReader, NothingToReadWithoutAFile)
{
    ConfigurationFileReader reader;
    EXPECT_FALSE(reader.ReadEntry());
    EXPECT_FALSE(reader.Open(""));
    EXPECT_FALSE(reader.Open("/nonexistent-folder-of-tarvo/Tarvo3.ini"));
    EXPECT_FALSE(reader.ReadEntry());
    EXPECT_STREQ(reader.GetKey(), "");
}

TEST(Configuration, DefaultsInIndexOrder)
{
    Configuration configuration;
    ASSERT_EQ(configuration.GetSize(), 6);
    const char* keys[] = {"ScaleFolder", "MidiMap", "LowestOctave", "Palette", "SceneFolder", "UserSceneFolder"};
    const char* texts[] = {"", "TarvoMidiMap.txt", "0", "Single", "Scenes", ""};
    for (int i = 0; i < 6; ++i) {
        EXPECT_STREQ(configuration.GetConfigurable(i)->GetName(), keys[i]);
        EXPECT_STREQ(configuration.GetConfigurable(i)->GetText(), texts[i]);
        EXPECT_EQ(configuration.GetConfigurable(i)->GetNumber(), 0.0);
    }
    EXPECT_EQ(configuration.LowestOctave(), 0);
    EXPECT_TRUE(configuration.SingleClickPalette());
    EXPECT_EQ(configuration.FindConfigurable("MidiMap"), configuration.GetConfigurable(EConfigurable_MidiMap));
    EXPECT_EQ(configuration.FindConfigurable("midimap"), nullptr);
    EXPECT_EQ(configuration.FindConfigurable(""), nullptr);
}

TEST(Configuration, MissingFileKeepsDefaults)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    Configuration configuration;
    EXPECT_FALSE(configuration.ReadFile(folder.File("absent.ini").c_str()));
    EXPECT_FALSE(configuration.ReadFile(""));
    EXPECT_STREQ(configuration.GetConfigurable(EConfigurable_MidiMap)->GetText(), "TarvoMidiMap.txt");
    EXPECT_STREQ(configuration.GetConfigurable(EConfigurable_Palette)->GetText(), "Single");
}

TEST(Configuration, FileSetsTextAndNumberAndLastEntryWins)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    const std::string path = folder.Write("Tarvo3.ini",
                                          "ScaleFolder \"/data/My Scales\" ; my folder\n"
                                          "midimap other.txt\n"
                                          "MidiMap first.txt\n"
                                          "MidiMap 'second map.txt'\n"
                                          "LowestOctave -1\n"
                                          "Unknown 5\n"
                                          "Palette\n");
    Configuration configuration;
    ASSERT_TRUE(configuration.ReadFile(path.c_str()));
    EXPECT_STREQ(configuration.GetConfigurable(EConfigurable_ScaleFolder)->GetText(), "/data/My Scales");
    EXPECT_STREQ(configuration.GetConfigurable(EConfigurable_MidiMap)->GetText(), "second map.txt");
    EXPECT_STREQ(configuration.GetConfigurable(EConfigurable_LowestOctave)->GetText(), "-1");
    EXPECT_EQ(configuration.GetConfigurable(EConfigurable_LowestOctave)->GetNumber(), -1.0);
    EXPECT_EQ(configuration.LowestOctave(), -1);
    // A key without a value empties the item.
    EXPECT_STREQ(configuration.GetConfigurable(EConfigurable_Palette)->GetText(), "");
    EXPECT_FALSE(configuration.SingleClickPalette());
}

TEST(Configuration, LowestOctaveOutsideMinusTwoToZeroCountsAsZero)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    const std::pair<const char*, int> cases[] = {{"-2", -2}, {"-1", -1},  {"0", 0},   {"-3", 0},          {"1", 0},
                                                 {"5", 0},   {"-1x", -1}, {"abc", 0}, {"-99999999999", 0}};
    for (const auto& c : cases) {
        const std::string path = folder.Write("Tarvo3.ini", std::string("LowestOctave ") + c.first + "\n");
        Configuration configuration;
        ASSERT_TRUE(configuration.ReadFile(path.c_str()));
        EXPECT_EQ(configuration.LowestOctave(), c.second) << c.first;
    }
}

TEST(Configuration, PaletteComparedWithSingleIgnoringCase)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    const std::pair<const char*, bool> cases[] = {{"single", true},   {"SINGLE", true},   {"Single", true},
                                                  {"Palette", false}, {"Singles", false}, {"Sing", false}};
    for (const auto& c : cases) {
        const std::string path = folder.Write("Tarvo3.ini", std::string("Palette ") + c.first + "\n");
        Configuration configuration;
        ASSERT_TRUE(configuration.ReadFile(path.c_str()));
        EXPECT_EQ(configuration.SingleClickPalette(), c.second) << c.first;
    }
}

TEST(Configuration, ParseIntegerReadsTheLeadingIntegerLikeAtoi)
{
    EXPECT_EQ(Configuration::ParseInteger("42"), 42);
    EXPECT_EQ(Configuration::ParseInteger("  -7 octaves"), -7);
    EXPECT_EQ(Configuration::ParseInteger("+3"), 3);
    EXPECT_EQ(Configuration::ParseInteger("0060"), 60);
    EXPECT_EQ(Configuration::ParseInteger("x1"), 0);
    EXPECT_EQ(Configuration::ParseInteger("-"), 0);
    EXPECT_EQ(Configuration::ParseInteger(""), 0);
    EXPECT_EQ(Configuration::ParseInteger("2147483647"), 2147483647);
    EXPECT_EQ(Configuration::ParseInteger("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(Configuration::ParseInteger("99999999999999999999999"), 2147483647);
    EXPECT_EQ(Configuration::ParseInteger("-99999999999999999999999"), -2147483647 - 1);
}

TEST(HomeDirectory, FolderOfTheModuleWithoutTrailingSeparator)
{
    FakeHomeDirectory home("/opt/vst/Tarvo3.so");
    ASSERT_TRUE(home.GetHomeDirectory());
    EXPECT_STREQ(home.GetFolder(), "/opt/vst");
    EXPECT_STREQ(home.MakeHomePath("Tarvo3.ini"), "/opt/vst/Tarvo3.ini");

    FakeHomeDirectory atRoot("/Tarvo3.so");
    EXPECT_STREQ(atRoot.MakeHomePath("Tarvo3.ini"), "/Tarvo3.ini");

    FakeHomeDirectory bare("Tarvo3.so");
    ASSERT_TRUE(bare.GetHomeDirectory());
    EXPECT_STREQ(bare.GetFolder(), ".");
}

TEST(HomeDirectory, BackslashIsAFileNameCharacterOnLinux)
{
    if (HomeDirectory::SEPARATOR != '/') GTEST_SKIP() << "only where \"/\" separates folders";
    FakeHomeDirectory home("/opt/odd\\name/Tarvo3.so");
    ASSERT_TRUE(home.GetHomeDirectory());
    EXPECT_STREQ(home.GetFolder(), "/opt/odd\\name");
}

TEST(HomeDirectory, FailsWithoutModuleNameOrWhenThePathIsTooLong)
{
    FakeHomeDirectory missing("/opt/vst/Tarvo3.so", false);
    EXPECT_FALSE(missing.GetHomeDirectory());
    EXPECT_STREQ(missing.GetFolder(), "");
    EXPECT_STREQ(missing.MakeHomePath("Tarvo3.ini"), "");

    // Folder + separator + name may reach 1024 characters, not more.
    const std::string folder = "/" + std::string(1012, 'f');
    FakeHomeDirectory home(folder + "/Tarvo3.so");
    const std::string fits(1024 - folder.size() - 1, 'n');
    EXPECT_EQ(std::string(home.MakeHomePath(fits.c_str())), folder + "/" + fits);
    EXPECT_STREQ(home.MakeHomePath((fits + "n").c_str()), "");
    // The buffer serves the next call afresh.
    EXPECT_EQ(std::string(home.MakeHomePath("x")), folder + "/x");
}

TEST(Configuration, ReadsTarvo3IniFromTheModuleFolder)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    folder.Write("Tarvo3.ini", "Palette Modifiers\nLowestOctave -2\n");
    FakeHomeDirectory home(folder.File("Tarvo3.so"));
    Configuration configuration;
    ASSERT_TRUE(configuration.ReadFromModuleFolder(home));
    EXPECT_FALSE(configuration.SingleClickPalette());
    EXPECT_EQ(configuration.LowestOctave(), -2);

    FakeHomeDirectory elsewhere(folder.File("sub/Tarvo3.so"));
    Configuration untouched;
    EXPECT_FALSE(untouched.ReadFromModuleFolder(elsewhere));
    EXPECT_TRUE(untouched.SingleClickPalette());
}

TEST(FileFolders, RelativeFoldersAreTakenFromThePluginsFolderAndTheUserSceneFolderHasADefault)
{
    if (HomeDirectory::SEPARATOR != '/') GTEST_SKIP() << "paths written with \"/\"";
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    FakeHomeDirectory home(folder.File("Tarvo3.so"));
    const std::string data = folder.File("data");
    setenv("XDG_DATA_HOME", data.c_str(), 1);

    // The defaults: the dialog's own folder for scales, "Scenes" beside the
    // plug-in, the user's data folder for saved scenes.
    Configuration defaults;
    FileFolders folders;
    folders.Resolve(defaults, home);
    EXPECT_EQ(folders.ScaleFolder(), "");
    EXPECT_EQ(folders.SceneFolder(), folder.File("Scenes"));
    EXPECT_EQ(folders.UserSceneFolder(), data + "/Tarvo3/Scenes");
    // A relative XDG_DATA_HOME is no data folder: ~/.local/share is.
    setenv("XDG_DATA_HOME", "relative/data", 1);
    setenv("HOME", folder.Path().c_str(), 1);
    folders.Resolve(defaults, home);
    EXPECT_EQ(folders.UserSceneFolder(), folder.Path() + "/.local/share/Tarvo3/Scenes");
    unsetenv("XDG_DATA_HOME");

    // Relative folders from the configuration, quoted with a space, and
    // absolute ones as written; the last entry wins.
    folder.Write("Tarvo3.ini",
                 "ScaleFolder Scales\n"
                 "SceneFolder \"My Scenes\" ; beside the plug-in\n"
                 "UserSceneFolder /tmp/elsewhere\n"
                 "UserSceneFolder /srv/scenes\n");
    Configuration configured;
    ASSERT_TRUE(configured.ReadFromModuleFolder(home));
    folders.Resolve(configured, home);
    EXPECT_EQ(folders.ScaleFolder(), folder.File("Scales"));
    EXPECT_EQ(folders.SceneFolder(), folder.File("My Scenes"));
    EXPECT_EQ(folders.UserSceneFolder(), "/srv/scenes");
    // Without a home directory a relative folder stays as written.
    FakeHomeDirectory unknown(folder.File("Tarvo3.so"), false);
    EXPECT_EQ(FileFolders::FromHome("Scales", unknown), "Scales");
    EXPECT_EQ(FileFolders::FromHome("C:\\Scales", home), "C:\\Scales");
}
