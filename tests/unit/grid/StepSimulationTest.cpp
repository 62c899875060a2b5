#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "GridTestSupport.h"
#include "Matrix.h"
#include "Obstacle.h"
#include "PseudoRandom.h"
#include "StepSimulation.h"

namespace {

class StepSimulationTest : public ::testing::Test {
protected:
    StepSimulationTest() : mSimulation(&mGrid, &mRandom, &mNotes) {}

    Rover& AddRover(int row, int col, int heading, int pace = RoverPace_Norm)
    {
        EXPECT_TRUE(mGrid.mRovers.Add(CellId(row, col), heading, pace));
        return mGrid.mRovers.mRovers[mGrid.mRovers.mCount - 1];
    }
    Obstacle& Cell(int row, int col) { return mGrid.mCells[CellId(row, col)]; }
    void ResetGrid() { mGrid = Matrix(); }
    std::vector<int> Struck(int wall) const
    {
        std::vector<int> positions;
        const auto& struck = mSimulation.mStrikes[wall].mStruck;
        for (int i = 0; i < struck.ListLength(); ++i) positions.push_back(struck.Item(i));
        return positions;
    }
    std::vector<int> TouchedCells() const
    {
        std::vector<int> cells;
        for (int i = 0; i < mSimulation.mDirtyCells.ListLength(); ++i) cells.push_back(mSimulation.mDirtyCells.Item(i));
        return cells;
    }
    int Mark(int wall, int position) const { return mSimulation.mStrikes[wall].mMarks[position]; }
    // Draws taken since the snapshot.
    int DrawsSince(const PseudoRandom& snapshot) const { return DrawsBetween(snapshot, mRandom); }

    Matrix mGrid;
    PseudoRandom mRandom;
    FakeWallNotes mNotes;
    StepSimulation mSimulation;
};

// The heading a rover leaves with, by the heading it enters `kind` with.
struct HeadingCase {
    int kind;
    int table[EHeading_NumHeadings];
};

const int N = EHeading_N, E = EHeading_E, S = EHeading_S, W = EHeading_W;
const int NE = EHeading_NE, SE = EHeading_SE, SW = EHeading_SW, NW = EHeading_NW;

}  // namespace

// ---- Obstacles ------------------------------------------------------------

TEST_F(StepSimulationTest, FixedMirrorsFollowTheirHeadingTables)
{
    const HeadingCase cases[] = {
        {EObstacle_MirHor, {N, W, S, E, NW, SW, SE, NE}}, {EObstacle_MirVr, {S, E, N, W, SE, NE, NW, SW}},
        {EObstacle_MirUp, {E, N, W, S, NE, NW, SW, SE}},  {EObstacle_MirDn, {W, S, E, N, SW, SE, NE, NW}},
        {EObstacle_Pillar, {S, W, N, E, SW, NW, NE, SE}},
    };
    for (const HeadingCase& c : cases) {
        for (int h = 0; h < EHeading_NumHeadings; ++h) {
            ResetGrid();
            Rover& rover = AddRover(4, 4, h);
            const int row = 4 + HEADING_ROW_STEP[h], col = 4 + HEADING_COL_STEP[h];
            Cell(row, col).mKind = c.kind;
            const PseudoRandom before = mRandom;
            mSimulation.MoveRover(rover);
            EXPECT_EQ(rover.mHeading, c.table[h]) << "kind " << c.kind << " heading " << h;
            EXPECT_EQ(rover.mCellid, CellId(row, col)) << "kind " << c.kind << " heading " << h;
            EXPECT_EQ(Cell(row, col).mKind, c.kind);
            EXPECT_EQ(DrawsSince(before), 3);  // obstacle, wrap, near
        }
    }
}

TEST_F(StepSimulationTest, WedgesSplitHeadOnRoversAlternatelyAndTurnTheRest)
{
    struct WedgeCase {
        int kind, headOn, firstSide, secondSide, own;
    };
    const WedgeCase cases[] = {
        {EObstacle_WgN, S, W, E, N},
        {EObstacle_WgE, W, S, N, E},
        {EObstacle_WgS, N, W, E, S},
        {EObstacle_WgW, E, S, N, W},
    };
    for (const WedgeCase& c : cases) {
        ResetGrid();
        const int row = 4 + HEADING_ROW_STEP[c.headOn], col = 4 + HEADING_COL_STEP[c.headOn];
        Cell(row, col).mKind = c.kind;
        Rover& first = AddRover(4, 4, c.headOn);
        mSimulation.MoveRover(first);
        EXPECT_EQ(first.mHeading, c.firstSide) << c.kind;
        EXPECT_EQ(Cell(row, col).mState, 1);
        Rover& second = AddRover(4, 4, c.headOn);
        mSimulation.MoveRover(second);
        EXPECT_EQ(second.mHeading, c.secondSide) << c.kind;
        EXPECT_EQ(Cell(row, col).mState, 0);

        for (int h = 0; h < EHeading_NumHeadings; ++h) {
            if (h == c.headOn) continue;
            ResetGrid();
            Obstacle& wedge = Cell(4 + HEADING_ROW_STEP[h], 4 + HEADING_COL_STEP[h]);
            wedge.mKind = c.kind;
            wedge.mState = 1;
            Rover& rover = AddRover(4, 4, h);
            mSimulation.MoveRover(rover);
            EXPECT_EQ(rover.mHeading, c.own) << "kind " << c.kind << " heading " << h;
            EXPECT_EQ(wedge.mState, 1);
        }
    }
}

TEST_F(StepSimulationTest, PauseHoldsBackEverySecondArrival)
{
    Cell(4, 5).mKind = EObstacle_Pause;
    Rover& rover = AddRover(4, 4, E);
    mSimulation.MoveRover(rover);
    EXPECT_EQ(rover.mCellid, CellId(4, 5));
    EXPECT_EQ(Cell(4, 5).mState, 1);

    rover.SetPosition(4, 4);
    mSimulation.ClearStep();
    mSimulation.MoveRover(rover);
    EXPECT_EQ(rover.mCellid, CellId(4, 4));
    EXPECT_EQ(rover.mHeading, E);
    EXPECT_EQ(Cell(4, 5).mState, 0);
    EXPECT_EQ(TouchedCells(), std::vector<int>{CellId(4, 4)});

    mSimulation.MoveRover(rover);
    EXPECT_EQ(rover.mCellid, CellId(4, 5));
}

TEST_F(StepSimulationTest, TiltingMirrorsReflectAndFlipToTheirPartner)
{
    struct TiltCase {
        int kind, partner, heading, reflected, partnerReflected;
    };
    // Heading N into each mirror, then N again into its partner.
    const TiltCase cases[] = {
        {EObstacle_MirUpT, EObstacle_MirDnT, N, E, W},
        {EObstacle_MirDnT, EObstacle_MirUpT, N, W, E},
        {EObstacle_MirHT, EObstacle_MirVT, NE, NW, SE},
        {EObstacle_MirVT, EObstacle_MirHT, NE, SE, NW},
    };
    for (const TiltCase& c : cases) {
        ResetGrid();
        const int row = 4 + HEADING_ROW_STEP[c.heading], col = 4 + HEADING_COL_STEP[c.heading];
        Cell(row, col).mKind = c.kind;
        Cell(row, col).mState = 1;
        Rover& first = AddRover(4, 4, c.heading);
        mSimulation.MoveRover(first);
        EXPECT_EQ(first.mHeading, c.reflected) << c.kind;
        EXPECT_EQ(Cell(row, col).mKind, c.partner);
        EXPECT_EQ(Cell(row, col).mState, 1);
        Rover& second = AddRover(4, 4, c.heading);
        mSimulation.MoveRover(second);
        EXPECT_EQ(second.mHeading, c.partnerReflected) << c.kind;
        EXPECT_EQ(Cell(row, col).mKind, c.kind);
    }
}

TEST_F(StepSimulationTest, PaceChangersSetAndToggleThePace)
{
    Cell(4, 5).mKind = EObstacle_PSlow;
    Cell(4, 6).mKind = EObstacle_PTogl;
    Cell(4, 7).mKind = EObstacle_PNorm;
    Rover& rover = AddRover(4, 4, E);
    mSimulation.MoveRover(rover);  // onto PSlow
    EXPECT_EQ(rover.mPace, RoverPace_Slow);
    EXPECT_EQ(rover.mResting, 0);
    mSimulation.MoveRover(rover);  // sits out the first step after becoming slow
    EXPECT_EQ(rover.mCellid, CellId(4, 5));
    mSimulation.MoveRover(rover);  // onto PTogl
    EXPECT_EQ(rover.mCellid, CellId(4, 6));
    EXPECT_EQ(rover.mPace, RoverPace_Norm);
    mSimulation.MoveRover(rover);  // onto PNorm, and moves on every step from here
    EXPECT_EQ(rover.mCellid, CellId(4, 7));
    EXPECT_EQ(rover.mPace, RoverPace_Norm);
    mSimulation.MoveRover(rover);
    EXPECT_EQ(rover.mCellid, CellId(4, 8));

    Rover& slow = AddRover(2, 3, E, RoverPace_Slow);
    Cell(2, 4).mKind = EObstacle_PTogl;
    Cell(2, 5).mKind = EObstacle_PNorm;
    mSimulation.MoveRover(slow);  // rests
    mSimulation.MoveRover(slow);  // onto PTogl: now normal
    EXPECT_EQ(slow.mPace, RoverPace_Norm);
    mSimulation.MoveRover(slow);  // onto PNorm: stays normal
    EXPECT_EQ(slow.mCellid, CellId(2, 5));
    EXPECT_EQ(slow.mPace, RoverPace_Norm);
}

TEST_F(StepSimulationTest, SpinDrawsARoundedHeading)
{
    Cell(3, 4).mKind = EObstacle_Spin;
    Rover& rover = AddRover(4, 4, N);
    PseudoRandom expected = mRandom;
    expected.Uniform();  // does the obstacle act
    const int heading = expected.RoundedChoice(7);
    const PseudoRandom before = mRandom;
    mSimulation.MoveRover(rover);
    EXPECT_EQ(rover.mHeading, heading);
    EXPECT_EQ(rover.mCellid, CellId(3, 4));
    EXPECT_EQ(DrawsSince(before), 4);
}

TEST_F(StepSimulationTest, BounceJostlesColumnThenRowAndSpins)
{
    Cell(4, 5).mKind = EObstacle_Bounce;
    Rover& rover = AddRover(4, 4, E);
    // Pick a state whose column and row steps differ, so the order shows.
    SkipUntil(&mRandom, [](PseudoRandom& r) {
        r.Uniform();
        const int colStep = DrawStep(r);
        return colStep != DrawStep(r);
    });
    PseudoRandom expected = mRandom;
    expected.Uniform();
    const int colStep = DrawStep(expected);
    const int rowStep = DrawStep(expected);
    const int heading = expected.RoundedChoice(7);
    const PseudoRandom before = mRandom;
    mSimulation.MoveRover(rover);
    EXPECT_EQ(rover.mRow, 4 + rowStep);
    EXPECT_EQ(rover.mCol, 5 + colStep);
    EXPECT_EQ(rover.mHeading, heading);
    EXPECT_EQ(DrawsSince(before), 6);
}

TEST_F(StepSimulationTest, BounceStaysInsideTheWindow)
{
    Cell(0, 4).mKind = EObstacle_Bounce;
    Rover& rover = AddRover(1, 4, N);
    SkipUntil(&mRandom, [](PseudoRandom& r) {
        r.Uniform();
        DrawStep(r);
        return DrawStep(r) == -1;
    });
    mSimulation.MoveRover(rover);
    EXPECT_EQ(rover.mRow, 0);
}

TEST_F(StepSimulationTest, WormholeSendsAnywhereOnTheFullBoard)
{
    Cell(4, 5).mKind = EObstacle_Wormh;
    Rover& rover = AddRover(4, 4, E);
    // A landing outside the 9 x 9 window.
    SkipUntil(&mRandom, [](PseudoRandom& r) {
        r.Uniform();
        const int row = r.RoundedChoice(16);
        return row > 8 && r.RoundedChoice(16) > 8;
    });
    PseudoRandom expected = mRandom;
    expected.Uniform();
    const int row = expected.RoundedChoice(16);
    const int col = expected.RoundedChoice(16);
    const int heading = expected.RoundedChoice(7);
    const PseudoRandom before = mRandom;
    mSimulation.MoveRover(rover);
    EXPECT_EQ(rover.mRow, row);
    EXPECT_EQ(rover.mCol, col);
    EXPECT_EQ(rover.mCellid, CellId(row, col));
    EXPECT_EQ(rover.mHeading, heading);
    EXPECT_EQ(DrawsSince(before), 6);

    // Its next move brings it back to the edge of the window.
    rover.mHeading = S;
    mSimulation.MoveRover(rover);
    EXPECT_EQ(rover.mCellid, CellId(8, 8));
}

TEST_F(StepSimulationTest, ObstaclesRarelyActWithObsProbZero)
{
    mSimulation.mObsProb = 0.0;
    Cell(3, 4).mKind = EObstacle_MirHT;
    Cell(4, 5).mKind = EObstacle_Pillar;
    Rover& a = AddRover(4, 4, N);
    Rover& b = AddRover(4, 4, E);
    const PseudoRandom before = mRandom;
    mSimulation.MoveRover(a);
    mSimulation.MoveRover(b);
    EXPECT_EQ(a.mHeading, N);
    EXPECT_EQ(b.mHeading, E);
    EXPECT_EQ(Cell(3, 4).mKind, EObstacle_MirHT);
    EXPECT_EQ(DrawsSince(before), 6);  // the obstacle draw is still taken
}

// ---- Walls ----------------------------------------------------------------

TEST_F(StepSimulationTest, EachWallBouncesOrWrapsAndIsStruckAtTheRoverPosition)
{
    struct WallCase {
        int row, col, heading, wall, position;
        int bounceHeading, bounceRow, bounceCol;
        int wrapRow, wrapCol;
    };
    const WallCase cases[] = {
        {1, 3, N, Wall_N, 3, S, 0, 3, 8, 3}, {7, 2, S, Wall_S, 2, N, 8, 2, 0, 2},   {5, 7, E, Wall_E, 5, W, 5, 8, 5, 0},
        {6, 1, W, Wall_W, 6, E, 6, 0, 6, 8}, {2, 1, SW, Wall_W, 3, SE, 3, 0, 3, 8},
    };
    for (const WallCase& c : cases) {
        for (bool wrap : {false, true}) {
            ResetGrid();
            mSimulation.ClearStep();
            mSimulation.mWrapProb = wrap ? 1.0 : 0.0;
            Rover& rover = AddRover(c.row, c.col, c.heading);
            const PseudoRandom before = mRandom;
            mSimulation.MoveRover(rover);
            EXPECT_EQ(Struck(c.wall), std::vector<int>{c.position}) << c.wall << wrap;
            EXPECT_EQ(Mark(c.wall, c.position), StrikeMark_Sounding);
            EXPECT_EQ(rover.mHeading, wrap ? c.heading : c.bounceHeading) << c.wall << wrap;
            EXPECT_EQ(rover.mRow, wrap ? c.wrapRow : c.bounceRow) << c.wall << wrap;
            EXPECT_EQ(rover.mCol, wrap ? c.wrapCol : c.bounceCol) << c.wall << wrap;
            EXPECT_EQ(rover.mCellid, CellId(rover.mRow, rover.mCol));
            EXPECT_EQ(DrawsSince(before), 3);  // wrap, near, the strike's note chance
        }
    }
}

TEST_F(StepSimulationTest, CornerStrikesTwoWallsInOneMove)
{
    Rover& rover = AddRover(1, 7, NE);
    const PseudoRandom before = mRandom;
    mSimulation.MoveRover(rover);
    EXPECT_EQ(Struck(Wall_N), std::vector<int>{8});
    EXPECT_EQ(Struck(Wall_E), std::vector<int>{0});
    EXPECT_EQ(rover.mHeading, SW);
    EXPECT_EQ(rover.mCellid, CellId(0, 8));
    EXPECT_EQ(DrawsSince(before), 4);  // one wrap and one near draw serve both strikes
}

TEST_F(StepSimulationTest, OneRowGridStrikesBothWallsHeadingNorth)
{
    mGrid.SetLastRow(0);
    Rover& north = AddRover(0, 3, N);
    mSimulation.MoveRover(north);
    EXPECT_EQ(Struck(Wall_N), std::vector<int>{3});
    EXPECT_EQ(Struck(Wall_S), std::vector<int>{3});
    EXPECT_EQ(north.mHeading, N);
    EXPECT_EQ(north.mCellid, CellId(0, 3));

    // South is tested after north, so a rover heading south strikes once.
    mSimulation.ClearStep();
    Rover& south = AddRover(0, 5, S);
    mSimulation.MoveRover(south);
    EXPECT_TRUE(Struck(Wall_N).empty());
    EXPECT_EQ(Struck(Wall_S), std::vector<int>{5});
    EXPECT_EQ(south.mHeading, N);

    mSimulation.ClearStep();
    Rover& east = AddRover(0, 1, E);
    mSimulation.MoveRover(east);
    EXPECT_TRUE(Struck(Wall_N).empty() && Struck(Wall_S).empty());
    EXPECT_EQ(east.mCellid, CellId(0, 2));
}

TEST_F(StepSimulationTest, OneColumnGridStrikesBothWallsHeadingEast)
{
    mGrid.SetLastCol(0);
    Rover& east = AddRover(4, 0, E);
    mSimulation.MoveRover(east);
    EXPECT_EQ(Struck(Wall_E), std::vector<int>{4});
    EXPECT_EQ(Struck(Wall_W), std::vector<int>{4});
    EXPECT_EQ(east.mHeading, E);

    mSimulation.ClearStep();
    Rover& west = AddRover(6, 0, W);
    mSimulation.MoveRover(west);
    EXPECT_TRUE(Struck(Wall_E).empty());
    EXPECT_EQ(Struck(Wall_W), std::vector<int>{6});
    EXPECT_EQ(west.mHeading, E);
}

TEST_F(StepSimulationTest, ClimbShiftsTheRoverAlongEachWall)
{
    struct ClimbCase {
        int wall, climb, row, col, heading, endRow, endCol;
    };
    const ClimbCase cases[] = {
        {Wall_N, 2, 1, 4, N, 0, 6},  {Wall_N, 3, 1, 7, N, 0, 1},  // wraps along the wall
        {Wall_S, -3, 7, 4, S, 8, 1}, {Wall_E, 1, 0, 7, E, 8, 8},  // north from row 0 is the last row
        {Wall_E, -2, 3, 7, E, 5, 8}, {Wall_W, -2, 3, 1, W, 5, 0}, {Wall_W, 8, 6, 1, W, 7, 0},
    };
    for (const ClimbCase& c : cases) {
        ResetGrid();
        for (int& climb : mSimulation.mClimb) climb = 0;
        mSimulation.mClimb[c.wall] = c.climb;
        Rover& rover = AddRover(c.row, c.col, c.heading);
        mSimulation.MoveRover(rover);
        EXPECT_EQ(rover.mRow, c.endRow) << "wall " << c.wall << " climb " << c.climb;
        EXPECT_EQ(rover.mCol, c.endCol) << "wall " << c.wall << " climb " << c.climb;
    }
    // A climb on another wall does not act.
    ResetGrid();
    for (int& climb : mSimulation.mClimb) climb = 0;
    mSimulation.mClimb[Wall_S] = 4;
    Rover& rover = AddRover(1, 4, N);
    mSimulation.MoveRover(rover);
    EXPECT_EQ(rover.mCellid, CellId(0, 4));
}

TEST_F(StepSimulationTest, NearStrikeLandsBesideTheRoverAndWraps)
{
    mSimulation.mNearProb = 1.0;
    // Third draw of the move (after wrap and near) above 0.5: offset +1.
    SkipUntil(&mRandom, [](PseudoRandom& r) {
        r.Uniform();
        r.Uniform();
        return r.Uniform() > 0.5;
    });
    Rover& up = AddRover(1, 3, N);
    mSimulation.MoveRover(up);
    EXPECT_EQ(Struck(Wall_N), std::vector<int>{4});
    EXPECT_EQ(up.mCellid, CellId(0, 3));

    mSimulation.ClearStep();
    SkipUntil(&mRandom, [](PseudoRandom& r) {
        r.Uniform();
        r.Uniform();
        return r.Uniform() <= 0.5;
    });
    Rover& left = AddRover(1, 0, N);
    mSimulation.MoveRover(left);
    EXPECT_EQ(Struck(Wall_N), std::vector<int>{8});  // column -1 is the last column
    EXPECT_EQ(left.mCellid, CellId(0, 0));

    // One offset serves both strikes of a corner: +1 on both walls.
    mSimulation.ClearStep();
    SkipUntil(&mRandom, [](PseudoRandom& r) {
        r.Uniform();
        r.Uniform();
        return r.Uniform() > 0.5;
    });
    Rover& corner = AddRover(1, 7, NE);
    const PseudoRandom before = mRandom;
    mSimulation.MoveRover(corner);
    EXPECT_EQ(Struck(Wall_N), std::vector<int>{0});
    EXPECT_EQ(Struck(Wall_E), std::vector<int>{1});
    EXPECT_EQ(DrawsSince(before), 5);
}

TEST_F(StepSimulationTest, NearStrikeOffsetAppliesAlongEveryWall)
{
    struct NearCase {
        int row, col, heading, wall, position;
    };
    const NearCase cases[] = {
        {1, 3, N, Wall_N, 4}, {7, 3, S, Wall_S, 4}, {3, 7, E, Wall_E, 4}, {3, 1, W, Wall_W, 4}, {8, 1, W, Wall_W, 0},
    };
    mSimulation.mNearProb = 1.0;
    for (const NearCase& c : cases) {
        ResetGrid();
        mSimulation.ClearStep();
        SkipUntil(&mRandom, [](PseudoRandom& r) {
            r.Uniform();
            r.Uniform();
            return r.Uniform() > 0.5;
        });
        Rover& rover = AddRover(c.row, c.col, c.heading);
        mSimulation.MoveRover(rover);
        EXPECT_EQ(Struck(c.wall), std::vector<int>{c.position}) << "wall " << c.wall << " row " << c.row;
    }
}

TEST_F(StepSimulationTest, WrapChanceBouncesWhenTheDrawReachesIt)
{
    Rover& rover = AddRover(1, 3, N);
    PseudoRandom probe = mRandom;
    mSimulation.mWrapProb = probe.Uniform();  // the draw equals the chance: bounce
    mSimulation.MoveRover(rover);
    EXPECT_EQ(rover.mCellid, CellId(0, 3));
    EXPECT_EQ(rover.mHeading, S);

    rover.SetPosition(1, 3);
    rover.mHeading = N;
    probe = mRandom;
    mSimulation.mWrapProb = std::nextafter(probe.Uniform(), 2.0);  // just below the chance: pass
    mSimulation.MoveRover(rover);
    EXPECT_EQ(rover.mCellid, CellId(8, 3));
    EXPECT_EQ(rover.mHeading, N);
}

TEST_F(StepSimulationTest, RoverOutsideAShrunkWindowReentersAtTheEdge)
{
    mGrid.SetLastRow(16);
    mGrid.SetLastCol(16);
    Rover& rover = AddRover(12, 12, N);
    mGrid.SetLastRow(8);
    mGrid.SetLastCol(8);
    mSimulation.MoveRover(rover);
    EXPECT_EQ(rover.mCellid, CellId(8, 8));
    EXPECT_EQ(rover.mHeading, N);
    EXPECT_EQ(TouchedCells(), (std::vector<int>{CellId(12, 12), CellId(8, 8)}));
}

// ---- Strikes and marks ------------------------------------------------------

TEST_F(StepSimulationTest, StrikeSoundsWhenTheDrawIsAtMostTheNoteProbability)
{
    PseudoRandom next = mRandom;
    const double u = next.Uniform();
    mNotes.mProbability = u;
    mSimulation.RegisterStrike(Wall_S, 4);
    EXPECT_EQ(Mark(Wall_S, 4), StrikeMark_Sounding);
    EXPECT_EQ(Struck(Wall_S), std::vector<int>{4});

    next = mRandom;
    mNotes.mProbability = std::nextafter(next.Uniform(), 0.0);
    mSimulation.RegisterStrike(Wall_S, 9);
    EXPECT_EQ(Mark(Wall_S, 9), StrikeMark_Silent);
    EXPECT_EQ(Struck(Wall_S), std::vector<int>{4});
}

TEST_F(StepSimulationTest, StrikeAsksForTheProbabilityOfItsOwnNote)
{
    mNotes.mQuietNote = mNotes.WallNote(Wall_E, 5);
    mSimulation.RegisterStrike(Wall_E, 5);
    mSimulation.RegisterStrike(Wall_E, 6);
    mSimulation.RegisterStrike(Wall_W, 5);
    EXPECT_EQ(Mark(Wall_E, 5), StrikeMark_Silent);
    EXPECT_EQ(Mark(Wall_E, 6), StrikeMark_Sounding);
    EXPECT_EQ(Mark(Wall_W, 5), StrikeMark_Sounding);
}

TEST_F(StepSimulationTest, SilentStepMarksStrikesSilentWithoutDrawing)
{
    mSimulation.mSilentStep = true;
    const PseudoRandom before = mRandom;
    mSimulation.RegisterStrike(Wall_N, 2);
    EXPECT_EQ(DrawsSince(before), 0);
    EXPECT_EQ(Mark(Wall_N, 2), StrikeMark_Silent);
    EXPECT_TRUE(Struck(Wall_N).empty());
}

TEST_F(StepSimulationTest, MutedPositionsTakeTheirDrawButStayMuted)
{
    mSimulation.SetWallMuted(Wall_W, true);
    for (int p = 0; p < WALL_POSITIONS; ++p) EXPECT_EQ(Mark(Wall_W, p), StrikeMark_Muted);
    PseudoRandom before = mRandom;
    mSimulation.RegisterStrike(Wall_W, 3);
    EXPECT_EQ(DrawsSince(before), 1);
    EXPECT_EQ(Mark(Wall_W, 3), StrikeMark_Muted);
    EXPECT_TRUE(Struck(Wall_W).empty());

    mSimulation.mSilentStep = true;
    before = mRandom;
    mSimulation.RegisterStrike(Wall_W, 3);
    EXPECT_EQ(DrawsSince(before), 0);
    EXPECT_EQ(Mark(Wall_W, 3), StrikeMark_Muted);

    mSimulation.SetWallMuted(Wall_W, false);
    for (int p = 0; p < WALL_POSITIONS; ++p) EXPECT_EQ(Mark(Wall_W, p), StrikeMark_None);
}

TEST_F(StepSimulationTest, LaterSilentStrikeKeepsAnEarlierSoundingPositionListed)
{
    mSimulation.RecordStrike(Wall_N, 7);
    mNotes.mProbability = 0.0;
    mSimulation.RegisterStrike(Wall_N, 7);
    EXPECT_EQ(Mark(Wall_N, 7), StrikeMark_Silent);
    EXPECT_EQ(Struck(Wall_N), std::vector<int>{7});
    EXPECT_EQ(mSimulation.mStrikes[Wall_N].mStruck.Count(7), 1);
}

TEST_F(StepSimulationTest, ClearStepKeepsOnlyMutedMarks)
{
    mSimulation.SetWallMuted(Wall_E, true);
    mSimulation.RecordStrike(Wall_N, 1);
    mSimulation.RecordStrike(Wall_E, 2);  // listed, mark stays muted
    EXPECT_EQ(Mark(Wall_E, 2), StrikeMark_Muted);
    mNotes.mProbability = 0.0;
    mSimulation.RegisterStrike(Wall_S, 3);
    mSimulation.TouchCell(40);
    mSimulation.ClearStep();
    EXPECT_EQ(Mark(Wall_N, 1), StrikeMark_None);
    EXPECT_EQ(Mark(Wall_S, 3), StrikeMark_None);
    EXPECT_EQ(Mark(Wall_E, 2), StrikeMark_Muted);
    for (int wall = 0; wall < Wall_NumWalls; ++wall) EXPECT_TRUE(Struck(wall).empty());
    EXPECT_TRUE(TouchedCells().empty());
    EXPECT_EQ(mSimulation.mDirtyCells.Count(40), 0);
}

TEST_F(StepSimulationTest, TouchAllCellsListsEveryCellOnceInOrder)
{
    mSimulation.TouchCell(200);
    mSimulation.TouchAllCells();
    mSimulation.TouchAllCells();
    const std::vector<int> touched = TouchedCells();
    ASSERT_EQ(touched.size(), static_cast<size_t>(MAX_CELLS));
    EXPECT_EQ(touched[0], 200);
    EXPECT_EQ(touched[1], 0);
    EXPECT_EQ(touched[288], 288);
    EXPECT_EQ(mSimulation.mDirtyCells.Count(200), 3);
}

// ---- Advancing, wobble, pace and the draw order -------------------------------

TEST_F(StepSimulationTest, NoRoversNoDraws)
{
    mSimulation.mWobble = 1.0;
    const PseudoRandom before = mRandom;
    mSimulation.AdvanceRovers();
    EXPECT_EQ(DrawsSince(before), 0);
}

TEST_F(StepSimulationTest, DefaultsTakeThreeDrawsPerStepForOneRover)
{
    AddRover(4, 1, E);
    PseudoRandom reference;
    for (int step = 0; step < 5; ++step) {
        mSimulation.ClearStep();
        mSimulation.AdvanceRovers();
        for (int i = 0; i < 3; ++i) reference.Next();
        EXPECT_EQ(mRandom.mHalfW, reference.mHalfW) << "step " << step;
        EXPECT_EQ(mRandom.mHalfZ, reference.mHalfZ) << "step " << step;
    }
    EXPECT_EQ(mGrid.mRovers.mRovers[0].mCellid, CellId(4, 6));
    EXPECT_EQ(TouchedCells(), (std::vector<int>{CellId(4, 5), CellId(4, 6)}));
}

TEST_F(StepSimulationTest, WobbleJostlesColumnFirstThenMoves)
{
    mSimulation.mWobble = 1.0;
    Rover& rover = AddRover(4, 4, E);
    SkipUntil(&mRandom, [](PseudoRandom& r) {
        r.Uniform();
        r.Next();
        const int colStep = DrawStep(r);
        return colStep != DrawStep(r);
    });
    PseudoRandom expected = mRandom;
    expected.Uniform();
    expected.Next();
    const int colStep = DrawStep(expected);
    const int rowStep = DrawStep(expected);
    const PseudoRandom before = mRandom;
    mSimulation.AdvanceRovers();
    EXPECT_EQ(rover.mRow, 4 + rowStep);
    EXPECT_EQ(rover.mCol, 4 + colStep + 1);
    EXPECT_EQ(DrawsSince(before), 6);
    // The cell the rover was shown in is refreshed, not the jostled one.
    EXPECT_EQ(TouchedCells().front(), CellId(4, 4));
}

TEST_F(StepSimulationTest, WobbleKeepsTheShownCellUntilTheMoveAndStaysInTheWindow)
{
    Rover& rover = AddRover(4, 4, E);
    SkipUntil(&mRandom, [](PseudoRandom& r) { return DrawStep(r) == -1 && DrawStep(r) == 1; });
    mSimulation.WobbleRover(rover);
    EXPECT_EQ(rover.mCol, 3);
    EXPECT_EQ(rover.mRow, 5);
    EXPECT_EQ(rover.mCellid, CellId(4, 4));  // follows on the next move

    Rover& corner = AddRover(0, 0, E);
    SkipUntil(&mRandom, [](PseudoRandom& r) { return DrawStep(r) == -1 && DrawStep(r) == -1; });
    mSimulation.WobbleRover(corner);
    EXPECT_EQ(corner.mRow, 0);  // held inside the window
    EXPECT_EQ(corner.mCol, 0);
}

TEST_F(StepSimulationTest, WobbleJostlesOnlyTheChosenRoverAtItsTurn)
{
    mSimulation.mWobble = 1.0;
    AddRover(2, 2, E);
    AddRover(4, 2, E);
    AddRover(6, 2, E);
    // The rovers before the chosen one take their move draws (wrap, near)
    // before it is jostled.
    SkipUntil(&mRandom, [](PseudoRandom& r) {
        r.Uniform();
        const int chosen = static_cast<int>(r.Next() % 3u);
        for (int i = 0; i < 2 * chosen; ++i) r.Next();
        return chosen > 0 && DrawStep(r) == 1 && DrawStep(r) == 1;
    });
    PseudoRandom expected = mRandom;
    expected.Uniform();
    const int chosen = static_cast<int>(expected.Next() % 3u);
    mSimulation.AdvanceRovers();
    for (int i = 0; i < 3; ++i) {
        const Rover& rover = mGrid.mRovers.mRovers[i];
        const int jostle = i == chosen ? 1 : 0;
        EXPECT_EQ(rover.mRow, 2 + 2 * i + jostle) << "rover " << i << " chosen " << chosen;
        EXPECT_EQ(rover.mCol, 3 + jostle) << "rover " << i << " chosen " << chosen;
    }
}

TEST_F(StepSimulationTest, WobbleChanceIsTestedAgainstTheFirstDraw)
{
    AddRover(4, 4, E);
    PseudoRandom probe = mRandom;
    const double u = probe.Uniform();
    mSimulation.mWobble = std::nextafter(u, 0.0);
    PseudoRandom before = mRandom;
    mSimulation.AdvanceRovers();
    EXPECT_EQ(DrawsSince(before), 3);  // not chosen: no choice, no jostle

    probe = mRandom;
    mSimulation.mWobble = probe.Uniform();
    before = mRandom;
    mSimulation.AdvanceRovers();
    EXPECT_EQ(DrawsSince(before), 6);
}

TEST_F(StepSimulationTest, SlowRoverSitsOutEveryOtherStepWithoutDrawing)
{
    Rover& rover = AddRover(4, 1, E, RoverPace_Slow);
    const int expectedCol[] = {1, 2, 2, 3};
    for (int step = 0; step < 4; ++step) {
        mSimulation.ClearStep();
        const PseudoRandom before = mRandom;
        mSimulation.AdvanceRovers();
        const bool rests = step % 2 == 0;
        EXPECT_EQ(rover.mResting, rests ? 1 : 0) << step;
        EXPECT_EQ(rover.mCol, expectedCol[step]) << step;
        EXPECT_EQ(DrawsSince(before), rests ? 1 : 3) << step;
        EXPECT_EQ(TouchedCells().size(), rests ? 0u : 2u) << step;
    }
}

// ---- Collisions -----------------------------------------------------------

TEST_F(StepSimulationTest, AloneRoversShowTheirCodeAndForgetCollisions)
{
    AddRover(1, 1, W).mCollisionCount = 5;
    AddRover(2, 2, NE, RoverPace_Slow);
    mSimulation.mCellDisplay[100] = 9;
    mSimulation.ResolveCollisions();
    EXPECT_EQ(mSimulation.mCellDisplay[CellId(1, 1)], W + 1);
    EXPECT_EQ(mSimulation.mCellDisplay[CellId(2, 2)], NE + 9);
    EXPECT_EQ(mSimulation.mCellDisplay[100], DISPLAY_CODE_EMPTY);
    EXPECT_EQ(mGrid.mRovers.mRovers[0].mCollisionCount, 0);
    EXPECT_EQ(mGrid.mRovers.mRovers[0].mHeading, W);
}

TEST_F(StepSimulationTest, RoversSharingACellTurnAQuarterOnEveryRefresh)
{
    AddRover(3, 3, N);
    AddRover(3, 3, NW);
    AddRover(5, 5, S);
    const PseudoRandom before = mRandom;
    mSimulation.ResolveCollisions();
    EXPECT_EQ(mSimulation.mCellDisplay[CellId(3, 3)], DISPLAY_CODE_COLLISION);
    EXPECT_EQ(mGrid.mRovers.mRovers[0].mHeading, E);
    EXPECT_EQ(mGrid.mRovers.mRovers[1].mHeading, NE);
    EXPECT_EQ(mGrid.mRovers.mRovers[2].mHeading, S);
    mSimulation.ResolveCollisions();
    EXPECT_EQ(mGrid.mRovers.mRovers[0].mHeading, S);
    EXPECT_EQ(mGrid.mRovers.mRovers[1].mHeading, SE);
    EXPECT_EQ(mGrid.mRovers.mRovers[0].mCollisionCount, 0);  // no group limit: not counted
    EXPECT_EQ(DrawsSince(before), 0);
}

TEST_F(StepSimulationTest, GroupLimitGivesARandomHeadingOfTheSameKind)
{
    mSimulation.mGroupLimit = 2;
    AddRover(3, 3, N);
    AddRover(3, 3, NE);
    for (int refresh = 1; refresh <= 2; ++refresh) {
        mSimulation.ResolveCollisions();
        EXPECT_EQ(mGrid.mRovers.mRovers[0].mCollisionCount, refresh);
        EXPECT_EQ(mGrid.mRovers.mRovers[1].mCollisionCount, refresh);
    }
    EXPECT_EQ(mGrid.mRovers.mRovers[0].mHeading, S);
    EXPECT_EQ(mGrid.mRovers.mRovers[1].mHeading, SW);

    PseudoRandom expected = mRandom;
    const int straight = expected.RoundedChoice(3);
    const int diagonal = 4 | expected.RoundedChoice(3);
    const PseudoRandom before = mRandom;
    mSimulation.ResolveCollisions();
    EXPECT_EQ(mGrid.mRovers.mRovers[0].mHeading, straight);
    EXPECT_EQ(mGrid.mRovers.mRovers[1].mHeading, diagonal);
    EXPECT_EQ(mGrid.mRovers.mRovers[0].mCollisionCount, 0);
    EXPECT_EQ(mGrid.mRovers.mRovers[1].mCollisionCount, 0);
    EXPECT_EQ(DrawsSince(before), 2);
}

TEST_F(StepSimulationTest, RoversMeetingInACellTurnAfterTheStep)
{
    AddRover(4, 3, E);
    AddRover(4, 5, W);
    mSimulation.ClearStep();
    mSimulation.AdvanceRovers();
    mSimulation.ResolveCollisions();
    EXPECT_EQ(mSimulation.mCellDisplay[CellId(4, 4)], DISPLAY_CODE_COLLISION);
    EXPECT_EQ(mGrid.mRovers.mRovers[0].mHeading, S);
    EXPECT_EQ(mGrid.mRovers.mRovers[1].mHeading, N);
    EXPECT_EQ(TouchedCells(), (std::vector<int>{CellId(4, 3), CellId(4, 4), CellId(4, 5)}));
}
