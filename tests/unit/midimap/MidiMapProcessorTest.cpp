// The processor with a configuration file and a MIDI map in its folder:
// mapped controllers and notes drive parameters on their channels.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "FakeHost.h"
#include "TempFolder.h"

namespace {

class MidiMapProcessor : public testing::Test {
protected:
    void SetUp() override
    {
        mFolder = mFiles.Path();
        WriteTextFile(mFolder + "/Tarvo3.ini",
                      "LowestOctave -2\nMidiMap maps.txt ; beside the module\nPalette Modifier\n");
        WriteTextFile(mFolder + "/maps.txt",
                      "Tilt      cc1           ; mod wheel, channel 1\n"
                      "NoteProb  CC7:16        ; volume fader, any channel\n"
                      "Restore1  k36:9         ; pad on channel 10\n"
                      "MFlipH    K37:9\n"
                      "tilt      cc2:3\n"
                      "Velocity  cc130\n"
                      "SeqOn     k0:15\n");
    }
    TempFolder mFiles;
    std::string mFolder;
};

}  // namespace

TEST_F(MidiMapProcessor, TablesFollowTheFile)
{
    FakeHost host(44100.0, 512, mFolder);
    Tarvo* pPlug = host.Plug();
    EXPECT_EQ(pPlug->ControlMapEntry(1).mParamIdx, EParam_Tilt);
    EXPECT_EQ(pPlug->ControlMapEntry(1).mChannelMask, 1u);
    EXPECT_EQ(pPlug->ControlMapEntry(7).mParamIdx, EParam_NoteProb);
    EXPECT_EQ(pPlug->ControlMapEntry(7).mChannelMask, 0xFFFFu);
    EXPECT_EQ(pPlug->ControlMapEntry(2).mChannelMask, 1u << 3);
    EXPECT_EQ(pPlug->NoteMapEntry(36).mParamIdx, EParam_Restore1);
    EXPECT_EQ(pPlug->NoteMapEntry(37).mChannelMask, 1u << 9);
    // "Velocity cc130" names no controller: entry 130 & 127 keeps the tilt.
    EXPECT_EQ(pPlug->ControlMapEntry(2).mParamIdx, EParam_Tilt);
    EXPECT_FALSE(pPlug->GetConfiguration().SingleClickPalette());
    EXPECT_EQ(host.ParamDisplay(EParam_Transp1), "D2");
}

TEST_F(MidiMapProcessor, MappedMessagesMoveParametersOnTheirChannelsOnly)
{
    FakeHost host(44100.0, 512, mFolder);
    host.SendMidi(0, 0xB0, 1, 127);  // controller 1, channel 1
    EXPECT_EQ(host.Plug()->GetParam(EParam_Tilt)->Value(), 1.0);
    host.SendMidi(0, 0xB1, 1, 0);  // channel 2: not mapped
    EXPECT_EQ(host.Plug()->GetParam(EParam_Tilt)->Value(), 1.0);
    host.SendMidi(0, 0xBC, 7, 0);  // any channel
    EXPECT_EQ(host.Plug()->GetParam(EParam_NoteProb)->Value(), 0.0);
    ASSERT_EQ(host.mAutomation.size(), 2u);
    EXPECT_EQ(host.mAutomation[0].mIndex, EParam_Tilt);
    EXPECT_EQ(host.mAutomation[1].mIndex, EParam_NoteProb);
    EXPECT_EQ(host.mEvents.size(), 3u);  // all three passed through

    // A note-on with velocity 0 still presses the mapped button.
    host.SetPlain(EParam_FirstCell + 2 * 17 + 3, 2);
    host.SendMidi(0, 0x99, 37, 0);
    EXPECT_EQ(host.Plug()->Grid().mRovers.mRovers[0].mCol, 5);
    host.SendMidi(0, 0x89, 37, 0);  // note-off: the button value 0 does nothing
    EXPECT_EQ(host.Plug()->Grid().mRovers.mRovers[0].mCol, 5);

    // Internal parameters move too, but the host only hears of its own.
    size_t told = host.mAutomation.size();
    host.SendMidi(0, 0x9F, 0, 100);
    EXPECT_EQ(host.Plug()->GetParam(EParam_SeqOn)->Value(), 1.0);
    EXPECT_EQ(host.mAutomation.size(), told + 1);
}
