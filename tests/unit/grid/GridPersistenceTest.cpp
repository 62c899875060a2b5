#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "GridTestSupport.h"
#include "Matrix.h"
#include "PseudoRandom.h"
#include "StepSimulation.h"
#include "framework/plugin/StateChunk.h"

namespace {

typedef std::vector<uint8_t> Bytes;

const int EMPTY_RECORD_SIZE = 586;
const int ROVER_RECORD_SIZE = 6;

Bytes BytesOf(const StateChunk& chunk) { return Bytes(chunk.Data(), chunk.Data() + chunk.Size()); }

StateChunk ChunkOf(const Bytes& bytes, size_t length)
{
    StateChunk chunk;
    chunk.PutBytes(bytes.data(), static_cast<int>(length));
    return chunk;
}
StateChunk ChunkOf(const Bytes& bytes) { return ChunkOf(bytes, bytes.size()); }

// Window 6 x 7, two rovers, three obstacles.
Matrix SampleGrid()
{
    Matrix grid;
    grid.SetLastRow(5);
    grid.SetLastCol(6);
    grid.mRovers.Add(CellId(2, 3), EHeading_E, RoverPace_Norm);
    grid.mRovers.Add(CellId(7, 1), EHeading_NW, RoverPace_Slow);
    grid.mRovers.mRovers[1].mResting = 1;
    grid.mRovers.mRovers[1].mCollisionCount = 4;
    grid.mCells[0].mKind = EObstacle_MirHor;
    grid.mCells[20].mKind = EObstacle_WgN;
    grid.mCells[20].mState = 1;
    grid.mCells[288].mKind = EObstacle_PTogl;
    grid.mCells[288].mState = 1;
    return grid;
}

// The record of SampleGrid, written out by hand.
Bytes SampleBytes()
{
    Bytes bytes = {
        0, 5, 0, 6,        // first row, last row, first column, last column
        2, 0, 0, 0,        // rover count, int32 little-endian
        2, 3, 1, 0, 0, 0,  // row, column, heading E, pace, resting, collisions
        7, 1, 7, 1, 1, 4,  // heading NW, slow, resting, 4 collisions
    };
    Bytes cells(2 * MAX_CELLS, 0);
    cells[0] = EObstacle_MirHor;
    cells[2 * 20] = EObstacle_WgN;
    cells[2 * 20 + 1] = 1;
    cells[2 * 288] = EObstacle_PTogl;
    cells[2 * 288 + 1] = 1;
    bytes.insert(bytes.end(), cells.begin(), cells.end());
    return bytes;
}

// A board that differs from the sample everywhere, to show what a load kept.
Matrix PriorGrid()
{
    Matrix grid;
    grid.SetLastRow(16);
    grid.SetLastCol(16);
    grid.mRovers.Add(CellId(10, 10), EHeading_SW, RoverPace_Norm);
    grid.mRovers.Add(CellId(11, 12), EHeading_S, RoverPace_Slow);
    grid.mRovers.Add(CellId(16, 16), EHeading_W, RoverPace_Norm);
    grid.mRovers.mRovers[1].mCollisionCount = 9;
    for (int cell = 0; cell < MAX_CELLS; ++cell) grid.mCells[cell].mKind = EObstacle_Spin;
    return grid;
}

}  // namespace

TEST(MatrixRecord, SavesWindowRoversAndCellsByteForByte)
{
    StateChunk chunk;
    EXPECT_TRUE(SampleGrid().Save(&chunk));
    EXPECT_EQ(chunk.Size(), EMPTY_RECORD_SIZE + 2 * ROVER_RECORD_SIZE);
    EXPECT_EQ(BytesOf(chunk), SampleBytes());

    StateChunk empty;
    EXPECT_TRUE(Matrix().Save(&empty));
    Bytes expected(EMPTY_RECORD_SIZE, 0);
    expected[1] = 8;
    expected[3] = 8;
    EXPECT_EQ(BytesOf(empty), expected);
}

TEST(MatrixRecord, LoadsTheRecordAtAPosition)
{
    Bytes bytes = {0xAA, 0xBB, 0xCC};
    const Bytes record = SampleBytes();
    bytes.insert(bytes.end(), record.begin(), record.end());
    const StateChunk chunk = ChunkOf(bytes);

    Matrix grid = PriorGrid();
    EXPECT_EQ(grid.Load(&chunk, 3), static_cast<int>(bytes.size()));
    EXPECT_EQ(grid.mLastRow, 5);
    EXPECT_EQ(grid.mLastCol, 6);
    EXPECT_EQ(grid.mNumRows, 6);
    EXPECT_EQ(grid.mNumCols, 7);
    ASSERT_EQ(grid.mRovers.mCount, 2);
    EXPECT_TRUE(RoverIs(grid.mRovers.mRovers[0], 2, 3, EHeading_E, RoverPace_Norm, 0, 0));
    EXPECT_TRUE(RoverIs(grid.mRovers.mRovers[1], 7, 1, EHeading_NW, RoverPace_Slow, 1, 4));
    EXPECT_EQ(grid.mCells[0].mKind, EObstacle_MirHor);
    EXPECT_EQ(grid.mCells[1].mKind, EObstacle_empty);
    EXPECT_EQ(grid.mCells[20].mKind, EObstacle_WgN);
    EXPECT_EQ(grid.mCells[20].mState, 1);
    EXPECT_EQ(grid.mCells[288].mKind, EObstacle_PTogl);
}

TEST(MatrixRecord, FullRoverListRoundTripsInOrder)
{
    Matrix grid;
    grid.SetLastRow(16);
    grid.SetLastCol(12);
    for (int i = 0; i < MAX_ROVERS; ++i) {
        grid.mRovers.Add(CellId(16 - i % 17, (i * 5) % 17), i % 8, i % 2);
        grid.mRovers.mRovers[i].mCollisionCount = i * 5;
        grid.mRovers.mRovers[i].mResting = i % 2 && i % 3 == 0;
    }
    for (int cell = 0; cell < MAX_CELLS; ++cell) {
        grid.mCells[cell].mKind = (cell * 7) % EObstacle_NumKinds;
        grid.mCells[cell].mState = cell % 3 == 0;
    }
    StateChunk saved;
    ASSERT_TRUE(grid.Save(&saved));
    EXPECT_EQ(saved.Size(), EMPTY_RECORD_SIZE + MAX_ROVERS * ROVER_RECORD_SIZE);

    Matrix loaded;
    EXPECT_EQ(loaded.Load(&saved, 0), saved.Size());
    StateChunk again;
    loaded.Save(&again);
    EXPECT_EQ(BytesOf(again), BytesOf(saved));
    for (int i = 0; i < MAX_ROVERS; ++i) {
        EXPECT_EQ(loaded.mRovers.mRovers[i].mCellid, grid.mRovers.mRovers[i].mCellid) << i;
        EXPECT_EQ(loaded.mRovers.mRovers[i].mHeading, grid.mRovers.mRovers[i].mHeading) << i;
    }
}

TEST(MatrixRecord, EveryTruncationFailsAndLeavesAPlayableGrid)
{
    const Bytes bytes = SampleBytes();
    for (size_t length = 0; length < bytes.size(); ++length) {
        const StateChunk chunk = ChunkOf(bytes, length);
        Matrix grid = PriorGrid();
        EXPECT_EQ(grid.Load(&chunk, 0), -1) << "length " << length;
        ExpectPlayableGrid(grid);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "at length " << length;
            return;
        }
    }
    const StateChunk whole = ChunkOf(bytes);
    Matrix grid;
    EXPECT_EQ(grid.Load(&whole, -1), -1);
    EXPECT_EQ(grid.Load(&whole, static_cast<int>(bytes.size())), -1);
}

TEST(MatrixRecord, TruncatedFieldsKeepTheirValues)
{
    const Bytes bytes = SampleBytes();
    {
        // Cut after the last row: the last column and the rovers stay.
        const StateChunk chunk = ChunkOf(bytes, 2);
        Matrix grid = PriorGrid();
        EXPECT_EQ(grid.Load(&chunk, 0), -1);
        EXPECT_EQ(grid.mLastRow, 5);
        EXPECT_EQ(grid.mNumRows, 6);
        EXPECT_EQ(grid.mLastCol, 16);
        EXPECT_EQ(grid.mNumCols, 17);
        EXPECT_EQ(grid.mRovers.mCount, 3);
    }
    {
        // Cut inside the rover count: the count stays.
        const StateChunk chunk = ChunkOf(bytes, 6);
        Matrix grid = PriorGrid();
        EXPECT_EQ(grid.Load(&chunk, 0), -1);
        EXPECT_EQ(grid.mRovers.mCount, 3);
        EXPECT_EQ(grid.mLastCol, 6);
    }
    {
        // Cut after the second rover's heading.
        const StateChunk chunk = ChunkOf(bytes, 4 + 4 + 6 + 3);
        Matrix grid = PriorGrid();
        EXPECT_EQ(grid.Load(&chunk, 0), -1);
        ASSERT_EQ(grid.mRovers.mCount, 2);
        const Rover& second = grid.mRovers.mRovers[1];
        EXPECT_EQ(second.mCellid, CellId(7, 1));
        EXPECT_EQ(second.mHeading, EHeading_NW);
        EXPECT_EQ(second.mPace, RoverPace_Slow);  // the prior rover's
        EXPECT_EQ(second.mCollisionCount, 9);
        EXPECT_EQ(grid.mCells[0].mKind, EObstacle_Spin);
    }
    {
        // Cut after the kind of cell 20.
        const StateChunk chunk = ChunkOf(bytes, 20 + 2 * 20 + 1);
        Matrix grid = PriorGrid();
        grid.mCells[20].mState = 1;
        grid.mCells[21].mState = 1;
        EXPECT_EQ(grid.Load(&chunk, 0), -1);
        EXPECT_EQ(grid.mCells[19].mKind, EObstacle_empty);
        EXPECT_EQ(grid.mCells[20].mKind, EObstacle_WgN);
        EXPECT_EQ(grid.mCells[20].mState, 1);
        EXPECT_EQ(grid.mCells[21].mKind, EObstacle_Spin);
        EXPECT_EQ(grid.mCells[21].mState, 1);
    }
}

TEST(MatrixRecord, RoverCountOutsideTheListIsRefused)
{
    for (int32_t count : {21, -1, 1000000}) {
        Bytes bytes = SampleBytes();
        bytes[4] = static_cast<uint8_t>(count);
        bytes[5] = static_cast<uint8_t>(count >> 8);
        bytes[6] = static_cast<uint8_t>(count >> 16);
        bytes[7] = static_cast<uint8_t>(count >> 24);
        bytes.resize(bytes.size() + 21 * ROVER_RECORD_SIZE, 0);
        const StateChunk chunk = ChunkOf(bytes);
        Matrix grid = PriorGrid();
        EXPECT_EQ(grid.Load(&chunk, 0), -1) << count;
        EXPECT_EQ(grid.mLastRow, 5);  // read before the count
        ASSERT_EQ(grid.mRovers.mCount, 3) << count;
        EXPECT_EQ(grid.mRovers.mRovers[0].mCellid, CellId(10, 10));
        EXPECT_EQ(grid.mCells[5].mKind, EObstacle_Spin);  // never reached
    }
}

TEST(MatrixRecord, HostileRoverFieldsAreRepaired)
{
    struct RoverCase {
        int8_t row, col, heading, pace, resting, collisions;
        int expectRow, expectCol, expectHeading, expectPace, expectResting, expectCollisions;
    };
    const RoverCase cases[] = {
        {40, -3, 9, 5, 7, -5, 16, 0, 1, 1, 1, 0},
        {-1, 17, -1, 1, 0, 100, 0, 16, 7, 1, 0, 100},
        {3, 4, 12, 0, 1, 2, 3, 4, 4, 0, 0, 2},  // a normal rover cannot rest
        {16, 16, 7, -1, -1, 127, 16, 16, 7, 1, 1, 127},
    };
    for (const RoverCase& c : cases) {
        Bytes bytes = SampleBytes();
        const int8_t fields[] = {c.row, c.col, c.heading, c.pace, c.resting, c.collisions};
        for (int i = 0; i < ROVER_RECORD_SIZE; ++i) bytes[8 + i] = static_cast<uint8_t>(fields[i]);
        const StateChunk chunk = ChunkOf(bytes);
        Matrix grid;
        EXPECT_EQ(grid.Load(&chunk, 0), chunk.Size());
        EXPECT_TRUE(RoverIs(grid.mRovers.mRovers[0], c.expectRow, c.expectCol, c.expectHeading, c.expectPace,
                            c.expectResting, c.expectCollisions));
    }
}

TEST(MatrixRecord, HostileWindowBytesAreRepaired)
{
    struct WindowCase {
        int8_t firstRow, lastRow, firstCol, lastCol;
        int expectLastRow, expectLastCol;
    };
    const WindowCase cases[] = {
        {3, 20, 2, -2, 16, 0},
        {-1, -100, 16, 16, 0, 16},
        {0, 7, 0, 100, 7, 16},
    };
    for (const WindowCase& c : cases) {
        Bytes bytes = SampleBytes();
        bytes[0] = static_cast<uint8_t>(c.firstRow);
        bytes[1] = static_cast<uint8_t>(c.lastRow);
        bytes[2] = static_cast<uint8_t>(c.firstCol);
        bytes[3] = static_cast<uint8_t>(c.lastCol);
        const StateChunk chunk = ChunkOf(bytes);
        Matrix grid;
        EXPECT_EQ(grid.Load(&chunk, 0), chunk.Size());
        EXPECT_EQ(grid.mFirstRow, 0);
        EXPECT_EQ(grid.mFirstCol, 0);
        EXPECT_EQ(grid.mLastRow, c.expectLastRow);
        EXPECT_EQ(grid.mLastCol, c.expectLastCol);
        EXPECT_EQ(grid.mNumRows, c.expectLastRow + 1);
        EXPECT_EQ(grid.mNumCols, c.expectLastCol + 1);
    }
}

TEST(MatrixRecord, HostileObstacleFieldsAreRepaired)
{
    Bytes bytes = SampleBytes();
    const int cells = 20;
    const int8_t pairs[][2] = {{21, 2}, {-1, 3}, {20, -1}, {127, 1}, {EObstacle_Pause, 2}};
    for (int i = 0; i < 5; ++i) {
        bytes[cells + 2 * i] = static_cast<uint8_t>(pairs[i][0]);
        bytes[cells + 2 * i + 1] = static_cast<uint8_t>(pairs[i][1]);
    }
    const StateChunk chunk = ChunkOf(bytes);
    Matrix grid;
    EXPECT_EQ(grid.Load(&chunk, 0), chunk.Size());
    const int expectKind[] = {EObstacle_empty, EObstacle_empty, EObstacle_PTogl, EObstacle_empty, EObstacle_Pause};
    const int expectState[] = {0, 1, 1, 1, 0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(grid.mCells[i].mKind, expectKind[i]) << "cell " << i;
        EXPECT_EQ(grid.mCells[i].mState, expectState[i]) << "cell " << i;
    }
}

// Damaged chunks of every shape, then the simulation runs on what was loaded:
// nothing may leave the board or trip an assertion.
TEST(MatrixRecord, SimulationRunsOnAnyLoadedGrid)
{
    PseudoRandom source;
    FakeWallNotes notes;
    for (int trial = 0; trial < 300; ++trial) {
        Bytes bytes;
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(static_cast<int>(source.Next() % 24) - 3));
        const int32_t count = static_cast<int32_t>(source.Next() % 24) - 1;
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(count >> (8 * i)));
        const int tail = static_cast<int>(source.Next() % 800);
        for (int i = 0; i < tail; ++i) {
            const uint32_t draw = source.Next();
            bytes.push_back(draw % 4 == 0 ? static_cast<uint8_t>(draw >> 8)
                                          : static_cast<uint8_t>(static_cast<int>((draw >> 8) % 25) - 2));
        }
        const StateChunk chunk = ChunkOf(bytes);
        Matrix grid = PriorGrid();
        grid.Load(&chunk, 0);
        ExpectPlayableGrid(grid);

        PseudoRandom random;
        StepSimulation simulation(&grid, &random, &notes);
        simulation.mWrapProb = 0.3;
        simulation.mNearProb = 0.3;
        simulation.mWobble = 0.5;
        simulation.mClimb[Wall_N] = -8;
        simulation.mClimb[Wall_E] = 8;
        simulation.mClimb[Wall_S] = 3;
        simulation.mGroupLimit = 2;
        for (int step = 0; step < 40; ++step) {
            simulation.ClearStep();
            simulation.AdvanceRovers();
            simulation.ResolveCollisions();
        }
        ExpectPlayableGrid(grid, false);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "trial " << trial;
            return;
        }
    }
}
