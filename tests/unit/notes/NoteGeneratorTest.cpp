#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

#include "AllocationCounter.h"
#include "NoteGenerator.h"

namespace {

using Note = std::tuple<int, int, int, int>;  // onset, note, velocity, note-off time

// The playing state once the processor's parameters are applied: every slot
// at transpose 50 and every wall bound to slot 1. The reference generator
// replays the draws the generation is expected to make.
class NoteGeneration : public ::testing::Test {
protected:
    NoteGeneration() : inputs{false, false, 128, 1000, 500, 0.0, 0.0}
    {
        for (int slot = 0; slot < 4; ++slot) generator.SetTranspose(slot, 50);
        for (int wall = 0; wall < Wall_NumWalls; ++wall) generator.BindWall(wall, 0.0);
    }
    void Strike(int wall, int position)
    {
        strikes[wall].mStruck.Add(position);
        if (strikes[wall].mMarks[position] != StrikeMark_Muted) strikes[wall].mMarks[position] = StrikeMark_Sounding;
    }
    void Generate(int stepOffset) { generator.GenerateStepNotes(stepOffset, strikes, inputs, &random, &tracker); }
    double Draw() { return reference.Uniform(); }
    void Skip(int draws)
    {
        for (int i = 0; i < draws; ++i) reference.Next();
    }
    bool InStep() const { return random.mHalfW == reference.mHalfW && random.mHalfZ == reference.mHalfZ; }
    // Emits everything and pairs each note-on with the next note-off of its pitch.
    std::vector<Note> Played()
    {
        std::vector<IMidiMessage> queue;
        tracker.EmitDue(1 << 24, &queue);
        std::vector<Note> notes;
        for (size_t i = 0; i < queue.size(); ++i) {
            if ((queue[i].mStatus & 0xF0) != 0x90) continue;
            int end = -1;
            for (size_t j = i + 1; j < queue.size() && end < 0; ++j) {
                if ((queue[j].mStatus & 0xF0) == 0x80 && queue[j].mData1 == queue[i].mData1) end = queue[j].mOffset;
            }
            notes.emplace_back(queue[i].mOffset, queue[i].mData1, queue[i].mData2, end);
        }
        return notes;
    }

    NoteGenerator generator;
    StrikeRecord strikes[Wall_NumWalls];
    StepNoteInputs inputs;
    PseudoRandom random;
    PseudoRandom reference;
    NoteTracker tracker{0};  // an empty pool, which grows as notes come
};

}  // namespace

TEST_F(NoteGeneration, HitsCountDistinctPositions)
{
    Strike(Wall_N, 3);
    Strike(Wall_N, 3);  // a second rover on one position is not a second hit
    Generate(10);
    EXPECT_EQ(Played(), (std::vector<Note>{{10, 60, 80, 10 + 999}}));
    Skip(4);
    EXPECT_TRUE(InStep());

    Strike(Wall_E, 3);  // note 60 again on other walls: +10 each, 1 sample shorter each
    Strike(Wall_W, 3);
    Strike(Wall_S, 0);  // 50: generated after 60 (wall order), one sample later
    generator.mChannel = 5;
    Generate(0);
    std::vector<IMidiMessage> queue;
    tracker.EmitDue(4096, &queue);
    ASSERT_EQ(queue.size(), 4u);
    EXPECT_EQ(std::make_tuple(queue[0].mOffset, queue[0].mStatus, queue[0].mData1, queue[0].mData2),
              std::make_tuple(0, 0x95, 60, 100));
    EXPECT_EQ(std::make_tuple(queue[1].mOffset, queue[1].mData1, queue[1].mData2), std::make_tuple(1, 50, 80));
    EXPECT_EQ(std::make_tuple(queue[2].mOffset, queue[2].mStatus), std::make_tuple(997, 0x85));
}

TEST_F(NoteGeneration, AccentAndZeroVelocity)
{
    inputs.mSeqOn = true;
    Strike(Wall_N, 0);
    const int accents[3] = {64, 100, 0};
    const size_t counts[3] = {1, 1, 0};
    const int velocities[3] = {40, 62, 0};  // (80 x level) >> 7
    for (int i = 0; i < 3; ++i) {
        inputs.mAccentLevel = accents[i];
        Generate(0);
        const std::vector<Note> played = Played();
        ASSERT_EQ(played.size(), counts[i]);
        if (counts[i]) {
            EXPECT_EQ(std::get<2>(played[0]), velocities[i]);
        }
    }
    Skip(8);
    EXPECT_TRUE(InStep());  // velocity 0 drew nothing

    Strike(Wall_E, 0);
    inputs.mAccentLevel = 200;  // 125 + 10, limited to 127
    Generate(0);
    EXPECT_EQ(std::get<2>(Played()[0]), 127);

    inputs.mSeqOn = false;  // accents ignored; velocity 0 sounds only doubled notes, at 10
    generator.mVelocity = 0;
    Strike(Wall_N, 1);
    Generate(0);
    EXPECT_EQ(Played(), (std::vector<Note>{{0, 50, 10, 998}}));
}

TEST_F(NoteGeneration, MutedMarksAndMutedStepsDrawNothing)
{
    strikes[Wall_E].mMarks[4] = StrikeMark_Muted;
    Strike(Wall_E, 4);
    Generate(0);
    EXPECT_TRUE(Played().empty());
    EXPECT_TRUE(InStep());

    Strike(Wall_N, 0);
    generator.mVelJitter = 20;
    generator.mRepeatProb = 1.0;
    inputs.mSeqOn = true;
    inputs.mStepMuted = true;
    Generate(0);
    EXPECT_TRUE(Played().empty());
    EXPECT_TRUE(InStep());

    inputs.mSeqOn = false;  // the sequencer's flags do nothing while it is off
    Generate(0);
    EXPECT_EQ(Played().size(), 2u);
}

TEST_F(NoteGeneration, VelocityJitterTruncatesAndNonPositiveStopsDrawing)
{
    generator.mVelocity = 40;
    generator.mVelJitter = 70;
    Strike(Wall_N, 7);  // 69
    int silent = 0;
    for (int step = 0; step < 60; ++step) {
        Generate(0);
        const double jittered = (2.0 * Draw() - 1.0) * 70 + 40;
        const std::vector<Note> played = Played();
        if (jittered < 1.0) {
            ++silent;
            EXPECT_TRUE(played.empty());
        } else {
            ASSERT_EQ(played.size(), 1u);
            EXPECT_EQ(std::get<2>(played[0]), static_cast<int>(jittered));
            Skip(4);
        }
        ASSERT_TRUE(InStep()) << "step " << step;
    }
    EXPECT_GT(silent, 5);
    EXPECT_LT(silent, 55);
}

TEST_F(NoteGeneration, HumaniseAndDurationJitterDrawInOrder)
{
    inputs.mHumanSamples = 300.0;
    inputs.mDurationJitter = 0.25;
    Strike(Wall_N, 4);
    Strike(Wall_E, 4);  // hits 2
    for (int step = 0; step < 20; ++step) {
        Generate(17);
        const double uA = Draw();
        const double uB = Draw();
        const double uC = Draw();
        Skip(1);
        const int duration = static_cast<int>(1000 + (2 * uA - 1) * 0.25 * 1000 + (2 * uB - 1) * 300.0) - 2;
        const int onset = static_cast<int>(uC * 300.0 + 17);
        EXPECT_EQ(Played(), (std::vector<Note>{{onset, 62, 90, onset + duration}}));
    }
    EXPECT_TRUE(InStep());

    inputs.mNoteLengthSamples = 2;  // 2 - 2 hits: no note, and no repeat draws
    inputs.mHumanSamples = 0.0;
    inputs.mDurationJitter = 0.0;
    generator.mRepeatProb = 1.0;
    Generate(0);
    EXPECT_TRUE(Played().empty());
    Skip(3);
    EXPECT_TRUE(InStep());
}

TEST_F(NoteGeneration, RepeatsTakeTheirOwnDraws)
{
    generator.mRepeatProb = 1.0;
    inputs.mNoteLengthSamples = 400;
    inputs.mHumanSamples = 50.0;
    Strike(Wall_S, 8);  // 72
    Generate(30);
    Skip(1);
    const int duration = static_cast<int>(400 + (2 * Draw() - 1) * 50.0) - 1;
    const int onset = static_cast<int>(Draw() * 50.0 + 30);
    Skip(1);
    const int repeat = static_cast<int>(Draw() * 50.0 + (onset + 500));
    EXPECT_EQ(Played(), (std::vector<Note>{{onset, 72, 80, onset + duration}, {repeat, 72, 80, repeat + duration}}));

    generator.mRepeatProb = 0.5;
    int repeated = 0;
    for (int step = 0; step < 40; ++step) {
        Generate(0);
        Skip(3);
        const bool repeats = 0.5 >= Draw();
        if (repeats) Skip(1);
        repeated += repeats;
        ASSERT_EQ(Played().size(), repeats ? 2u : 1u);
        ASSERT_TRUE(InStep());
    }
    EXPECT_TRUE(repeated > 5 && repeated < 35);
}

TEST_F(NoteGeneration, HugeJitterStaysInsideTheTrackersRange)
{
    inputs.mDurationJitter = 1e300;
    inputs.mHumanSamples = 1e12;
    generator.mRepeatProb = 1.0;
    Strike(Wall_N, 0);
    int notes = 0;
    for (int step = 0; step < 16; ++step) {
        Generate(0);
        std::vector<IMidiMessage> queue;
        tracker.EmitDue(std::numeric_limits<int>::max(), &queue);
        for (const IMidiMessage& m : queue) {
            EXPECT_TRUE(m.mOffset >= 0 && m.mOffset <= NoteTracker::MAX_EVENT_TIME + 4);
            notes += (m.mStatus & 0xF0) == 0x90 ? 1 : -1;
        }
        EXPECT_EQ(notes, 0);  // every note-on has its note-off
    }
    inputs.mDurationJitter = std::numeric_limits<double>::quiet_NaN();
    inputs.mHumanSamples = 0.0;
    Generate(0);
    EXPECT_TRUE(Played().empty());
}

TEST_F(NoteGeneration, NoAllocationOnceTheTrackerIsWarm)
{
    generator.mRepeatProb = 1.0;
    inputs.mNoteLengthSamples = 300;
    inputs.mHumanSamples = 40.0;
    std::vector<IMidiMessage> queue;
    queue.reserve(256);
    for (int i = 0; i < 400; ++i) tracker.NoteOff(i, 1, 0);  // a pool beyond this scene's needs
    tracker.EmitDue(1000, &queue);
    const long before = AllocationCount();
    for (int block = 0; block < 500; ++block) {
        for (StrikeRecord& strike : strikes) strike.ClearStep();
        for (int i = 0; i < 5; ++i) Strike(i % 4, (block * 3 + i * 5) % 17);
        Generate(block % 64);
        queue.clear();
        tracker.EmitDue(256, &queue);
    }
    EXPECT_EQ(AllocationCount(), before);
}

TEST_F(NoteGeneration, ShortOfMemoryANoteIsDroppedWholeNeverHalf)
{
    // An empty pool that can grow by one record only: the note-on would get
    // it and its note-off none.
    Strike(Wall_N, 3);
    FailAllocationsAfter(1);
    Generate(0);
    AllowAllAllocations();
    EXPECT_EQ(tracker.PendingCount(), 0);
    // The draws are made all the same: the music goes on as it would.
    Skip(4);
    EXPECT_TRUE(InStep());

    // With memory again, the next strike plays whole.
    Generate(10);
    EXPECT_EQ(Played(), (std::vector<Note>{{10, 60, 80, 10 + 999}}));
}

TEST(NoteGenerator, BindingTransposeAndScaleFiles)
{
    NoteGenerator generator;
    EXPECT_EQ(generator.WallNote(Wall_N, 16), 38);  // unbound: a default scale at transpose 0
    const double values[5] = {0.0, 1.0 / 3.0, 2.0 / 3.0, 1.0, 0.3};
    const int slots[5] = {0, 1, 2, 3, 0};  // 0.3: 0.9 + 0.1 falls just short of 1
    for (int i = 0; i < 5; ++i) EXPECT_EQ(generator.BindWall(Wall_E, values[i]), slots[i]);
    EXPECT_EQ(generator.BindWall(Wall_E, std::nan("")), 0);
    EXPECT_EQ(generator.BindWall(Wall_E, 7.0), 3);
    EXPECT_TRUE(generator.IsWallBoundTo(Wall_E, 3));
    EXPECT_FALSE(generator.IsWallBoundTo(Wall_N, 0));

    for (int slot = 0; slot < 4; ++slot) generator.SetTranspose(slot, 50);
    generator.SetTranspose(3, 70);
    EXPECT_EQ(generator.WallNote(Wall_E, 16), 108);
    EXPECT_EQ(generator.WallNote(Wall_N, 16), 38);
    EXPECT_EQ(generator.mLowestNote, 50);
    EXPECT_EQ(generator.mHighestNote, 108);
    EXPECT_EQ(generator.NoteProbability(108), 1.0);
    EXPECT_EQ(generator.NoteProbability(109), 0.0);
    generator.mNoteProb = 0.25;
    generator.SetTranspose(3, 70);  // unchanged: nothing rebuilt
    EXPECT_EQ(generator.NoteProbability(60), 1.0);

    generator.mScales[3].mRotate = 3;
    generator.mScales[3].mMutate = 1;
    int notes[17];
    for (int i = 0; i < 17; ++i) notes[i] = 60 + i;
    generator.LoadScaleNotes(notes);
    // Reversed, position 0 sounds entry (16 + 3) mod 17 = 2; the display counts 16 - 3.
    EXPECT_EQ(generator.WallNote(Wall_E, 0), 70 + 2);
    EXPECT_EQ(generator.WallEntryIndex(Wall_E, 0), 13);
    EXPECT_EQ(generator.WallEntryIndex(Wall_E, 15), 15);
    EXPECT_EQ(generator.mHighestNote, 86);
    EXPECT_EQ(generator.NoteProbability(66), 0.25);
    EXPECT_EQ(generator.NoteProbability(87), 0.0);
}

TEST(NoteGenerator, TiltCurve)
{
    NoteGenerator generator;
    for (int slot = 0; slot < 4; ++slot) generator.SetTranspose(slot, 50);
    generator.mNoteProb = 0.3;
    generator.RebuildNoteProbability();  // Tilt 0.5: flat inside the range
    for (int note = 0; note < 128; ++note)
        EXPECT_EQ(generator.NoteProbability(note), note >= 50 && note <= 88 ? 0.3 : 0.0);

    generator.mTilt = 0.0;  // k = 2: NoteProb + k/4 at the bottom, falling
    generator.RebuildNoteProbability();
    EXPECT_DOUBLE_EQ(generator.NoteProbability(50), 0.8);
    EXPECT_NEAR(generator.NoteProbability(88), -1.099, 0.001);
    for (int note = 51; note <= 88; ++note)
        EXPECT_LT(generator.NoteProbability(note), generator.NoteProbability(note - 1));

    generator.mTilt = 1.0;  // NoteProb - k/4 at the bottom, rising
    generator.RebuildNoteProbability();
    EXPECT_DOUBLE_EQ(generator.NoteProbability(50), -0.2);
    for (int note = 51; note <= 88; ++note)
        EXPECT_GT(generator.NoteProbability(note), generator.NoteProbability(note - 1));
    EXPECT_EQ(generator.NoteProbability(89), 0.0);

    generator.mNoteProb = 1.0;
    for (double tilt : {0.0, 0.2, 1.0}) {
        generator.mTilt = tilt;
        generator.RebuildNoteProbability();
        for (int note = 50; note <= 88; ++note) EXPECT_EQ(generator.NoteProbability(note), 1.0);
    }
}
