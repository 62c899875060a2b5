// The example files shipped beside the plug-in (resources/package): every
// scale file gives the notes its name promises, the example configuration
// points the scale dialog at the shipped folder, and the example MIDI map
// maps nothing until the musician enables its lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Configurable.h"
#include "MidiMapReader.h"
#include "ScaleFile.h"

namespace {

const std::string PACKAGE = TARVO_PACKAGE_FOLDER;

struct ShippedScale {
    const char* mName;
    int mReference;
    std::vector<int> mSteps;  // semitones between neighbours, repeating
};

// The intended notes: 17 entries rising from the reference by the scale's
// steps, so that a wall spans more than two octaves.
std::vector<int> Intended(const ShippedScale& scale)
{
    std::vector<int> notes(1, scale.mReference);
    for (size_t i = 0; notes.size() < ScaleFile::MAX_VALUES; ++i)
        notes.push_back(notes.back() + scale.mSteps[i % scale.mSteps.size()]);
    return notes;
}

}  // namespace

TEST(PackageFiles, EveryScaleFileGivesItsIntendedNotes)
{
    const ShippedScale scales[] = {
        {"Major", 60, {2, 2, 1, 2, 2, 2, 1}},
        {"Natural Minor", 57, {2, 1, 2, 2, 1, 2, 2}},
        {"Harmonic Minor", 57, {2, 1, 2, 2, 1, 3, 1}},
        {"Dorian", 62, {2, 1, 2, 2, 2, 1, 2}},
        {"Phrygian", 64, {1, 2, 2, 2, 1, 2, 2}},
        {"Lydian", 65, {2, 2, 2, 1, 2, 2, 1}},
        {"Mixolydian", 67, {2, 2, 1, 2, 2, 1, 2}},
        {"Locrian", 59, {1, 2, 2, 1, 2, 2, 2}},
        {"Major Pentatonic", 60, {2, 2, 3, 2, 3}},
        {"Minor Pentatonic", 57, {3, 2, 2, 3, 2}},
        {"Blues", 57, {3, 2, 1, 1, 3, 2}},
        {"Whole Tone", 60, {2}},
        {"Chromatic", 60, {1}},
        {"Hirajoshi", 57, {2, 1, 4, 1, 4}},
        {"In Sen", 62, {1, 4, 2, 3, 2}},
        {"Hijaz", 62, {1, 3, 1, 2, 1, 2, 2}},
        {"Bhairav", 60, {1, 3, 1, 2, 1, 3, 1}},
        {"Pelog", 64, {1, 2, 4, 1, 4}},
    };
    for (const ShippedScale& scale : scales) {
        SCOPED_TRACE(scale.mName);
        ScaleFile file;
        ASSERT_TRUE(file.Load((PACKAGE + "/Scales/" + scale.mName + ".txt").c_str()));
        EXPECT_EQ(std::vector<int>(file.mValues, file.mValues + file.mCount), Intended(scale));
        EXPECT_EQ(std::string(file.mName), scale.mName);
    }
}

TEST(PackageFiles, TheDrumMapHoldsGeneralMidiDrumNotesOnly)
{
    ScaleFile file;
    ASSERT_TRUE(file.Load((PACKAGE + "/Scales/GM Drums.txt").c_str()));
    ASSERT_EQ(file.mCount, +ScaleFile::MAX_VALUES);
    // Entry 0 is the reference a wall's Transpose moves: at 36 every entry
    // sounds as written.
    EXPECT_EQ(file.mValues[0], 36);
    for (int i = 0; i < file.mCount; ++i) {
        EXPECT_GE(file.mValues[i], 35) << i;
        EXPECT_LE(file.mValues[i], 81) << i;
    }
}

TEST(PackageFiles, TheExampleConfigurationUsesTheShippedScaleFolderAndTheDefaults)
{
    Configuration configuration;
    ASSERT_TRUE(configuration.ReadFile((PACKAGE + "/Tarvo3.ini").c_str()));
    EXPECT_STREQ(configuration.GetConfigurable(EConfigurable_ScaleFolder)->GetText(), "Scales");
    EXPECT_STREQ(configuration.GetConfigurable(EConfigurable_MidiMap)->GetText(), "TarvoMidiMap.txt");
    EXPECT_EQ(configuration.LowestOctave(), 0);
    EXPECT_TRUE(configuration.SingleClickPalette());
}

TEST(PackageFiles, TheExampleMidiMapMapsNothingUntilEnabled)
{
    MidiMapReader reader;
    ASSERT_TRUE(reader.Open((PACKAGE + "/TarvoMidiMap.txt").c_str()));
    EXPECT_FALSE(reader.ReadNext()) << "an active mapping: " << reader.GetName();
}
