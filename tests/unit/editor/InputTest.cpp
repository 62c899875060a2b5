// The mouse through the window's input entry points: knob drags and wheel
// turns, switches, contacts (also double-clicked), the pattern buttons and
// the value prompt change the processor's parameters and tell the host.
#include "EditorTestSupport.h"
#include "framework/gui/IRadioGroupControl.h"

namespace {

int RoverCol(EditorHost& host, int index) { return host.Plug()->Grid().mRovers.mRovers[index].mCol; }

}  // namespace

TEST(EditorInput, DraggingAKnobUpRaisesItsParameter)
{
    EditorHost host;
    host.Open();
    IControl* pKnob = host.Bound(EParam_Tilt);
    int x = pKnob->GetRect().MidX(), y = pKnob->GetRect().MidY();
    host.Press(x, y);
    // One knob height (32 pixels) is an eighth of the range.
    host.Window().HandleMouseMove(x, y - 32, Left());
    host.Window().HandleMouseMove(x, y - 64, Left());
    host.Release(x, y - 64);
    EXPECT_DOUBLE_EQ(host.Value(EParam_Tilt), 0.75);
    EXPECT_DOUBLE_EQ(host.Plug()->Notes().mTilt, 0.75);
    EXPECT_EQ(host.AutomationOf(EParam_Tilt), (std::vector<float>{0.625f, 0.75f}));
    const std::vector<AutomationCall> gesture = {{EParam_Tilt, 1.0f}, {EParam_Tilt, 0.0f}};
    ASSERT_EQ(host.mGestures.size(), gesture.size());
    for (size_t i = 0; i < gesture.size(); ++i) {
        EXPECT_EQ(host.mGestures[i].mIndex, gesture[i].mIndex);
        EXPECT_EQ(host.mGestures[i].mValue, gesture[i].mValue);
    }
    host.Tick();
    EXPECT_EQ(host.ReadOutText(EParam_Tilt), "0.75");

    // The row knob: a whole range is eight heights; two heights up from 9
    // rows is a quarter more.
    IControl* pRows = host.Bound(EParam_NumRows);
    x = pRows->GetRect().MidX();
    y = pRows->GetRect().MidY();
    host.Press(x, y);
    host.Window().HandleMouseMove(x, y - 64, Left());
    host.Release(x, y - 64);
    EXPECT_EQ(host.Value(EParam_NumRows), 13.0);
    EXPECT_EQ(host.Plug()->Grid().mNumRows, 13);
}

TEST(EditorInput, TheWheelAndTheValuePromptSetValues)
{
    EditorHost host;
    host.Open();
    IControl* pKnob = host.Bound(EParam_Tilt);
    host.Window().HandleMouseWheel(pKnob->GetRect().MidX(), pKnob->GetRect().MidY(), MouseMods(), 3);
    EXPECT_NEAR(host.Value(EParam_Tilt), 0.53, 1e-9);

    // A right click opens the prompt with the displayed value; Enter commits.
    IControl* pVelocity = host.Bound(EParam_Velocity);
    int x = pVelocity->GetRect().MidX(), y = pVelocity->GetRect().MidY();
    host.Click(x, y, Right());
    OffscreenScript& script = Offscreen(host.Window());
    ASSERT_TRUE(script.mEditExists);
    EXPECT_EQ(script.mEditText, "80");
    script.mEditText = "100";
    host.Window().PromptEnterPressed();
    host.Tick();
    EXPECT_EQ(host.Value(EParam_Velocity), 100.0);
    EXPECT_EQ(host.Plug()->Notes().mVelocity, 100);
    ASSERT_FALSE(host.AutomationOf(EParam_Velocity).empty());
    EXPECT_FLOAT_EQ(host.AutomationOf(EParam_Velocity).back(), 100.0f / 127.0f);
    host.Tick();
    EXPECT_EQ(host.ReadOutText(EParam_Velocity), "100");

    // An enumeration's prompt is a menu of its texts.
    script.mMenuChoice = 3;  // the third item: "1/2"
    host.ClickBound(EParam_TimeUnits, Right());
    EXPECT_EQ(script.mMenusShown, 1);
    host.Tick();
    EXPECT_EQ(host.Value(EParam_TimeUnits), 2.0);
    host.Tick();
    EXPECT_EQ(host.ReadOutText(EParam_TimeUnits), "1/2");
}

TEST(EditorInput, SwitchesToggleTheirParameters)
{
    EditorHost host;
    host.Open();
    host.ClickBound(EParam_Enabled);
    EXPECT_EQ(host.Value(EParam_Enabled), 0.0);
    host.ClickBound(EParam_MuteN + Wall_S);
    EXPECT_EQ(host.Value(EParam_MuteN + Wall_S), 1.0);
    host.ClickBound(EParam_Enabled);
    EXPECT_EQ(host.Value(EParam_Enabled), 1.0);
    EXPECT_EQ(host.AutomationOf(EParam_Enabled), (std::vector<float>{0.0f, 1.0f}));

    // A step's mute switch, once the sequencer panel is shown.
    host.ClickBound(EParam_PnlSeq);
    host.Tick();
    host.ClickBound(EParam_FirstMute + 5);
    EXPECT_EQ(host.Plug()->Sequencer().mMuteFlags[5], 1);
    host.ClickBound(EParam_FirstLock + 31);
    EXPECT_EQ(host.Plug()->Sequencer().mLockFlags[31], 1);
    // The host hears only of its own 101 parameters: the panel switch and
    // the step flags have no place in its tables.
    for (const AutomationCall& call : host.mAutomation) EXPECT_LT(call.mIndex, EParam_NumVisible);
    for (const AutomationCall& call : host.mGestures) EXPECT_LT(call.mIndex, EParam_NumVisible);
    EXPECT_FALSE(host.mGestures.empty());

    // The wall selector: the third button from the top picks scale slot 2.
    IRadioGroupControl* pRadio = dynamic_cast<IRadioGroupControl*>(host.Bound(EParam_ScaleN + Wall_E));
    ASSERT_NE(pRadio, nullptr);
    host.Click(pRadio->ButtonRect(2).MidX(), pRadio->ButtonRect(2).MidY());
    EXPECT_DOUBLE_EQ(host.Value(EParam_ScaleN + Wall_E), 2.0 / 3.0);
}

TEST(EditorInput, AContactFiresItsTransformOnceAndReadsZeroAfterwards)
{
    EditorHost host;
    host.Open();
    host.SetPlain(EParam_FirstCell + 3 * 17 + 1, 2);  // a rover heading E at (3, 1)
    ASSERT_EQ(host.Plug()->Grid().mRovers.mCount, 1);
    ASSERT_EQ(RoverCol(host, 0), 1);
    IControl* pFlip = host.Bound(EParam_MFlipH);
    int x = pFlip->GetRect().MidX(), y = pFlip->GetRect().MidY();
    host.Press(x, y);
    EXPECT_EQ(pFlip->Value(), 1.0);
    EXPECT_EQ(RoverCol(host, 0), 7);
    host.Release(x, y);
    EXPECT_EQ(pFlip->Value(), 0.0);
    EXPECT_EQ(RoverCol(host, 0), 7);
    EXPECT_EQ(host.Value(EParam_MFlipH), 0.0);
    EXPECT_EQ(host.AutomationOf(EParam_MFlipH), (std::vector<float>{1.0f, 0.0f}));

    // A double-click is a second press, not a return to the default.
    EXPECT_TRUE(host.Window().HandleMouseDoubleClick(x, y, Left()));
    EXPECT_EQ(RoverCol(host, 0), 1);
    host.Release(x, y);
    EXPECT_EQ(pFlip->Value(), 0.0);
    EXPECT_EQ(host.AutomationOf(EParam_MFlipH), (std::vector<float>{1.0f, 0.0f, 1.0f, 0.0f}));
}

TEST(EditorInput, SaveAndRestoreContactsBringAPatternBack)
{
    EditorHost host;
    host.Open();
    host.SetPlain(EParam_NumColums, 6);
    host.SetPlain(EParam_FirstCell + 4 * 17 + 2, 3);   // a rover heading S at (4, 2)
    host.SetPlain(EParam_FirstCell + 1 * 17 + 1, 20);  // an obstacle at (1, 1)
    host.ClickBound(EParam_Save1 + 4);
    EXPECT_TRUE(host.Plug()->PatternOccupied(4));

    host.SetParam(EParam_ClrAll, 1.0);
    host.SetPlain(EParam_NumColums, 9);
    ASSERT_EQ(host.Plug()->Grid().mRovers.mCount, 0);
    host.Tick();

    host.ClickBound(EParam_Restore1 + 4);
    const Matrix& grid = host.Plug()->Grid();
    ASSERT_EQ(grid.mRovers.mCount, 1);
    EXPECT_EQ(grid.mRovers.mRovers[0].mCellid, 4 * 17 + 2);
    EXPECT_EQ(grid.mCells[1 * 17 + 1].mKind, 1);
    EXPECT_EQ(grid.mNumCols, 6);
    EXPECT_EQ(host.Value(EParam_NumColums), 6.0);
    host.Tick();
    EXPECT_EQ(host.ReadOutText(EParam_NumColums), "6");
    EXPECT_EQ(host.AutomationOf(EParam_Restore1 + 4), (std::vector<float>{1.0f, 0.0f}));

    // Cleared, the slot restores nothing.
    host.ClickBound(EParam_Clear1 + 4);
    EXPECT_FALSE(host.Plug()->PatternOccupied(4));
    host.SetParam(EParam_ClrRov, 1.0);
    host.ClickBound(EParam_Restore1 + 4);
    EXPECT_EQ(host.Plug()->Grid().mRovers.mCount, 0);
}
