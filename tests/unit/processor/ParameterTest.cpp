// Every family of parameter handlers, driven the way a host drives them.
#include <gtest/gtest.h>

#include "FakeHost.h"

namespace {

void Press(FakeHost& host, int index) { host.SetParam(index, 1.0); }

void CellCommand(FakeHost& host, int row, int col, int code) { host.SetPlain(EParam_FirstCell + row * 17 + col, code); }

const Rover* RoverAt(Tarvo* pPlug, int row, int col)
{
    const RoverList& rovers = pPlug->Grid().mRovers;
    int index = rovers.FindByCell(row * 17 + col);
    return index >= 0 ? &rovers.mRovers[index] : nullptr;
}

}  // namespace

TEST(Parameters, TableNamesKindsRangesAndDefaults)
{
    FakeHost host;
    Tarvo* pPlug = host.Plug();
    ASSERT_EQ(pPlug->NParams(), 458);
    EXPECT_EQ(host.Effect()->numParams, 101);
    struct Row {
        int mIndex;
        const char* mName;
        ParamKind mKind;
        double mMin, mMax, mDefault;
    };
    const Row rows[] = {
        {0, "TimeUnits", ParamKind_Enum, 0, 15, 7},
        {1, "LengthUnits", ParamKind_Enum, 0, 15, 4},
        {2, "Slow", ParamKind_Double, 0.1, 4.0, 1.0},
        {3, "Channel", ParamKind_Enum, 0, 15, 0},
        {4, "Velocity", ParamKind_Int, 0, 127, 80},
        {6, "NumColums", ParamKind_Int, 1, 17, 9},
        {7, "NumRows", ParamKind_Int, 1, 17, 9},
        {13, "GrpLim", ParamKind_Int, 0, 100, 0},
        {16, "RvDelOld", ParamKind_Double, 0, 1, 0},
        {21, "Transp1", ParamKind_Enum, 0, 127, 50},
        {28, "Trans4up", ParamKind_Double, 0, 1, 0},
        {36, "Rotate4", ParamKind_Int, 0, 16, 0},
        {40, "Mutate4", ParamKind_Enum, 0, 1, 0},
        {44, "ScaleW", ParamKind_Double, 0, 1, 0},
        {45, "MuteN", ParamKind_Bool, 0, 1, 0},
        {52, "ClimbW", ParamKind_Int, -8, 8, 0},
        {60, "Save8", ParamKind_Double, 0, 1, 0},
        {86, "MStagrD", ParamKind_Double, 0, 1, 0},
        {87, "Swing", ParamKind_Double, 0, 1, 0},
        {89, "Simple", ParamKind_Int, 1, 32, 1},
        {90, "Enabled", ParamKind_Bool, 0, 1, 1},
        {93, "DurJitt", ParamKind_Double, 0, 10, 0},
        {95, "SeqNStep", ParamKind_Int, 1, 32, 32},
        {96, "SeqOn", ParamKind_Bool, 0, 1, 1},
        {100, "DragOld", ParamKind_Double, 0, 1, 0},
        {101, "c", ParamKind_Int, 0, 26, 0},
        {389, "c", ParamKind_Int, 0, 26, 0},
        {390, "Scale Load", ParamKind_Double, 0, 1, 0},
        {391, "File Select", ParamKind_Double, 0, 1, 0},
        {392, "PnlPatt", ParamKind_Int, 0, 1, 1},
        {393, "PnlSeq", ParamKind_Int, 0, 1, 0},
        {394, "lk", ParamKind_Int, 0, 1, 0},
        {457, "mt", ParamKind_Int, 0, 1, 0},
    };
    for (const Row& row : rows) {
        const IPlugParam* pParam = pPlug->GetParam(row.mIndex);
        EXPECT_STREQ(pParam->Name(), row.mName) << row.mIndex;
        EXPECT_EQ(pParam->Kind(), row.mKind) << row.mIndex;
        EXPECT_DOUBLE_EQ(pParam->Min(), row.mMin) << row.mIndex;
        EXPECT_DOUBLE_EQ(pParam->Max(), row.mMax) << row.mIndex;
        EXPECT_DOUBLE_EQ(pParam->Value(), row.mDefault) << row.mIndex;
    }
    for (int i = 0; i < 458; ++i) EXPECT_NE(pPlug->GetParam(i)->Name()[0], '\0') << i;
}

TEST(Parameters, DisplayTexts)
{
    FakeHost host;
    EXPECT_EQ(host.ParamDisplay(EParam_TimeUnits), "1/8");
    EXPECT_EQ(host.ParamDisplay(EParam_LengthUnits), "1/4");
    EXPECT_EQ(host.ParamDisplay(EParam_Channel), "1");
    EXPECT_EQ(host.ParamDisplay(EParam_Transp1), "D4");
    EXPECT_EQ(host.ParamDisplay(EParam_Mutate1), "Forward");
    EXPECT_EQ(host.ParamDisplay(EParam_Enabled), "on");
    EXPECT_EQ(host.ParamDisplay(EParam_Tilt), "0.50");
    EXPECT_EQ(host.ParamDisplay(EParam_Velocity), "80");
    host.SetPlain(EParam_Transp1, 0);
    EXPECT_EQ(host.ParamDisplay(EParam_Transp1), "C0");
    host.SetPlain(EParam_Transp1, 127);
    EXPECT_EQ(host.ParamDisplay(EParam_Transp1), "G10");
    host.SetPlain(EParam_RptLen, 15);
    EXPECT_EQ(host.ParamDisplay(EParam_RptLen), "1/32t");
}

TEST(Parameters, ButtonsFireAboveHalfAndResetSilently)
{
    FakeHost host;
    CellCommand(host, 2, 3, 2);
    CellCommand(host, 4, 4, 20);
    ASSERT_EQ(host.Plug()->Grid().mRovers.mCount, 1);
    host.mAutomation.clear();
    host.SetParam(EParam_ClrAll, 0.3);
    EXPECT_EQ(host.Plug()->Grid().mRovers.mCount, 1);
    host.SetParam(EParam_ClrAll, 0.7);
    EXPECT_EQ(host.Plug()->Grid().mRovers.mCount, 0);
    EXPECT_EQ(host.Plug()->Grid().mCells[4 * 17 + 4].mKind, 0);
    EXPECT_EQ(host.GetParam(EParam_ClrAll), 0.0f);
    EXPECT_TRUE(host.mAutomation.empty());  // the reset is not announced

    // Nudge fires without resetting, so every dispatch above 0.5 moves again.
    CellCommand(host, 0, 3, 1);  // heading N at the top: the nudge wraps
    Press(host, EParam_NudgeNew);
    EXPECT_NE(RoverAt(host.Plug(), 8, 3), nullptr);
    EXPECT_EQ(host.GetParam(EParam_NudgeNew), 1.0f);
    Press(host, EParam_NudgeNew);
    EXPECT_NE(RoverAt(host.Plug(), 7, 3), nullptr);
    Press(host, EParam_DragOld);
    EXPECT_NE(RoverAt(host.Plug(), 8, 3), nullptr);
}

TEST(Parameters, GridButtonsTransformTheGridAndReadZeroAfterwards)
{
    FakeHost host;
    Tarvo* pPlug = host.Plug();
    const RoverList& rovers = pPlug->Grid().mRovers;
    auto press = [&](int index) {
        Press(host, index);
        EXPECT_EQ(host.GetParam(index), 0.0f) << index;
    };
    auto expectAt = [&](int row, int col) {
        ASSERT_EQ(rovers.mCount, 1);
        EXPECT_EQ(rovers.mRovers[0].mRow, row);
        EXPECT_EQ(rovers.mRovers[0].mCol, col);
    };

    // A 9 x 9 grid, one rover heading E.
    CellCommand(host, 2, 3, 2);
    press(EParam_MFlipH);
    expectAt(2, 5);
    EXPECT_EQ(rovers.mRovers[0].mHeading, EHeading_E);
    press(EParam_MFlipV);
    expectAt(6, 5);
    press(EParam_ClrRov);
    EXPECT_EQ(rovers.mCount, 0);

    CellCommand(host, 0, 8, 2);
    press(EParam_MShiftR);
    expectAt(0, 0);
    press(EParam_MShiftL);
    expectAt(0, 8);
    press(EParam_MShiftU);
    expectAt(8, 8);
    press(EParam_MShiftD);
    expectAt(0, 8);
    press(EParam_ClrRov);

    CellCommand(host, 1, 4, 2);
    press(EParam_MStagrU);
    expectAt(6, 4);
    press(EParam_ClrRov);
    CellCommand(host, 1, 4, 2);
    press(EParam_MStagrD);
    expectAt(5, 4);
    press(EParam_ClrRov);

    // Turns: N and NW; four quarter turns bring them back.
    CellCommand(host, 3, 3, 1);
    CellCommand(host, 4, 4, 8);
    press(EParam_MRotR);
    EXPECT_EQ(rovers.mRovers[0].mHeading, EHeading_E);
    EXPECT_EQ(rovers.mRovers[1].mHeading, EHeading_NE);
    press(EParam_MRotL);
    press(EParam_MRotL);
    EXPECT_EQ(rovers.mRovers[0].mHeading, EHeading_W);
    EXPECT_EQ(rovers.mRovers[1].mHeading, EHeading_SW);
    for (int i = 0; i < 4; ++i) press(EParam_MRotL);
    EXPECT_EQ(rovers.mRovers[0].mHeading, EHeading_W);
    EXPECT_EQ(rovers.mRovers[1].mHeading, EHeading_SW);
    press(EParam_ClrRov);

    // Rovers A, B, C: the oldest and the newest go.
    CellCommand(host, 0, 0, 2);
    CellCommand(host, 0, 1, 2);
    CellCommand(host, 0, 2, 2);
    press(EParam_RvDelOld);
    ASSERT_EQ(rovers.mCount, 2);
    EXPECT_EQ(rovers.mRovers[0].mCol, 1);
    EXPECT_EQ(rovers.mRovers[1].mCol, 2);
    press(EParam_RvDelNew);
    expectAt(0, 1);

    // Clearing the obstacles leaves the rovers and the cells' states.
    CellCommand(host, 5, 5, 20);
    // The state a toggling obstacle would carry after a few steps.
    Obstacle& cell = const_cast<Obstacle&>(pPlug->Grid().mCells[5 * 17 + 5]);
    cell.mState = 1;
    press(EParam_ClrObs);
    EXPECT_EQ(cell.mKind, EObstacle_empty);
    EXPECT_EQ(cell.mState, 1);
    expectAt(0, 1);
}

TEST(Parameters, CellCommands)
{
    FakeHost host;
    Tarvo* pPlug = host.Plug();
    CellCommand(host, 1, 1, 2);  // heading E
    ASSERT_NE(RoverAt(pPlug, 1, 1), nullptr);
    EXPECT_EQ(RoverAt(pPlug, 1, 1)->mHeading, EHeading_E);
    CellCommand(host, 1, 1, 1);
    EXPECT_EQ(RoverAt(pPlug, 1, 1)->mHeading, EHeading_S);
    CellCommand(host, 1, 1, 1);
    EXPECT_EQ(RoverAt(pPlug, 1, 1)->mHeading, EHeading_W);
    CellCommand(host, 1, 1, 1);
    EXPECT_EQ(RoverAt(pPlug, 1, 1), nullptr);
    EXPECT_EQ(host.Plug()->GetParam(EParam_FirstCell + 18)->Value(), 0.0);

    CellCommand(host, 2, 2, 13);  // slow NE
    EXPECT_EQ(RoverAt(pPlug, 2, 2)->mPace, 1);
    EXPECT_EQ(RoverAt(pPlug, 2, 2)->mHeading, EHeading_NE);
    CellCommand(host, 2, 2, 18);
    EXPECT_EQ(RoverAt(pPlug, 2, 2), nullptr);

    pPlug->SetRoverChoice(7 + 8);  // slow NW
    CellCommand(host, 3, 3, 19);
    EXPECT_EQ(RoverAt(pPlug, 3, 3)->mHeading, EHeading_NW);
    EXPECT_EQ(RoverAt(pPlug, 3, 3)->mPace, 1);

    CellCommand(host, 5, 5, 20);
    EXPECT_EQ(pPlug->Grid().mCells[5 * 17 + 5].mKind, EObstacle_MirHor);
    for (int i = 0; i < 20; ++i) CellCommand(host, 5, 5, 20);
    EXPECT_EQ(pPlug->Grid().mCells[5 * 17 + 5].mKind, EObstacle_empty);  // after PTogl comes empty
    pPlug->SetObstacleChoice(EObstacle_Wormh);
    CellCommand(host, 5, 5, 23);
    EXPECT_EQ(pPlug->Grid().mCells[5 * 17 + 5].mKind, EObstacle_Wormh);
    CellCommand(host, 5, 5, 22);
    EXPECT_EQ(pPlug->Grid().mCells[5 * 17 + 5].mKind, EObstacle_empty);

    // Paint with the active palette: the rover palette replaces the rover.
    pPlug->SetRoverChoice(EHeading_S);
    CellCommand(host, 3, 3, 24);
    EXPECT_EQ(RoverAt(pPlug, 3, 3)->mHeading, EHeading_S);
    EXPECT_EQ(RoverAt(pPlug, 3, 3)->mPace, 0);
    pPlug->SetRoverPaletteActive(false);
    pPlug->SetObstacleChoice(EObstacle_Pillar);
    CellCommand(host, 3, 3, 24);
    EXPECT_EQ(pPlug->Grid().mCells[3 * 17 + 3].mKind, EObstacle_Pillar);
    CellCommand(host, 3, 3, 25);
    EXPECT_EQ(RoverAt(pPlug, 3, 3), nullptr);
    EXPECT_EQ(pPlug->Grid().mCells[3 * 17 + 3].mKind, EObstacle_empty);

    // The top of the range (26) does nothing at all.
    CellCommand(host, 6, 6, 26);
    EXPECT_EQ(RoverAt(pPlug, 6, 6), nullptr);
    EXPECT_EQ(pPlug->GetParam(EParam_FirstCell + 6 * 17 + 6)->Value(), 26.0);
}

TEST(Parameters, TwentyRoversAtMost)
{
    FakeHost host;
    for (int i = 0; i < 25; ++i) CellCommand(host, i / 17, i % 17, 3);
    EXPECT_EQ(host.Plug()->Grid().mRovers.mCount, 20);
}

TEST(Parameters, GridSize)
{
    FakeHost host;
    host.SetPlain(EParam_NumRows, 1);
    EXPECT_EQ(host.Plug()->Grid().mLastRow, 0);
    EXPECT_EQ(host.Plug()->Grid().mNumRows, 1);
    host.SetPlain(EParam_NumColums, 17);
    EXPECT_EQ(host.Plug()->Grid().mLastCol, 16);
    EXPECT_EQ(host.Plug()->Grid().mNumCols, 17);
}

TEST(Parameters, ScalesTransposeRotateMutateAndWallBinding)
{
    FakeHost host;
    const NoteGenerator& notes = host.Plug()->Notes();
    EXPECT_EQ(notes.WallNote(Wall_N, 0), 50);
    EXPECT_EQ(notes.WallNote(Wall_N, 16), 88);
    host.SetPlain(EParam_Mutate1, 1);
    EXPECT_EQ(notes.WallNote(Wall_N, 0), 88);
    host.SetPlain(EParam_Mutate1, 0);
    host.SetPlain(EParam_Rotate1, 1);
    EXPECT_EQ(notes.WallNote(Wall_N, 0), 57);
    EXPECT_EQ(notes.WallNote(Wall_N, 16), 50);

    host.SetPlain(EParam_Transp1 + 1, 60);
    host.SetParam(EParam_ScaleN + 1, 1.0 / 3.0);
    EXPECT_EQ(notes.WallNote(Wall_E, 0), 60);
    host.SetParam(EParam_ScaleN + 1, 0.25);
    EXPECT_EQ(notes.WallNote(Wall_E, 0), 57);  // slot 1 again, rotated

    host.SetPlain(EParam_Transp1 + 2, 115);
    Press(host, EParam_Trans1up + 2);
    EXPECT_EQ(host.Plug()->GetParam(EParam_Transp1 + 2)->Value(), 127);
    EXPECT_EQ(notes.mScales[2].mTranspose, 127);
    Press(host, EParam_Trans1up + 2);  // would leave 0..127: nothing but the reset
    EXPECT_EQ(notes.mScales[2].mTranspose, 127);
    EXPECT_EQ(host.GetParam(EParam_Trans1up + 2), 0.0f);
    Press(host, EParam_Trans1dn + 2);
    EXPECT_EQ(notes.mScales[2].mTranspose, 115);
}

TEST(Parameters, StepFlagsAndSequencer)
{
    FakeHost host;
    Tarvo* pPlug = host.Plug();
    host.SetParam(EParam_FirstMute + 3, 0.5);
    EXPECT_EQ(pPlug->Sequencer().mMuteFlags[3], 1);
    host.SetParam(EParam_FirstLock + 31, 1.0);
    EXPECT_EQ(pPlug->Sequencer().mLockFlags[31], 1);
    host.SetPlain(EParam_SeqNStep, 16);
    EXPECT_EQ(pPlug->Sequencer().mStepCount, 16);
    host.SetPlain(EParam_SeqOn, 0);
    EXPECT_FALSE(pPlug->SequencerOn());
}

TEST(Parameters, PatternSlots)
{
    FakeHost host;
    Tarvo* pPlug = host.Plug();
    host.SetPlain(EParam_NumRows, 5);
    host.SetPlain(EParam_NumColums, 7);
    CellCommand(host, 1, 2, 3);
    CellCommand(host, 4, 6, 20);
    Press(host, EParam_Save1 + 2);
    EXPECT_TRUE(pPlug->PatternOccupied(2));
    EXPECT_EQ(host.GetParam(EParam_Save1 + 2), 0.0f);
    Press(host, EParam_ClrAll);
    host.SetPlain(EParam_NumRows, 9);
    host.SetPlain(EParam_NumColums, 9);
    host.mAutomation.clear();
    Press(host, EParam_Restore1 + 2);
    EXPECT_EQ(pPlug->Grid().mRovers.mCount, 1);
    EXPECT_EQ(pPlug->Grid().mCells[4 * 17 + 6].mKind, EObstacle_MirHor);
    EXPECT_EQ(pPlug->GetParam(EParam_NumRows)->Value(), 5);
    EXPECT_EQ(pPlug->GetParam(EParam_NumColums)->Value(), 7);
    // The host hears of the new size.
    bool rowsTold = false, colsTold = false;
    for (const AutomationCall& call : host.mAutomation) {
        rowsTold = rowsTold || call.mIndex == EParam_NumRows;
        colsTold = colsTold || call.mIndex == EParam_NumColums;
    }
    EXPECT_TRUE(rowsTold && colsTold);

    Press(host, EParam_Clear1 + 2);
    EXPECT_FALSE(pPlug->PatternOccupied(2));
    Press(host, EParam_ClrAll);
    Press(host, EParam_Restore1 + 2);  // empty: nothing
    Press(host, EParam_Restore1 + 4);  // never saved: nothing
    EXPECT_EQ(pPlug->Grid().mRovers.mCount, 0);
}
