// Helpers shared by the grid-world tests.
#pragma once

#include <gtest/gtest.h>

#include "GridTypes.h"
#include "Matrix.h"
#include "PseudoRandom.h"
#include "WallNotes.h"

// Wall notes whose note differs per wall and position; every note sounds
// with mProbability except mQuietNote, which never sounds.
class FakeWallNotes : public IWallNotes {
public:
    int WallNote(int wall, int position) const override { return 40 + wall * WALL_POSITIONS + position; }
    double NoteProbability(int note) const override { return note == mQuietNote ? 0.0 : mProbability; }

    double mProbability = 1.0;
    int mQuietNote = -1;
};

// How many draws lead from `before` to `after`, or -1 when more than 1000.
inline int DrawsBetween(PseudoRandom before, const PseudoRandom& after)
{
    for (int draws = 0; draws <= 1000; ++draws) {
        if (before.mHalfW == after.mHalfW && before.mHalfZ == after.mHalfZ) return draws;
        before.Next();
    }
    return -1;
}

// Discards draws until the coming draws satisfy the predicate (tried on a
// copy), so a test can pick the random outcome it needs.
template <class Predicate>
void SkipUntil(PseudoRandom* pRandom, Predicate predicate)
{
    for (int i = 0; i < 100000; ++i) {
        PseudoRandom probe = *pRandom;
        if (predicate(probe)) return;
        pRandom->Next();
    }
    ADD_FAILURE() << "no generator state satisfies the predicate";
}

// Whether the rover stands at (row, col), counted in that cell, with the
// heading, pace, resting flag and collision count given; a failure shows
// every field of both.
inline testing::AssertionResult RoverIs(const Rover& rover, int row, int col, int heading, int pace, int resting,
                                        int collisions)
{
    if (rover.mRow == row && rover.mCol == col && rover.mCellid == CellId(row, col) && rover.mHeading == heading &&
        rover.mPace == pace && rover.mResting == resting && rover.mCollisionCount == collisions) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "rover at (" << rover.mRow << ", " << rover.mCol << ") in cell "
                                       << rover.mCellid << ", heading " << rover.mHeading << ", pace " << rover.mPace
                                       << ", resting " << rover.mResting << ", collisions " << rover.mCollisionCount
                                       << "; expected (" << row << ", " << col << ") in cell " << CellId(row, col)
                                       << ", heading " << heading << ", pace " << pace << ", resting " << resting
                                       << ", collisions " << collisions;
}

// A drawn step as the simulation takes it: -1, 0 or +1.
inline int DrawStep(PseudoRandom& random) { return random.RoundedChoice(2) - 1; }

// What must hold for any board the simulation is given. A rover jostled by
// the wobble keeps showing in its old cell until it next moves (a slow rover
// may sit out that step), so after simulation steps the cell only has to be
// on the board.
inline void ExpectPlayableGrid(const Matrix& grid, bool cellFollowsPosition = true)
{
    EXPECT_EQ(grid.mFirstRow, 0);
    EXPECT_EQ(grid.mFirstCol, 0);
    EXPECT_TRUE(grid.mLastRow >= 0 && grid.mLastRow < MAX_ROWS);
    EXPECT_TRUE(grid.mLastCol >= 0 && grid.mLastCol < MAX_COLS);
    EXPECT_EQ(grid.mNumRows, grid.mLastRow + 1);
    EXPECT_EQ(grid.mNumCols, grid.mLastCol + 1);
    ASSERT_TRUE(grid.mRovers.mCount >= 0 && grid.mRovers.mCount <= MAX_ROVERS);
    for (int i = 0; i < grid.mRovers.mCount; ++i) {
        const Rover& rover = grid.mRovers.mRovers[i];
        EXPECT_TRUE(rover.mRow >= 0 && rover.mRow < MAX_ROWS) << "rover " << i;
        EXPECT_TRUE(rover.mCol >= 0 && rover.mCol < MAX_COLS) << "rover " << i;
        if (cellFollowsPosition) {
            EXPECT_EQ(rover.mCellid, CellId(rover.mRow, rover.mCol)) << "rover " << i;
        } else {
            EXPECT_TRUE(rover.mCellid >= 0 && rover.mCellid < MAX_CELLS) << "rover " << i;
        }
        EXPECT_TRUE(rover.mHeading >= 0 && rover.mHeading < EHeading_NumHeadings) << "rover " << i;
        EXPECT_TRUE(rover.mPace == 0 || rover.mPace == 1) << "rover " << i;
        EXPECT_TRUE(rover.mResting == 0 || rover.mResting == 1) << "rover " << i;
        EXPECT_GE(rover.mCollisionCount, 0) << "rover " << i;
    }
    for (int cell = 0; cell < MAX_CELLS; ++cell) {
        EXPECT_TRUE(grid.mCells[cell].mKind >= 0 && grid.mCells[cell].mKind < EObstacle_NumKinds) << "cell " << cell;
        EXPECT_TRUE(grid.mCells[cell].mState == 0 || grid.mCells[cell].mState == 1) << "cell " << cell;
    }
}
