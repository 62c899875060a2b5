#include <gtest/gtest.h>

#include "GridTestSupport.h"
#include "GridTransforms.h"
#include "Matrix.h"

namespace {

class GridTransformsTest : public ::testing::Test {
protected:
    Rover& AddRover(int row, int col, int heading)
    {
        EXPECT_TRUE(mGrid.mRovers.Add(CellId(row, col), heading, RoverPace_Norm));
        return mGrid.mRovers.mRovers[mGrid.mRovers.mCount - 1];
    }
    void ExpectAt(const Rover& rover, int row, int col)
    {
        EXPECT_EQ(rover.mRow, row);
        EXPECT_EQ(rover.mCol, col);
        EXPECT_EQ(rover.mCellid, CellId(row, col));
    }

    Matrix mGrid;  // 9 x 9
};

}  // namespace

TEST_F(GridTransformsTest, FlipsMirrorPositionsAndKeepHeadings)
{
    Rover& rover = AddRover(2, 3, EHeading_E);
    TransformGrid(&mGrid, EGridTransform_FlipH);
    ExpectAt(rover, 2, 5);
    EXPECT_EQ(rover.mHeading, EHeading_E);
    TransformGrid(&mGrid, EGridTransform_FlipV);
    ExpectAt(rover, 6, 5);
    EXPECT_EQ(rover.mHeading, EHeading_E);
}

TEST_F(GridTransformsTest, ShiftsMoveEveryRoverAndWrapInTheWindow)
{
    mGrid.SetLastRow(5);  // 6 rows
    mGrid.SetLastCol(6);  // 7 columns
    Rover& a = AddRover(0, 6, EHeading_N);
    Rover& b = AddRover(5, 0, EHeading_S);
    Rover& c = AddRover(3, 3, EHeading_W);
    TransformGrid(&mGrid, EGridTransform_ShiftR);
    ExpectAt(a, 0, 0);
    ExpectAt(b, 5, 1);
    ExpectAt(c, 3, 4);
    TransformGrid(&mGrid, EGridTransform_ShiftL);
    TransformGrid(&mGrid, EGridTransform_ShiftL);
    ExpectAt(a, 0, 5);
    ExpectAt(b, 5, 6);
    ExpectAt(c, 3, 2);
    TransformGrid(&mGrid, EGridTransform_ShiftU);
    ExpectAt(a, 5, 5);
    ExpectAt(b, 4, 6);
    TransformGrid(&mGrid, EGridTransform_ShiftD);
    TransformGrid(&mGrid, EGridTransform_ShiftD);
    ExpectAt(a, 1, 5);
    ExpectAt(b, 0, 6);
    ExpectAt(c, 4, 2);
    EXPECT_EQ(a.mHeading, EHeading_N);
    EXPECT_EQ(b.mHeading, EHeading_S);
}

TEST_F(GridTransformsTest, StaggersMoveRowsByTheColumnIndex)
{
    Rover& rover = AddRover(1, 4, EHeading_N);
    TransformGrid(&mGrid, EGridTransform_StagrU);
    ExpectAt(rover, 6, 4);
    rover.SetPosition(1, 4);
    TransformGrid(&mGrid, EGridTransform_StagrD);
    ExpectAt(rover, 5, 4);

    // A difference more than one window below 0 is still brought into range.
    mGrid.SetLastRow(4);  // 5 rows
    rover.SetPosition(0, 13);
    TransformGrid(&mGrid, EGridTransform_StagrU);
    ExpectAt(rover, 2, 13);
    TransformGrid(&mGrid, EGridTransform_StagrD);
    ExpectAt(rover, 0, 13);
}

TEST_F(GridTransformsTest, TurnsChangeHeadingsOnly)
{
    for (int h = 0; h < EHeading_NumHeadings; ++h) AddRover(h, 8 - h, h);
    TransformGrid(&mGrid, EGridTransform_RotR);
    EXPECT_EQ(mGrid.mRovers.mRovers[EHeading_N].mHeading, EHeading_E);
    EXPECT_EQ(mGrid.mRovers.mRovers[EHeading_NW].mHeading, EHeading_NE);
    TransformGrid(&mGrid, EGridTransform_RotL);
    TransformGrid(&mGrid, EGridTransform_RotL);
    EXPECT_EQ(mGrid.mRovers.mRovers[EHeading_N].mHeading, EHeading_W);
    EXPECT_EQ(mGrid.mRovers.mRovers[EHeading_NE].mHeading, EHeading_NW);
    TransformGrid(&mGrid, EGridTransform_RotR);
    for (int press = 0; press < 4; ++press) TransformGrid(&mGrid, EGridTransform_RotL);
    for (int h = 0; h < EHeading_NumHeadings; ++h) {
        EXPECT_EQ(mGrid.mRovers.mRovers[h].mHeading, h);
        ExpectAt(mGrid.mRovers.mRovers[h], h, 8 - h);
    }
}

TEST_F(GridTransformsTest, RoversOutsideAShrunkWindowAreFoldedOntoTheBoard)
{
    mGrid.SetLastRow(16);
    mGrid.SetLastCol(16);
    Rover& rover = AddRover(12, 12, EHeading_S);
    mGrid.SetLastRow(8);
    mGrid.SetLastCol(8);
    TransformGrid(&mGrid, EGridTransform_FlipH);  // 8 - 12 = -4
    ExpectAt(rover, 12, 16);
    rover.SetPosition(12, 12);
    TransformGrid(&mGrid, EGridTransform_ShiftR);  // 13 mod 9
    ExpectAt(rover, 12, 4);
    TransformGrid(&mGrid, EGridTransform_FlipV);  // 8 - 12 = -4
    ExpectAt(rover, 16, 4);
    TransformGrid(&mGrid, EGridTransform_ShiftD);  // below the last row: back to 0
    ExpectAt(rover, 0, 4);
}

TEST_F(GridTransformsTest, TransformsLeaveObstaclesAlone)
{
    for (int cell = 0; cell < MAX_CELLS; ++cell) {
        mGrid.mCells[cell].mKind = cell % EObstacle_NumKinds;
        mGrid.mCells[cell].mState = cell % 2;
    }
    AddRover(3, 5, EHeading_SE);
    AddRover(7, 1, EHeading_W);
    const Matrix before = mGrid;
    for (int t = EGridTransform_FlipH; t <= EGridTransform_StagrD; ++t) {
        TransformGrid(&mGrid, static_cast<EGridTransform>(t));
    }
    for (int cell = 0; cell < MAX_CELLS; ++cell) {
        EXPECT_EQ(mGrid.mCells[cell].mKind, before.mCells[cell].mKind);
        EXPECT_EQ(mGrid.mCells[cell].mState, before.mCells[cell].mState);
    }
    EXPECT_EQ(mGrid.mRovers.mCount, 2);
}

TEST_F(GridTransformsTest, NudgeAndDragStepOneRoverAndWrap)
{
    Rover& oldest = AddRover(3, 0, EHeading_E);
    Rover& newest = AddRover(0, 4, EHeading_N);
    newest.mPace = RoverPace_Slow;
    newest.mCollisionCount = 2;
    StepRover(&mGrid, 1, true);  // nudge the newest
    ExpectAt(newest, 8, 4);
    EXPECT_EQ(newest.mHeading, EHeading_N);
    EXPECT_EQ(newest.mPace, RoverPace_Slow);
    EXPECT_EQ(newest.mCollisionCount, 2);
    StepRover(&mGrid, 0, false);  // drag the oldest
    ExpectAt(oldest, 3, 8);
    StepRover(&mGrid, 0, true);
    ExpectAt(oldest, 3, 0);

    mGrid.SetLastRow(4);
    mGrid.SetLastCol(5);
    Rover& diagonal = AddRover(0, 5, EHeading_NE);
    StepRover(&mGrid, 2, true);
    ExpectAt(diagonal, 4, 0);
    StepRover(&mGrid, 2, false);
    ExpectAt(diagonal, 0, 5);

    StepRover(&mGrid, 3, true);  // no such rover
    StepRover(&mGrid, -1, false);
    EXPECT_EQ(mGrid.mRovers.mCount, 3);
}

TEST_F(GridTransformsTest, RemovingOldestAndNewestRovers)
{
    AddRover(1, 1, EHeading_N);
    AddRover(2, 2, EHeading_E);
    AddRover(3, 3, EHeading_S);
    Matrix other = mGrid;
    RemoveOldestRover(&mGrid);
    ASSERT_EQ(mGrid.mRovers.mCount, 2);
    EXPECT_EQ(mGrid.mRovers.mRovers[0].mCellid, CellId(2, 2));
    EXPECT_EQ(mGrid.mRovers.mRovers[1].mCellid, CellId(3, 3));
    RemoveNewestRover(&other);
    ASSERT_EQ(other.mRovers.mCount, 2);
    EXPECT_EQ(other.mRovers.mRovers[0].mCellid, CellId(1, 1));
    EXPECT_EQ(other.mRovers.mRovers[1].mCellid, CellId(2, 2));

    Matrix empty;
    RemoveOldestRover(&empty);
    RemoveNewestRover(&empty);
    EXPECT_EQ(empty.mRovers.mCount, 0);
}

TEST_F(GridTransformsTest, ClearingRoversAndObstacles)
{
    AddRover(1, 1, EHeading_N);
    mGrid.mCells[10].mKind = EObstacle_WgS;
    mGrid.mCells[10].mState = 1;
    mGrid.mCells[200].mKind = EObstacle_Pause;
    ClearObstacles(&mGrid);
    EXPECT_EQ(mGrid.mCells[10].mKind, EObstacle_empty);
    EXPECT_EQ(mGrid.mCells[10].mState, 1);
    EXPECT_EQ(mGrid.mCells[200].mKind, EObstacle_empty);
    EXPECT_EQ(mGrid.mRovers.mCount, 1);
    ClearRovers(&mGrid);
    EXPECT_EQ(mGrid.mRovers.mCount, 0);
}
