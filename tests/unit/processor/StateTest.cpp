// The state chunk: its exact bytes, round trips, and what a truncated,
// corrupted or hostile project does (never a crash, never a grid the
// simulation cannot run).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "FakeHost.h"

namespace {

class Bytes {
public:
    void Int32(int32_t value)
    {
        for (int i = 0; i < 4; ++i)
            mBytes.push_back(static_cast<unsigned char>(static_cast<uint32_t>(value) >> (8 * i)));
    }
    void Byte(int value) { mBytes.push_back(static_cast<unsigned char>(value)); }
    void Double(double value)
    {
        uint64_t bits;
        std::memcpy(&bits, &value, 8);
        for (int i = 0; i < 8; ++i) mBytes.push_back(static_cast<unsigned char>(bits >> (8 * i)));
    }
    void EmptyGrid()
    {
        for (int b : {0, 8, 0, 8}) Byte(b);
        Int32(0);
        for (int i = 0; i < 289 * 2; ++i) Byte(0);
    }
    std::vector<unsigned char> mBytes;
};

const int DEFAULT_SCALE[17] = {50, 57, 58, 60, 62, 64, 65, 69, 72, 74, 76, 77, 81, 82, 84, 86, 88};
const double DEFAULT_VALUES[101] = {7,  4,  1.0, 0,  80, 0, 9, 9, 1.0, 0.5, 1.0, 0, 0, 0, 0, 7, 0, 0, 0, 0, 0,  // 0..20
                                    50, 50, 50,  50,                                 // Transp
                                    0,  0,  0,   0,  0,  0, 0, 0,                    // octave buttons
                                    0,  0,  0,   0,  0,  0, 0, 0,                    // Rotate, Mutate
                                    0,  0,  0,   0,  0,  0, 0, 0, 0,   0,   0,   0,  // Scale, Mute, Climb
                                    0,  0,  0,   0,  0,  0, 0, 0, 0,   0,   0,   0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                    0,  0,  0,                                              // pattern buttons
                                    0,  0,  0,   0,  0,  0, 0, 0, 0,   0,                   // transforms
                                    0,  0,  1,   1,  0,  0, 0, 0, 32,  1,   0,   0, 0, 0};  // 87..100

std::vector<unsigned char> FreshChunk()
{
    Bytes b;
    b.Int32(0x70666674);
    b.Int32(0x00010000);
    b.Int32(0x1234);
    b.Int32(static_cast<int32_t>(0xFFFFEDCB));
    for (int slot = 0; slot < 4; ++slot) {
        for (int note : DEFAULT_SCALE) b.Byte(note);
        b.Byte(50);
        b.Byte(0);
        b.Byte(0);
    }
    b.Int32(7);
    for (char c : std::string("default")) b.Byte(c);
    b.EmptyGrid();
    for (int slot = 0; slot < 8; ++slot) {
        b.Byte(0);
        b.EmptyGrid();
    }
    b.Int32(32);
    b.Int32(0);
    b.Int32(0);
    for (int i = 0; i < 32; ++i) b.Byte(0x80);
    for (double value : DEFAULT_VALUES) b.Double(value);
    return b.mBytes;
}

// Offsets inside a chunk of a fresh instance.
const int GRID_OFFSET = 8 + 8 + 80 + 11;
const int ROVER_COUNT_OFFSET = GRID_OFFSET + 4;
const int SEQUENCER_OFFSET = 6241 - 808 - 44;

void CheckGridIsSane(Tarvo* pPlug)
{
    const Matrix& grid = pPlug->Grid();
    ASSERT_EQ(grid.mFirstRow, 0);
    ASSERT_EQ(grid.mFirstCol, 0);
    ASSERT_GE(grid.mLastRow, 0);
    ASSERT_LE(grid.mLastRow, 16);
    ASSERT_GE(grid.mLastCol, 0);
    ASSERT_LE(grid.mLastCol, 16);
    ASSERT_GE(grid.mRovers.mCount, 0);
    ASSERT_LE(grid.mRovers.mCount, 20);
    for (int i = 0; i < grid.mRovers.mCount; ++i) {
        const Rover& rover = grid.mRovers.mRovers[i];
        ASSERT_GE(rover.mCellid, 0);
        ASSERT_LT(rover.mCellid, 289);
        ASSERT_GE(rover.mHeading, 0);
        ASSERT_LT(rover.mHeading, 8);
    }
    for (const Obstacle& cell : grid.mCells) {
        ASSERT_GE(cell.mKind, 0);
        ASSERT_LE(cell.mKind, 20);
    }
}

// The heaviest scene with the sequencer running (a mute, a lock, an
// accent), a stored pattern, and the nudge and drag buttons holding the 1
// they keep after firing.
void SetUpBusyRun(FakeHost& host)
{
    host.SetUpHeavyScene();
    host.SetPlain(EParam_SeqNStep, 12);
    host.SetParam(EParam_FirstMute + 3, 1.0);
    host.SetParam(EParam_FirstLock + 5, 1.0);
    host.Plug()->SetStepLevel(7, 40);
    host.SetParam(EParam_Save1 + 2, 1.0);
    host.SetParam(EParam_NudgeNew, 1.0);
    host.SetParam(EParam_DragOld, 1.0);
}

void MakeBusyScene(FakeHost& host)
{
    for (int i = 0; i < 6; ++i) host.SetPlain(EParam_FirstCell + (1 + i) * 17 + 2 * i % 9, 1 + i);
    host.SetPlain(EParam_FirstCell + 4 * 17 + 4, 20);
    host.SetPlain(EParam_FirstCell + 2 * 17 + 6, 20);
    host.SetPlain(EParam_FirstCell + 2 * 17 + 6, 20);
    host.SetPlain(EParam_RepeatProb, 0.3);
    host.SetPlain(EParam_VelJitt, 20);
    host.SetPlain(EParam_Human, 0.5);
    host.SetPlain(EParam_DurJitt, 0.3);
    host.SetPlain(EParam_TimeUnits, 10);
}

}  // namespace

TEST(State, FreshChunkByteForByte)
{
    FakeHost host;
    std::vector<unsigned char> chunk = host.GetChunk();
    std::vector<unsigned char> expected = FreshChunk();
    ASSERT_EQ(chunk.size(), 6241u);
    ASSERT_EQ(expected.size(), 6241u);
    for (size_t i = 0; i < chunk.size(); ++i) ASSERT_EQ(chunk[i], expected[i]) << "byte " << i;
}

TEST(State, RoundTripRestoresEverythingAndTheRandomSequence)
{
    FakeHost a;
    MakeBusyScene(a);
    a.SetPlain(EParam_NumRows, 12);
    a.SetParam(EParam_Save1 + 4, 1.0);
    a.SetParam(EParam_FirstMute + 5, 1.0);
    a.SetParam(EParam_FirstLock + 2, 1.0);
    a.Plug()->SetStepLevel(7, 200);
    a.Play();
    a.ProcessSamples(44100, 512);
    std::vector<unsigned char> chunk = a.GetChunk();
    EXPECT_EQ(chunk.size(), 6241u + 2 * 6 * 6);  // 6 rovers in the grid and in slot 5

    FakeHost b;
    ASSERT_TRUE(b.SetChunk(chunk));
    EXPECT_EQ(b.GetChunk(), chunk);
    EXPECT_EQ(b.Plug()->Random().mHalfW, a.Plug()->Random().mHalfW);
    EXPECT_EQ(b.Plug()->Random().mHalfZ, a.Plug()->Random().mHalfZ);
    EXPECT_EQ(b.Plug()->Sequencer().mLevels[7], 200);
    EXPECT_EQ(b.Plug()->Sequencer().mMuteFlags[5], 1);
    EXPECT_EQ(b.GetParam(EParam_FirstMute + 5), 1.0f);
    EXPECT_TRUE(b.Plug()->PatternOccupied(4));
    EXPECT_EQ(b.Plug()->Grid().mLastRow, 11);
}

TEST(RoundTrip, SaveLoadSaveIsByteIdenticalAllThroughABusyRun)
{
    FakeHost host(48000.0, 64);
    SetUpBusyRun(host);
    host.Play();
    FakeHost receiver(48000.0, 64);
    const int POINTS = 80;
    int identical = 0, collisions = 0, pending = 0;
    for (int point = 0; point < POINTS; ++point) {
        host.ProcessBlocks(29, 64);
        std::vector<unsigned char> chunk = host.GetChunk();
        const int* display = host.Plug()->Simulation().mCellDisplay;
        if (std::count(display, display + MAX_CELLS, DISPLAY_CODE_COLLISION) > 0) ++collisions;
        if (host.Plug()->Tracker().PendingCount() > 0) ++pending;
        ASSERT_TRUE(receiver.SetChunk(chunk));
        if (receiver.GetChunk() == chunk) ++identical;
    }
    EXPECT_EQ(identical, POINTS);
    EXPECT_GT(collisions, POINTS / 4);  // rovers shared cells at many of the points
    EXPECT_GT(pending, POINTS / 2);

    // A program change applies values only: a preset holding the current
    // values leaves the state as it was.
    std::vector<unsigned char> before = host.GetChunk();
    host.SetProgram(1);  // a slot never used stores the current values
    host.SetProgram(1);  // and now brings them back
    EXPECT_EQ(host.GetChunk(), before);
}

TEST(RoundTrip, ALoadedProjectContinuesWithTheNotesOfTheUninterruptedRun)
{
    // 48 kHz and 120 bpm: "1/16" steps of 6000 samples. Notes and repeats
    // are over well before the next step, so the last block before every
    // step has nothing pending (pending notes do not travel with a project)
    // and fires no step (the block after a load only resynchronises).
    const int BLOCK = 250;
    const int STEP = 6000;
    auto setUp = [](FakeHost& host) {
        host.SetPlain(EParam_NumRows, 5);
        host.SetPlain(EParam_NumColums, 5);
        for (int cell : {0, 2, 4, 2 * 17 + 0, 2 * 17 + 4, 4 * 17 + 2})
            host.SetPlain(EParam_FirstCell + cell, 1 + cell % 8);
        for (int cell : {1 * 17 + 1, 3 * 17 + 3, 2 * 17 + 2}) {
            for (int k = 0; k < 1 + cell % 14; ++k) host.SetPlain(EParam_FirstCell + cell, 20);
        }
        host.SetPlain(EParam_GrpLim, 2);
        host.SetPlain(EParam_TimeUnits, 10);
        host.SetPlain(EParam_LengthUnits, 15);
        host.SetPlain(EParam_RptLen, 15);
        host.SetPlain(EParam_RepeatProb, 0.4);
        host.SetPlain(EParam_DurJitt, 0.3);
        host.SetPlain(EParam_Human, 0.5);
        host.SetPlain(EParam_VelJitt, 20);
        host.SetPlain(EParam_Wobble, 0.2);
        host.SetPlain(EParam_SeqNStep, 4);
        host.SetParam(EParam_FirstMute + 2, 1.0);
        host.Plug()->SetStepLevel(1, 64);
        host.SetParam(EParam_NudgeNew, 1.0);
    };
    FakeHost original(48000.0, BLOCK);
    setUp(original);
    original.Play();
    // Saved just before steps at which the sequencer stands at its first
    // step: its current step is not part of a project either.
    const long long SAVE_STEPS[] = {8, 20, 44, 72};
    const long long COMPARED = 40 * STEP;
    std::vector<std::vector<unsigned char>> chunks;
    int collisions = 0;
    for (long long step : SAVE_STEPS) {
        original.ProcessSamples(step * STEP - BLOCK - original.Position(), BLOCK);
        ASSERT_EQ(original.Position(), step * STEP - BLOCK);
        ASSERT_EQ(original.Plug()->Tracker().PendingCount(), 0);
        ASSERT_EQ(original.Plug()->Sequencer().mCurrentStep, 0);
        const int* display = original.Plug()->Simulation().mCellDisplay;
        collisions += static_cast<int>(std::count(display, display + MAX_CELLS, DISPLAY_CODE_COLLISION));
        chunks.push_back(original.GetChunk());
    }
    original.ProcessSamples(SAVE_STEPS[3] * STEP + COMPARED - original.Position(), BLOCK);
    EXPECT_GT(collisions, 0);

    for (size_t i = 0; i < chunks.size(); ++i) {
        const long long from = SAVE_STEPS[i] * STEP - BLOCK;
        FakeHost restored(48000.0, BLOCK);
        restored.Locate(from);
        restored.Play();
        ASSERT_TRUE(restored.SetChunk(chunks[i]));
        restored.ProcessSamples(COMPARED, BLOCK);
        std::vector<HostEvent> expected;
        for (const HostEvent& event : original.mEvents) {
            if (event.mSample >= from && event.mSample < from + COMPARED) expected.push_back(event);
        }
        ASSERT_GT(expected.size(), 20u);
        EXPECT_EQ(restored.mEvents, expected) << "saved before step " << SAVE_STEPS[i];
    }
}

TEST(State, ScaleNameRules)
{
    FakeHost host;
    std::vector<unsigned char> chunk = FreshChunk();
    const int nameOffset = 8 + 8 + 80;
    // Length 0: "default".
    std::vector<unsigned char> empty(chunk.begin(), chunk.begin() + nameOffset);
    for (int i = 0; i < 4; ++i) empty.push_back(0);
    empty.insert(empty.end(), chunk.begin() + nameOffset + 11, chunk.end());
    ASSERT_TRUE(host.SetChunk(empty));
    EXPECT_STREQ(host.Plug()->ScaleName(), "default");
    // A first character of zero: the empty text.
    std::vector<unsigned char> zero = chunk;
    zero[nameOffset + 4] = 0;
    ASSERT_TRUE(host.SetChunk(zero));
    EXPECT_STREQ(host.Plug()->ScaleName(), "");
    // ... and it stays empty through a save and a load.
    const std::vector<unsigned char> saved = host.GetChunk();
    FakeHost reloaded;
    ASSERT_TRUE(reloaded.SetChunk(saved));
    EXPECT_STREQ(reloaded.Plug()->ScaleName(), "");
    EXPECT_EQ(reloaded.GetChunk(), saved);
}

TEST(State, ParameterValuesHaveTheLastWord)
{
    FakeHost host;
    std::vector<unsigned char> chunk = FreshChunk();
    double sixteen = 16.0;
    std::memcpy(&chunk[6241 - 808 + 95 * 8], &sixteen, 8);  // SeqNStep 16, the record says 32
    ASSERT_TRUE(host.SetChunk(chunk));
    EXPECT_EQ(host.Plug()->Sequencer().mStepCount, 16);
}

TEST(State, AnEmptySlotInTheChunkLeavesAnOccupiedSlotOccupied)
{
    FakeHost host;
    host.SetParam(EParam_Save1, 1.0);
    ASSERT_TRUE(host.SetChunk(FreshChunk()));
    EXPECT_TRUE(host.Plug()->PatternOccupied(0));
    EXPECT_EQ(host.Plug()->Pattern(0).mRovers.mCount, 0);
}

TEST(RefusedLoads, ACutOrMiscountedChunkLeavesStateAndMusicAsTheyWere)
{
    FakeHost reference(48000.0, 128), refused(48000.0, 128);
    for (FakeHost* pHost : {&reference, &refused}) {
        SetUpBusyRun(*pHost);
        pHost->Play();
        pHost->ProcessBlocks(300, 128);
    }
    // A chunk of another state: another random generator, grid, scale and
    // parameter values.
    FakeHost other;
    other.SetUpStepProbe();
    other.SetPlain(EParam_Transp1, 70);
    other.Play();
    other.ProcessBlocks(100, 512);
    const std::vector<unsigned char> chunk = other.GetChunk();
    std::vector<std::vector<unsigned char>> hostile;
    for (size_t length = 0; length < chunk.size(); ++length) {
        hostile.emplace_back(chunk.begin(), chunk.begin() + length);
    }
    // Rover counts the model cannot hold, in the grid and in pattern slot 1.
    const int slotRoverCount = ROVER_COUNT_OFFSET + 586 + 6 + 1;  // after the grid of one rover and the flag
    for (int offset : {ROVER_COUNT_OFFSET, slotRoverCount}) {
        for (int32_t count : {21, -1}) {
            hostile.push_back(chunk);
            std::memcpy(&hostile.back()[offset], &count, 4);
        }
    }

    const std::vector<unsigned char> before = refused.GetChunk();
    int accepted = 0;
    for (const std::vector<unsigned char>& bytes : hostile) {
        if (refused.SetChunk(bytes)) ++accepted;
    }
    EXPECT_EQ(accepted, 0);
    EXPECT_EQ(refused.GetChunk(), before);
    reference.mEvents.clear();
    refused.mEvents.clear();
    reference.ProcessBlocks(1500, 128);
    refused.ProcessBlocks(1500, 128);
    ASSERT_GT(reference.mEvents.size(), 200u);
    EXPECT_EQ(refused.mEvents, reference.mEvents);
}

TEST(State, HostileFieldsAreRefusedOrRepaired)
{
    FakeHost host;
    std::vector<unsigned char> chunk = FreshChunk();

    std::vector<unsigned char> tooMany = chunk;
    tooMany[ROVER_COUNT_OFFSET] = 21;
    EXPECT_FALSE(host.SetChunk(tooMany));
    CheckGridIsSane(host.Plug());

    std::vector<unsigned char> negative = chunk;
    for (int i = 0; i < 4; ++i) negative[ROVER_COUNT_OFFSET + i] = 0xFF;
    EXPECT_FALSE(host.SetChunk(negative));
    CheckGridIsSane(host.Plug());

    // Window bytes out of range, kinds out of range: repaired.
    std::vector<unsigned char> window = chunk;
    window[GRID_OFFSET + 0] = 5;
    window[GRID_OFFSET + 1] = 40;
    window[GRID_OFFSET + 3] = 0xF0;
    window[GRID_OFFSET + 8 + 2 * 20] = 99;
    window[GRID_OFFSET + 8 + 2 * 21] = 0x80;
    EXPECT_TRUE(host.SetChunk(window));
    CheckGridIsSane(host.Plug());

    // Rover fields out of range in a grid that holds two rovers.
    std::vector<unsigned char> rovers(chunk.begin(), chunk.begin() + ROVER_COUNT_OFFSET);
    rovers.push_back(2);
    for (int i = 0; i < 3; ++i) rovers.push_back(0);
    for (int b : {200, 0x90, 99, 7, 5, 0xF0}) rovers.push_back(static_cast<unsigned char>(b));
    for (int b : {16, 16, 0xFF, 1, 1, 3}) rovers.push_back(static_cast<unsigned char>(b));
    rovers.insert(rovers.end(), chunk.begin() + ROVER_COUNT_OFFSET + 4, chunk.end());
    EXPECT_TRUE(host.SetChunk(rovers));
    CheckGridIsSane(host.Plug());
    EXPECT_EQ(host.Plug()->Grid().mRovers.mCount, 2);

    // Sequencer fields: a step count of 1000 and levels of 255.
    std::vector<unsigned char> sequencer = chunk;
    sequencer[SEQUENCER_OFFSET + 1] = 0x03;
    for (int i = 0; i < 32; ++i) sequencer[SEQUENCER_OFFSET + 12 + i] = 0xFF;
    EXPECT_TRUE(host.SetChunk(sequencer));
    EXPECT_GE(host.Plug()->Sequencer().mStepCount, 1);
    EXPECT_LE(host.Plug()->Sequencer().mStepCount, 32);

    // Parameter values far outside their ranges, NaN and infinity.
    std::vector<unsigned char> values = chunk;
    const double wild[] = {1e300, -1e300, std::nan(""), 1.0 / 0.0};
    for (int i = 0; i < 101; ++i) std::memcpy(&values[6241 - 808 + 8 * i], &wild[i % 4], 8);
    EXPECT_TRUE(host.SetChunk(values));
    CheckGridIsSane(host.Plug());
    host.SetUpStepProbe();
    host.Play();
    host.ProcessBlocks(200, 512);
}

TEST(State, RandomChunksNeverBreakTheInstance)
{
    FakeHost host(48000.0, 256);
    MakeBusyScene(host);
    host.Play();
    std::mt19937 random(1234);
    std::vector<unsigned char> valid = host.GetChunk();
    for (int round = 0; round < 150; ++round) {
        std::vector<unsigned char> chunk = valid;
        int flips = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < flips; ++i) chunk[8 + random() % (chunk.size() - 8)] = static_cast<unsigned char>(random());
        if (round % 3 == 0) chunk.resize(random() % chunk.size());
        host.SetChunk(chunk);
        CheckGridIsSane(host.Plug());
        host.ProcessBlocks(20, 256);
    }
}
