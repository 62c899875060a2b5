#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Configurable.h"
#include "MidiMapReader.h"
#include "TestFiles.h"

namespace {

class NameList : public ParameterNameList {
public:
    explicit NameList(std::vector<const char*> names) : mNames(std::move(names)) {}
    int NumParameterNames() const override { return static_cast<int>(mNames.size()); }
    const char* ParameterName(int index) const override { return mNames[index]; }

private:
    std::vector<const char*> mNames;
};

// Index 6 repeats index 0 in other case: the first in index order wins.
const NameList NAMES({"Tilt", "NoteProb", "Restore1", "MFlipH", "File Select", nullptr, "TILT",
                      "ABCDEFGHIJKLMNOPQRSTUVWXYZ"});
const int TILT = 0;
const int NOTE_PROB = 1;
const int RESTORE1 = 2;
const int MFLIPH = 3;

struct Line {
    int mKind;
    std::string mName;
    int mNumber;
    int mChannel;
    bool operator==(const Line& other) const
    {
        return mKind == other.mKind && mName == other.mName && mNumber == other.mNumber && mChannel == other.mChannel;
    }
};

std::ostream& operator<<(std::ostream& out, const Line& line)
{
    return out << "{" << line.mKind << ", " << line.mName << ", " << line.mNumber << ", " << line.mChannel << "}";
}

std::vector<Line> ReadAllLines(const std::string& path)
{
    std::vector<Line> lines;
    MidiMapReader reader;
    if (!reader.Open(path.c_str())) return lines;
    while (reader.ReadNext()) {
        lines.push_back({reader.GetKind(), reader.GetName(), reader.GetNumber(), reader.GetChannel()});
    }
    return lines;
}

struct Tables {
    MidiMapEntry mControl[MIDI_MAP_SIZE];
    MidiMapEntry mNote[MIDI_MAP_SIZE];
    int Load(const char* pValue, HomeDirectory& home) { return LoadMidiMap(pValue, home, NAMES, mControl, mNote); }
    int Mapped() const
    {
        int count = 0;
        for (int i = 0; i < MIDI_MAP_SIZE; ++i) count += (mControl[i].mParamIdx >= 0) + (mNote[i].mParamIdx >= 0);
        return count;
    }
};

const char* const EXAMPLE_MAP =
    "; map for a controller keyboard\n"
    "Tilt      cc1           ; mod wheel, channel 1\n"
    "NoteProb  CC7:16        ; volume fader, any channel\n"
    "Restore1  k36:9         ; pad on channel 10\n"
    "MFlipH    K37:9\n";

}  // namespace

TEST(MidiMapReader, ParsesKindNumberAndChannel)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    const std::string path = folder.Write("map.txt",
                                          "Tilt cc1\n"
                                          "  \tname\tcC 12 : 3 trailing words\n"
                                          "x K5:\n"
                                          "y kc\n"
                                          "z cc123456:78901\n"
                                          "w Cc:4\n"
                                          "single c5\n"
                                          "nokind 5\n"
                                          "joined=cc5\n"
                                          "; cc 1\n"
                                          "commented ;cc1\n"
                                          "\n"
                                          "v k9;:5\n"
                                          "lastline cc99:2");
    const std::vector<Line> expected = {{EMidiMapKind_ControlChange, "Tilt", 1, 0},
                                        {EMidiMapKind_ControlChange, "name", 12, 3},
                                        {EMidiMapKind_Note, "x", 5, 0},
                                        {EMidiMapKind_Note, "y", 0, 0},
                                        {EMidiMapKind_ControlChange, "z", 1234, 7890},
                                        {EMidiMapKind_ControlChange, "w", 0, 4},
                                        {EMidiMapKind_Note, "v", 9, 0},
                                        {EMidiMapKind_ControlChange, "lastline", 99, 2}};
    EXPECT_EQ(ReadAllLines(path), expected);
}

TEST(MidiMapReader, LineAndNameLimitsAndHighBytes)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    // Only 128 characters of a line count: the kind of the first line lies
    // beyond them, and the rest of that line must not become a line; the
    // cut of the last line leaves "cc12" of "cc127:15".
    const std::string path =
        folder.Write("map.txt", "far" + std::string(130, ' ') + "cc1 x cc2\n" + std::string(30, 'N') +
                                    " k3\r\n"
                                    "before k4\x80then k5\n"
                                    "crlf\r cc\r6\r:\r2\r\n"
                                    "edge" +
                                    std::string(120, ' ') + "cc127:15\n");
    const std::vector<Line> expected = {{EMidiMapKind_Note, std::string(24, 'N'), 3, 0},
                                        {EMidiMapKind_Note, "before", 4, 0},
                                        {EMidiMapKind_Note, "then", 5, 0},
                                        {EMidiMapKind_ControlChange, "crlf", 6, 2},
                                        {EMidiMapKind_ControlChange, "edge", 12, 0}};
    EXPECT_EQ(ReadAllLines(path), expected);
}

TEST(MidiMapReader, NoFileNoLines)
{
    MidiMapReader reader;
    EXPECT_FALSE(reader.ReadNext());
    EXPECT_FALSE(reader.Open(""));
    EXPECT_FALSE(reader.Open("/nonexistent-folder-of-tarvo/map.txt"));
    EXPECT_FALSE(reader.ReadNext());
}

TEST(MidiMap, ExampleFileFillsBothTables)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    folder.Write("TarvoMidiMap.txt", EXAMPLE_MAP);
    FakeHomeDirectory home(folder.File("Tarvo3.so"));
    Tables tables;
    ASSERT_EQ(tables.Load("TarvoMidiMap.txt", home), 4);
    EXPECT_EQ(tables.mControl[1].mParamIdx, TILT);
    EXPECT_EQ(tables.mControl[1].mChannelMask, 0x0001u);
    EXPECT_EQ(tables.mControl[7].mParamIdx, NOTE_PROB);
    EXPECT_EQ(tables.mControl[7].mChannelMask, 0xFFFFu);
    EXPECT_EQ(tables.mNote[36].mParamIdx, RESTORE1);
    EXPECT_EQ(tables.mNote[36].mChannelMask, 1u << 9);
    EXPECT_EQ(tables.mNote[37].mParamIdx, MFLIPH);
    EXPECT_EQ(tables.mNote[37].mChannelMask, 1u << 9);
    EXPECT_EQ(tables.Mapped(), 4);
    EXPECT_EQ(tables.mNote[1].mParamIdx, -1);
    EXPECT_EQ(tables.mNote[1].mChannelMask, 0u);
}

TEST(MidiMap, NamesMatchIgnoringCaseAndLaterLinesReplaceEarlier)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    folder.Write("map.txt",
                 "tilt cc1\n"
                 "NOTEPROB cc1:16\n"
                 "noteprob k60:15\n"
                 "mflipH k60:3\n"
                 "tilt cc2:17\n"
                 "TILT cc3:0\n"
                 "Unknown cc4\n"
                 "File Select k5\n"
                 "ABCDEFGHIJKLMNOPQRSTUVWXY cc6\n"
                 "abcdefghijklmnopqrstuvwx cc7\n");
    FakeHomeDirectory home(folder.File("Tarvo3.so"));
    Tables tables;
    ASSERT_EQ(tables.Load("map.txt", home), 6);
    EXPECT_EQ(tables.mControl[1].mParamIdx, NOTE_PROB);
    EXPECT_EQ(tables.mControl[1].mChannelMask, 0xFFFFu);
    EXPECT_EQ(tables.mNote[60].mParamIdx, MFLIPH);
    EXPECT_EQ(tables.mNote[60].mChannelMask, 1u << 3);
    EXPECT_EQ(tables.mControl[2].mChannelMask, 0xFFFFu);
    EXPECT_EQ(tables.mControl[3].mParamIdx, TILT);
    EXPECT_EQ(tables.mControl[3].mChannelMask, 1u);
    // Names with a space cannot be mapped, names longer than 24 are cut and
    // then match nothing, and a 24-character cut name matches nothing either.
    EXPECT_EQ(tables.mControl[4].mParamIdx, -1);
    EXPECT_EQ(tables.mNote[5].mParamIdx, -1);
    EXPECT_EQ(tables.mControl[6].mParamIdx, -1);
    EXPECT_EQ(tables.mControl[7].mParamIdx, -1);
    EXPECT_EQ(tables.Mapped(), 4);
}

TEST(MidiMap, NumbersOf128AndAboveAreSkipped)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    folder.Write("map.txt", "Tilt cc127\nTilt cc128\nTilt k9999\nTilt k12345\nTilt cc00127:1\n");
    FakeHomeDirectory home(folder.File("Tarvo3.so"));
    Tables tables;
    // 12345 counts as 1234; 00127 as 0012.
    ASSERT_EQ(tables.Load("map.txt", home), 2);
    EXPECT_EQ(tables.mControl[127].mParamIdx, TILT);
    EXPECT_EQ(tables.mControl[12].mParamIdx, TILT);
    EXPECT_EQ(tables.mControl[12].mChannelMask, 2u);
    EXPECT_EQ(tables.Mapped(), 2);
}

TEST(MidiMap, ChannelMasks)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    std::string text;
    for (int channel = 0; channel <= 20; ++channel) {
        text += "Tilt cc" + std::to_string(channel) + ":" + std::to_string(channel) + "\n";
    }
    text += "Tilt k1\nTilt k2:\nTilt k3:9999\n";
    folder.Write("map.txt", text);
    FakeHomeDirectory home(folder.File("Tarvo3.so"));
    Tables tables;
    ASSERT_EQ(tables.Load("map.txt", home), 24);
    for (int channel = 0; channel <= 15; ++channel) EXPECT_EQ(tables.mControl[channel].mChannelMask, 1u << channel);
    for (int channel = 16; channel <= 20; ++channel) EXPECT_EQ(tables.mControl[channel].mChannelMask, 0xFFFFu);
    EXPECT_EQ(tables.mNote[1].mChannelMask, 1u);
    EXPECT_EQ(tables.mNote[2].mChannelMask, 1u);
    EXPECT_EQ(tables.mNote[3].mChannelMask, 0xFFFFu);
}

TEST(MidiMap, RelativeNamesAreLookedUpInThePluginFolder)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    ASSERT_TRUE(std::filesystem::create_directory(folder.File("sub")));
    folder.Write("sub/my map.txt", "Tilt cc10\n");
    FakeHomeDirectory home(folder.File("Tarvo3.so"));
    Tables tables;
    ASSERT_EQ(tables.Load("sub/my map.txt", home), 1);
    EXPECT_EQ(tables.mControl[10].mParamIdx, TILT);

    FakeHomeDirectory elsewhere(folder.File("sub/Tarvo3.so"));
    Tables missing;
    EXPECT_EQ(missing.Load("TarvoMidiMap.txt", elsewhere), -1);
    EXPECT_EQ(missing.Mapped(), 0);

    FakeHomeDirectory noModule(folder.File("sub/Tarvo3.so"), false);
    EXPECT_EQ(missing.Load("my map.txt", noModule), -1);
    EXPECT_EQ(missing.Load("", home), -1);
}

TEST(MidiMap, AbsolutePathsAreUsedUnchanged)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    const std::string path = folder.Write("abs.txt", "Tilt cc11\n");
    FakeHomeDirectory home("/nonexistent-folder-of-tarvo/Tarvo3.so");
    Tables tables;
    ASSERT_EQ(tables.Load(path.c_str(), home), 1);
    EXPECT_EQ(tables.mControl[11].mParamIdx, TILT);

    // Files named like Windows paths, lying in the plug-in folder, must not
    // be found: those values are absolute and never joined to the folder.
    folder.Write("\\map.txt", "Tilt cc12\n");
    folder.Write("C:map.txt", "Tilt cc13\n");
    FakeHomeDirectory here(folder.File("Tarvo3.so"));
    Tables windowsStyle;
    EXPECT_EQ(windowsStyle.Load("\\map.txt", here), -1);
    EXPECT_EQ(windowsStyle.Load("C:map.txt", here), -1);
    // The same names without the absolute markers are relative.
    folder.Write("Cmap.txt", "Tilt cc14\n");
    EXPECT_EQ(windowsStyle.Load("Cmap.txt", here), 1);
}

TEST(MidiMap, ConfigurationDefaultNamesTheMapInTheHomeFolder)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    folder.Write("TarvoMidiMap.txt", "MFlipH K37:9\n");
    FakeHomeDirectory home(folder.File("Tarvo3.so"));
    Configuration configuration;
    EXPECT_FALSE(configuration.ReadFromModuleFolder(home));
    Tables tables;
    ASSERT_EQ(tables.Load(configuration.GetConfigurable(EConfigurable_MidiMap)->GetText(), home), 1);
    EXPECT_EQ(tables.mNote[37].mParamIdx, MFLIPH);

    folder.Write("Tarvo3.ini", "MidiMap \"\"\n");
    Configuration noMap;
    ASSERT_TRUE(noMap.ReadFromModuleFolder(home));
    Tables none;
    EXPECT_EQ(none.Load(noMap.GetConfigurable(EConfigurable_MidiMap)->GetText(), home), -1);
    EXPECT_EQ(none.Mapped(), 0);
}
