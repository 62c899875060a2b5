// What the processor shows through its view: host values on the knobs
// within a tick, the panel switches, a restored pattern's size on the size
// knobs, the sequencer panel redrawn on a new step count, MIDI-mapped
// parameters through the bound controls, and the scale name.
#include <cstdio>
#include <cstring>

#include "EditorTestSupport.h"
#include "TempFolder.h"
#include "framework/gui/IKnobMultiControl.h"

namespace {

void ExpectPanels(EditorHost& host, bool patternShown)
{
    const ControlGroup& pattern = host.Gui().PatternPanel();
    const ControlGroup& sequencer = host.Gui().SequencerPanel();
    EXPECT_EQ(pattern.IsHidden(), !patternShown);
    EXPECT_EQ(sequencer.IsHidden(), patternShown);
    for (int i = 0; i < pattern.NControls(); ++i) EXPECT_EQ(pattern.GetControl(i)->IsHidden(), !patternShown);
    for (int i = 0; i < sequencer.NControls(); ++i) EXPECT_EQ(sequencer.GetControl(i)->IsHidden(), patternShown);
    EXPECT_EQ(host.Bound(EParam_PnlPatt)->Value(), patternShown ? 1.0 : 0.0);
    EXPECT_EQ(host.Bound(EParam_PnlSeq)->Value(), patternShown ? 0.0 : 1.0);
}

}  // namespace

TEST(EditorView, AHostValueMovesItsKnobAndReadOutWithinOneTick)
{
    EditorHost host;
    host.Open();
    IControl* pTilt = host.Bound(EParam_Tilt);
    host.SetParam(EParam_Tilt, 0.25);
    // Nothing touches the control before the editor's own tick.
    EXPECT_EQ(pTilt->Value(), 0.5);
    EXPECT_EQ(host.ReadOutText(EParam_Tilt), "0.50");
    host.Tick();
    EXPECT_EQ(pTilt->Value(), 0.25);
    EXPECT_EQ(host.ReadOutText(EParam_Tilt), "0.25");

    // Values set while the editor is closed are there when it opens.
    host.Effect()->dispatcher(host.Effect(), effEditClose, 0, 0, nullptr, 0.0f);
    host.SetPlain(EParam_Velocity, 100);
    host.Open();
    EXPECT_EQ(host.ReadOutText(EParam_Velocity), "100");
}

TEST(EditorView, PanelSwitchesShowOnePanelAndKeepTheShownOneOn)
{
    EditorHost host;
    host.Open();
    ExpectPanels(host, true);

    host.SetParam(EParam_PnlSeq, 1.0);
    host.Tick();
    ExpectPanels(host, false);
    EXPECT_FALSE(host.Plug()->PatternPanelShown());

    // Switching the shown panel's switch off changes nothing.
    host.SetParam(EParam_PnlSeq, 0.0);
    host.Tick();
    ExpectPanels(host, false);

    host.SetParam(EParam_PnlPatt, 1.0);
    host.Tick();
    ExpectPanels(host, true);

    // The same through the editor: a click on the shown panel's switch
    // turns it off for a moment, and it comes back on.
    host.ClickBound(EParam_PnlPatt);
    host.Tick();
    ExpectPanels(host, true);
    host.ClickBound(EParam_PnlSeq);
    host.Tick();
    ExpectPanels(host, false);
    // A hidden contact takes no click: the "Lock" label lies there now.
    host.Click(80, 630);
    EXPECT_TRUE(host.AutomationOf(EParam_Restore1).empty());
}

TEST(EditorView, PanelsShownWhileTheEditorIsClosedAreThereWhenItOpens)
{
    EditorHost host;
    host.SetParam(EParam_PnlSeq, 1.0);
    host.Open();
    ExpectPanels(host, false);
}

TEST(EditorView, RestoreMovesTheSizeKnobsAndTheHostHearsTheSize)
{
    EditorHost host;
    host.Open();
    host.SetPlain(EParam_NumRows, 5);
    host.SetPlain(EParam_NumColums, 12);
    host.SetParam(EParam_Save1 + 2, 1.0);
    host.SetPlain(EParam_NumRows, 9);
    host.SetPlain(EParam_NumColums, 9);
    host.Tick();
    EXPECT_EQ(host.ReadOutText(EParam_NumRows), "9");
    host.mAutomation.clear();

    host.SetParam(EParam_Restore1 + 2, 1.0);
    EXPECT_EQ(host.Plug()->Grid().mNumRows, 5);
    EXPECT_EQ(host.Plug()->Grid().mNumCols, 12);
    IPlugParam* pRows = host.Plug()->GetParam(EParam_NumRows);
    IPlugParam* pCols = host.Plug()->GetParam(EParam_NumColums);
    EXPECT_EQ(pRows->Value(), 5.0);
    EXPECT_EQ(pCols->Value(), 12.0);
    ASSERT_EQ(host.AutomationOf(EParam_NumRows).size(), 1u);
    EXPECT_FLOAT_EQ(host.AutomationOf(EParam_NumRows)[0], static_cast<float>(pRows->ToNormalized(5.0)));
    ASSERT_EQ(host.AutomationOf(EParam_NumColums).size(), 1u);
    EXPECT_FLOAT_EQ(host.AutomationOf(EParam_NumColums)[0], static_cast<float>(pCols->ToNormalized(12.0)));

    host.Tick();
    EXPECT_DOUBLE_EQ(host.Gui().RowsKnob()->Value(), pRows->ToNormalized(5.0));
    EXPECT_DOUBLE_EQ(host.Gui().ColumnsKnob()->Value(), pCols->ToNormalized(12.0));
    EXPECT_EQ(host.ReadOutText(EParam_NumRows), "5");
    EXPECT_EQ(host.ReadOutText(EParam_NumColums), "12");
}

TEST(EditorView, ANewStepCountRedrawsTheSequencerPanel)
{
    EditorHost host;
    host.SetParam(EParam_PnlSeq, 1.0);
    host.Open();
    host.Tick();
    OffscreenScript& script = Offscreen(host.Window());
    host.SetPlain(EParam_SeqNStep, 8);
    host.Tick();
    // The knob and its read-out alone would be (82, 490, 152, 522); the
    // blit covers the labels and all 64 step switches as well.
    ControlRect blit = script.mLastBlit;
    EXPECT_LE(blit.mLeft, 75);
    EXPECT_LE(blit.mTop, 490);
    EXPECT_GE(blit.mRight, 120 + 15 * 31 + 13);
    EXPECT_GE(blit.mBottom, 644);

    // The same count again redraws nothing of the panel (a tick first lets
    // the knob finish its redraw).
    host.Tick();
    int blits = script.mBlits;
    host.SetPlain(EParam_SeqNStep, 8);
    host.Tick();
    EXPECT_EQ(script.mBlits, blits);
    // Redrawing sends nothing: the host never hears of the step switches.
    for (const AutomationCall& call : host.mAutomation) EXPECT_LT(call.mIndex, EParam_FirstLock);
}

TEST(EditorView, MidiMappedValuesGoThroughTheBoundControls)
{
    EditorHost host;
    host.Open();
    Tarvo* pPlug = host.Plug();
    {
        ScopedLock lock(pPlug->Lock());
        pPlug->SetParameterFromMidi(EParam_Tilt, 1.0);
    }
    // The parameter changes at once, as the music needs; the knob follows on
    // the next tick; the host is told once.
    EXPECT_EQ(host.Value(EParam_Tilt), 1.0);
    EXPECT_EQ(pPlug->Notes().mTilt, 1.0);
    ASSERT_EQ(host.AutomationOf(EParam_Tilt).size(), 1u);
    EXPECT_EQ(host.AutomationOf(EParam_Tilt)[0], 1.0f);
    host.Tick();
    EXPECT_EQ(host.Bound(EParam_Tilt)->Value(), 1.0);
    EXPECT_EQ(host.ReadOutText(EParam_Tilt), "1.00");

    // A parameter no control shows is left alone, and the host hears nothing.
    {
        ScopedLock lock(pPlug->Lock());
        EXPECT_FALSE(host.Gui().ShownValue(EParam_ScaleLoad, nullptr));
        pPlug->SetParameterFromMidi(EParam_ScaleLoad, 1.0);
    }
    EXPECT_EQ(host.Value(EParam_ScaleLoad), 0.0);
    EXPECT_TRUE(host.AutomationOf(EParam_ScaleLoad).empty());

    // A mapped note on a panel switch: the note-off that follows does not
    // switch the shown panel's switch off.
    {
        ScopedLock lock(pPlug->Lock());
        pPlug->SetParameterFromMidi(EParam_PnlSeq, 1.0);
        pPlug->SetParameterFromMidi(EParam_PnlSeq, 0.0);
    }
    host.Tick();
    ExpectPanels(host, false);
}

// A real map file in the configuration folder: controllers and notes from
// the host's MIDI input.
class EditorMidiMap : public testing::Test {
protected:
    void SetUp() override
    {
        mFolder = mFiles.Path();
        mScaleFolder = testing::TempDir() + "tarvo-scales";
        WriteTextFile(mFolder + "/Tarvo3.ini",
                      ("MidiMap editor-map.txt\nScaleFolder \"" + mScaleFolder + "\"\n").c_str());
        WriteTextFile(mFolder + "/editor-map.txt", "Tilt cc1\nMFlipH k37\nSeqOn cc9\n");
    }
    TempFolder mFiles;
    std::string mFolder;
    std::string mScaleFolder;
};

TEST_F(EditorMidiMap, ControllersAndNotesMoveTheirControls)
{
    EditorHost host(mFolder);
    host.Open();
    host.SendMidi(0, 0xB0, 1, 0);  // controller 1 to 0
    host.SendMidi(0, 0xB0, 9, 0);  // SeqOn off
    EXPECT_EQ(host.Value(EParam_Tilt), 0.0);
    EXPECT_FALSE(host.Plug()->SequencerOn());
    host.Tick();
    EXPECT_EQ(host.ReadOutText(EParam_Tilt), "0.00");
    EXPECT_EQ(host.Bound(EParam_SeqOn)->Value(), 0.0);
    EXPECT_EQ(host.AutomationOf(EParam_Tilt), std::vector<float>{0.0f});

    // A pad on a grid transform fires it; the button resets itself.
    host.SetPlain(EParam_FirstCell + 2 * 17 + 0, 2);  // a rover heading E at (2, 0)
    host.SendMidi(0, 0x90, 37, 100);
    EXPECT_EQ(host.Plug()->Grid().mRovers.mRovers[0].mCol, 8);
    EXPECT_EQ(host.Value(EParam_MFlipH), 0.0);
    // Its note-on again without the note-off in between: the pad's control
    // still holds 1, so nothing fires.
    host.SendMidi(0, 0x90, 37, 100);
    EXPECT_EQ(host.Plug()->Grid().mRovers.mRovers[0].mCol, 8);
    host.SendMidi(0, 0x80, 37, 0);
    EXPECT_EQ(host.Plug()->Grid().mRovers.mRovers[0].mCol, 8);
    // Pressed again after its release, it fires again.
    host.SendMidi(0, 0x90, 37, 100);
    EXPECT_EQ(host.Plug()->Grid().mRovers.mRovers[0].mCol, 0);
    host.SendMidi(0, 0x80, 37, 0);
    EXPECT_EQ(host.AutomationOf(EParam_MFlipH), (std::vector<float>{1.0f, 1.0f, 0.0f, 1.0f, 0.0f}));
}

TEST_F(EditorMidiMap, TheFileSelectorOpensInTheScaleFolderAndTheNameIsShown)
{
    EditorHost host(mFolder);
    host.Open();
    EXPECT_STREQ(host.Gui().ScaleNameText()->GetText(), "default");
    std::vector<unsigned char> defaultState = host.GetChunk();
    std::string path = testing::TempDir() + "minor.txt";
    WriteTextFile(path, "57\n59\n60\n62\n64\n65\n67\n");
    OffscreenScript& script = Offscreen(host.Window());
    script.mFileChosen = true;
    script.mFilePath = path;
    host.ClickBound(EParam_FileSelect);
    EXPECT_EQ(script.mFileDialogs, 1);
    EXPECT_EQ(script.mLastFileFolder, mScaleFolder);
    EXPECT_STREQ(host.Plug()->ScaleName(), "minor");
    EXPECT_EQ(host.Plug()->Notes().mScales[0].mScaleNotes[1], 59);
    host.Tick();
    EXPECT_STREQ(host.Gui().ScaleNameText()->GetText(), "minor");

    // The name travels with the state into another instance's editor.
    std::vector<unsigned char> chunk = host.GetChunk();
    EditorHost other;
    other.Open();
    ASSERT_TRUE(other.SetChunk(chunk));
    EXPECT_STREQ(other.Gui().ScaleNameText()->GetText(), "default");
    other.Tick();
    EXPECT_STREQ(other.Gui().ScaleNameText()->GetText(), "minor");

    // A state load dispatches every parameter, the file selector's too: the
    // scales it restores stay, the chosen file is not read again.
    WriteTextFile(path, "40\n41\n");
    ASSERT_TRUE(host.SetChunk(defaultState));
    EXPECT_STREQ(host.Plug()->ScaleName(), "default");
    EXPECT_EQ(host.Plug()->Notes().mScales[0].mScaleNotes[1], Scale::DEFAULT_NOTES[1]);
    ASSERT_TRUE(host.SetChunk(chunk));
    EXPECT_STREQ(host.Plug()->ScaleName(), "minor");
    EXPECT_EQ(host.Plug()->Notes().mScales[0].mScaleNotes[1], 59);
    host.Tick();
    EXPECT_STREQ(host.Gui().ScaleNameText()->GetText(), "minor");
    // Choosing it again reads it again.
    host.ClickBound(EParam_FileSelect);
    EXPECT_EQ(host.Plug()->Notes().mScales[0].mScaleNotes[1], 41);
    ASSERT_TRUE(host.SetChunk(chunk));

    // A cancelled dialog keeps the name.
    script.mFileChosen = false;
    host.ClickBound(EParam_FileSelect);
    host.Tick();
    EXPECT_STREQ(host.Gui().ScaleNameText()->GetText(), "minor");
    std::remove(path.c_str());
}

TEST(EditorView, AnEmptyScaleNameReadsDefault)
{
    EditorHost host;
    host.Open();
    host.Gui().ShowScaleName("major");
    host.Tick();
    EXPECT_STREQ(host.Gui().ScaleNameText()->GetText(), "major");
    host.Gui().ShowScaleName("");
    host.Tick();
    EXPECT_STREQ(host.Gui().ScaleNameText()->GetText(), "default");
    // A name longer than a scale name can be is cut to its size.
    std::string longName(400, 'n');
    host.Gui().ShowScaleName(longName.c_str());
    host.Tick();
    EXPECT_EQ(std::string(host.Gui().ScaleNameText()->GetText()), longName.substr(0, TarvoGui::SCALE_NAME_LENGTH));
}

TEST(EditorView, AStateWithBothPanelSwitchesOffStillShowsTheShownPanelsSwitchOn)
{
    EditorHost host;
    host.Open();
    // Clicking the shown panel's switch sets its parameter to 0 while the
    // switch stays on; a state saved then holds 0 for both switches.
    host.SetParam(EParam_PnlPatt, 0.0);
    host.Tick(2);
    ExpectPanels(host, true);
    std::vector<unsigned char> chunk = host.GetChunk();
    EXPECT_TRUE(host.SetChunk(chunk));
    host.Tick(2);
    ExpectPanels(host, true);
}

// The timeline lock's switch is the editor's own (no parameter): a click
// switches the lock, and a loaded project's flag shows on it.
TEST(EditorView, TheLockSwitchSwitchesTheTimelineLockAndShowsALoadedFlag)
{
    EditorHost host;
    host.Open();
    IControl* pSwitch = host.Gui().TimelineLockSwitch();
    const ControlRect& rect = pSwitch->GetRect();
    host.Click((rect.mLeft + rect.mRight) / 2, (rect.mTop + rect.mBottom) / 2);
    EXPECT_TRUE(host.Plug()->TimelineLocked());
    const std::vector<unsigned char> locked = host.GetChunk();
    host.Click((rect.mLeft + rect.mRight) / 2, (rect.mTop + rect.mBottom) / 2);
    EXPECT_FALSE(host.Plug()->TimelineLocked());
    host.Tick();
    EXPECT_EQ(pSwitch->Value(), 0.0);
    ASSERT_TRUE(host.SetChunk(locked));
    host.Tick();
    EXPECT_EQ(pSwitch->Value(), 1.0);
    EXPECT_TRUE(host.mAutomation.empty());
}
