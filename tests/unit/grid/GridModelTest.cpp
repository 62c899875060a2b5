#include <gtest/gtest.h>

#include "GridTestSupport.h"
#include "Matrix.h"
#include "PseudoRandom.h"
#include "Rover.h"

TEST(PseudoRandom, FirstDrawsFromTheInitialSeeds)
{
    PseudoRandom random;
    EXPECT_EQ(random.Next(), 3175213120u);
    EXPECT_EQ(random.mHalfZ, 0x8624B842u);
    EXPECT_EQ(random.mHalfW, 0x4FFE840u);
    EXPECT_EQ(random.Next(), 2030049535u);

    PseudoRandom fresh;
    EXPECT_NEAR(fresh.Uniform(), 0.73929, 1e-5);
}

TEST(Rover, TransformSetterFoldsOffBoardValuesToTheOtherEdge)
{
    Rover rover;
    EXPECT_EQ(rover.mCellid, -1);  // a free slot
    rover.SetPosition(-1, 17);
    EXPECT_EQ(rover.mRow, 16);
    EXPECT_EQ(rover.mCol, 0);
    EXPECT_EQ(rover.mCellid, 16 * 17);
    rover.SetPosition(3, 5);
    EXPECT_EQ(rover.mCellid, 3 * 17 + 5);
}

TEST(Rover, WrappingSetterWrapsIntoTheActiveWindow)
{
    Rover rover;
    rover.SetPositionWrapped(-1, 9, 9, 9);
    EXPECT_EQ(rover.mRow, 8);
    EXPECT_EQ(rover.mCol, 0);
    EXPECT_EQ(rover.mCellid, 8 * 17);
    rover.SetPositionWrapped(5, -1, 5, 3);
    EXPECT_EQ(rover.mRow, 0);
    EXPECT_EQ(rover.mCol, 2);
    EXPECT_EQ(rover.mCellid, 2);
}

TEST(RoverList, AddFillsTheNextSlotUntilTwentyRovers)
{
    RoverList list;
    ASSERT_TRUE(list.Add(CellId(4, 7), EHeading_SW, RoverPace_Slow));
    EXPECT_EQ(list.mCount, 1);
    EXPECT_TRUE(RoverIs(list.mRovers[0], 4, 7, EHeading_SW, RoverPace_Slow, 0, 0));

    for (int i = 1; i < MAX_ROVERS; ++i) EXPECT_TRUE(list.Add(i, EHeading_N, RoverPace_Norm));
    EXPECT_EQ(list.mCount, MAX_ROVERS);
    EXPECT_FALSE(list.Add(100, EHeading_E, RoverPace_Norm));
    EXPECT_EQ(list.mCount, MAX_ROVERS);
    EXPECT_EQ(list.FindByCell(100), -1);
}

TEST(RoverList, TurnOrRemoveTurnsClockwiseUntilWestThenRemoves)
{
    RoverList list;
    list.Add(10, EHeading_N, RoverPace_Norm);
    list.Add(11, EHeading_NE, RoverPace_Norm);
    const int straight[] = {EHeading_E, EHeading_S, EHeading_W};
    const int diagonal[] = {EHeading_SE, EHeading_SW, EHeading_NW};
    for (int i = 0; i < 3; ++i) {
        list.TurnOrRemove(10);
        list.TurnOrRemove(11);
        EXPECT_EQ(list.mRovers[list.FindByCell(10)].mHeading, straight[i]);
        EXPECT_EQ(list.mRovers[list.FindByCell(11)].mHeading, diagonal[i]);
    }
    list.TurnOrRemove(10);
    EXPECT_EQ(list.FindByCell(10), -1);
    EXPECT_EQ(list.mCount, 1);
    list.TurnOrRemove(11);
    EXPECT_EQ(list.mCount, 0);
    list.TurnOrRemove(11);  // nobody there: nothing happens
    EXPECT_EQ(list.mCount, 0);
}

TEST(RoverList, OperationsOnASharedCellActOnTheEarlierRover)
{
    RoverList list;
    list.Add(50, EHeading_S, RoverPace_Norm);
    list.Add(20, EHeading_E, RoverPace_Norm);
    list.Add(20, EHeading_N, RoverPace_Slow);
    EXPECT_EQ(list.FindByCell(20), 1);
    list.TurnOrRemove(20);
    EXPECT_EQ(list.mRovers[1].mHeading, EHeading_S);
    EXPECT_EQ(list.mRovers[2].mHeading, EHeading_N);
    list.Remove(20);
    ASSERT_EQ(list.mCount, 2);
    EXPECT_EQ(list.mRovers[1].mHeading, EHeading_N);
    EXPECT_EQ(list.mRovers[1].mPace, RoverPace_Slow);
}

TEST(RoverList, RemovingFromTheMiddleKeepsTheOrderAndAddAppends)
{
    RoverList list;
    list.Add(1, EHeading_N, RoverPace_Norm);
    list.Add(2, EHeading_E, RoverPace_Norm);
    list.Add(3, EHeading_S, RoverPace_Norm);
    list.Add(4, EHeading_W, RoverPace_Norm);
    list.Remove(2);
    list.Remove(99);  // no rover there
    ASSERT_EQ(list.mCount, 3);
    EXPECT_EQ(list.mRovers[0].mCellid, 1);
    EXPECT_EQ(list.mRovers[1].mCellid, 3);
    EXPECT_EQ(list.mRovers[2].mCellid, 4);
    list.Add(5, EHeading_NE, RoverPace_Norm);
    EXPECT_EQ(list.mRovers[3].mCellid, 5);
    list.RemoveAt(0);
    EXPECT_EQ(list.mRovers[0].mCellid, 3);
    EXPECT_EQ(list.mRovers[2].mCellid, 5);
}

TEST(Matrix, NewBoardIsEmptyWithANineByNineWindow)
{
    Matrix grid;
    EXPECT_EQ(grid.mFirstRow, 0);
    EXPECT_EQ(grid.mLastRow, 8);
    EXPECT_EQ(grid.mFirstCol, 0);
    EXPECT_EQ(grid.mLastCol, 8);
    EXPECT_EQ(grid.mNumRows, 9);
    EXPECT_EQ(grid.mNumCols, 9);
    EXPECT_EQ(grid.mRovers.mCount, 0);
    for (const Obstacle& cell : grid.mCells) {
        EXPECT_EQ(cell.mKind, EObstacle_empty);
        EXPECT_EQ(cell.mState, 0);
    }
}

TEST(Matrix, ResizingTheWindowKeepsCellsAndRovers)
{
    Matrix grid;
    grid.SetLastRow(16);
    grid.SetLastCol(16);
    grid.mRovers.Add(CellId(12, 14), EHeading_N, RoverPace_Norm);
    grid.mCells[CellId(15, 15)].mKind = EObstacle_Spin;
    grid.SetLastRow(0);
    grid.SetLastCol(3);
    EXPECT_EQ(grid.mNumRows, 1);
    EXPECT_EQ(grid.mNumCols, 4);
    EXPECT_EQ(grid.mRovers.mRovers[0].mCellid, CellId(12, 14));
    EXPECT_EQ(grid.mCells[CellId(15, 15)].mKind, EObstacle_Spin);
    grid.SetLastRow(40);  // held on the board
    EXPECT_EQ(grid.mLastRow, 16);
    EXPECT_EQ(grid.mNumRows, 17);
}

TEST(Matrix, CopyGridCopiesWindowAllRoverSlotsAndCells)
{
    Matrix source;
    source.SetLastRow(4);
    source.SetLastCol(11);
    for (int i = 0; i < 5; ++i) source.mRovers.Add(CellId(i, i + 1), i, i % 2);
    source.mRovers.mRovers[1].mResting = 1;
    source.mRovers.mRovers[2].mCollisionCount = 7;
    source.mRovers.mCount = 3;  // slots 3 and 4 hold stale rovers, copied all the same
    source.mCells[7].mKind = EObstacle_WgE;
    source.mCells[7].mState = 1;
    source.mCells[288].mState = 1;

    Matrix destination;
    for (int i = 0; i < 10; ++i) destination.mRovers.Add(200 + i, EHeading_NW, RoverPace_Norm);
    destination.mCells[100].mKind = EObstacle_Pillar;

    CopyGrid(&destination, source);
    EXPECT_EQ(destination.mLastRow, 4);
    EXPECT_EQ(destination.mLastCol, 11);
    EXPECT_EQ(destination.mNumRows, 5);
    EXPECT_EQ(destination.mNumCols, 12);
    EXPECT_EQ(destination.mRovers.mCount, 3);
    for (int i = 0; i < MAX_ROVERS; ++i) {
        const Rover& a = source.mRovers.mRovers[i];
        const Rover& b = destination.mRovers.mRovers[i];
        EXPECT_EQ(b.mRow, a.mRow) << i;
        EXPECT_EQ(b.mCol, a.mCol) << i;
        EXPECT_EQ(b.mCellid, a.mCellid) << i;
        EXPECT_EQ(b.mHeading, a.mHeading) << i;
        EXPECT_EQ(b.mPace, a.mPace) << i;
        EXPECT_EQ(b.mResting, a.mResting) << i;
        EXPECT_EQ(b.mCollisionCount, a.mCollisionCount) << i;
    }
    EXPECT_EQ(destination.mRovers.mRovers[4].mCellid, CellId(4, 5));
    EXPECT_EQ(destination.mRovers.mRovers[10].mCellid, -1);  // free slot of the source
    EXPECT_EQ(destination.mCells[7].mKind, EObstacle_WgE);
    EXPECT_EQ(destination.mCells[7].mState, 1);
    EXPECT_EQ(destination.mCells[288].mState, 1);
    EXPECT_EQ(destination.mCells[100].mKind, EObstacle_empty);
}
