// The step clock driven through the VST 2 interface by a host that reports
// its transport like real ones do. A one-cell grid with one rover sounds a
// note-on at the exact sample of every step, which makes step times visible.
#include <gtest/gtest.h>

#include <cmath>

#include "FakeHost.h"

namespace {

std::vector<long long> Intervals(const std::vector<long long>& samples)
{
    std::vector<long long> intervals;
    for (size_t i = 1; i < samples.size(); ++i) intervals.push_back(samples[i] - samples[i - 1]);
    return intervals;
}

std::vector<long long> Take(std::vector<long long> values, size_t count)
{
    if (values.size() > count) values.resize(count);
    return values;
}

std::vector<long long> From(const std::vector<long long>& samples, long long from)
{
    std::vector<long long> later;
    for (long long sample : samples) {
        if (sample >= from) later.push_back(sample);
    }
    return later;
}

}  // namespace

TEST(Clock, StepsFallOnTheStepGridAcrossBlockBoundaries)
{
    FakeHost host(44100.0, 512);
    host.SetUpStepProbe();
    host.Play();
    host.ProcessSamples(5 * 11025 + 1, 512);
    EXPECT_EQ(Take(host.NoteOnSamples(), 6), (std::vector<long long>{0, 11025, 22050, 33075, 44100, 55125}));

    FakeHost host48(48000.0, 333);
    host48.SetUpStepProbe();
    host48.Play();
    host48.ProcessSamples(4 * 12000 + 1, 333);
    EXPECT_EQ(host48.NoteOnSamples(), (std::vector<long long>{0, 12000, 24000, 36000, 48000}));
}

TEST(Clock, StartInTheMiddleOfTheTimelineWaitsForTheNextBoundary)
{
    FakeHost host(44100.0, 512);
    host.SetUpStepProbe();
    host.Locate(100000);
    host.Play();
    host.ProcessSamples(30000, 512);
    EXPECT_EQ(host.NoteOnSamples(), (std::vector<long long>{110250, 121275}));
}

TEST(Clock, FullSwingFiresStepsInPairs)
{
    FakeHost host(44100.0, 512);
    host.SetUpStepProbe();
    host.SetPlain(EParam_Swing, 1.0);
    host.Play();
    host.ProcessSamples(3 * 22050 + 1000, 512);
    // Two steps at one offset strike the same note on the same sample: it
    // sounds once.
    EXPECT_EQ(host.NoteOnSamples(), (std::vector<long long>{0, 22050, 44100, 66150}));
}

// Full swing puts an odd step on the sample of the next even one (105 bpm,
// "1/16": steps 2m + 1 and 2m + 2 share sample 12600 (m + 1)). With a
// two-step sequence whose second step is muted, only the even steps sound,
// so a re-anchor that fired one step of such a pair instead of both would
// fall silent on every shared sample from then on.
TEST(Clock, ALocateOntoTwoCoincidingStepsFiresBoth)
{
    auto setUp = [](FakeHost& host) {
        host.SetTempo(105.0);
        host.SetUpStepProbe();
        host.SetPlain(EParam_TimeUnits, 10);
        host.SetPlain(EParam_Swing, 1.0);
        host.SetPlain(EParam_SeqNStep, 2);
        host.SetParam(EParam_FirstMute + 1, 1.0);
    };
    FakeHost reference(44100.0, 600);
    setUp(reference);
    reference.Play();
    reference.ProcessSamples(80000, 600);
    ASSERT_EQ(Take(reference.NoteOnSamples(), 3), (std::vector<long long>{0, 12600, 25200}));
    for (long long target : {12600LL, 12599LL, 3 * 12600LL}) {
        FakeHost host(44100.0, 600);
        setUp(host);
        host.Play();
        host.ProcessBlocks(11, 600);  // the note of step 0 has ended
        host.Locate(target);
        host.mEvents.clear();
        host.ProcessSamples(80000 - target, 600);
        EXPECT_EQ(host.NoteOnSamples(), From(reference.NoteOnSamples(), target)) << "locate to " << target;
    }
}

TEST(Clock, FractionAccumulatorPaysOutTheFractionOfTheStepLength)
{
    FakeHost host(44100.0, 512);
    host.SetUpStepProbe();
    host.SetTempo(128.0);
    host.Play();
    host.ProcessSamples(17 * 10337, 512);
    std::vector<long long> intervals = Intervals(host.NoteOnSamples());
    ASSERT_GE(intervals.size(), 16u);
    EXPECT_EQ(Take(intervals, 5), (std::vector<long long>{10335, 10337, 10336, 10337, 10336}));
    long long sum = 0;
    for (size_t i = 0; i < 16; ++i) sum += intervals[i];
    EXPECT_EQ(sum, 165382);  // 16 x 10336.375 samples
}

TEST(Clock, DoubleAndHalfTime)
{
    struct Case {
        bool mDouble, mHalf;
        long long mInterval;
    };
    for (Case c : {Case{true, false, 5512}, Case{false, true, 22050}, Case{true, true, 11025}}) {
        FakeHost host(44100.0, 256);
        host.SetUpStepProbe();
        host.SetPlain(EParam_TimeDbl, c.mDouble ? 1 : 0);
        host.SetPlain(EParam_TimeHlf, c.mHalf ? 1 : 0);
        host.Play();
        host.ProcessSamples(3 * 22050, 256);
        std::vector<long long> intervals = Intervals(host.NoteOnSamples());
        ASSERT_GE(intervals.size(), 2u);
        // 5512.5 alternates 5512 and 5513 through the accumulator.
        EXPECT_NEAR(intervals[0], c.mInterval, 1) << c.mDouble << c.mHalf;
        EXPECT_NEAR((intervals[0] + intervals[1]) / 2.0, c.mInterval + (c.mDouble && !c.mHalf ? 0.5 : 0.0), 0.01);
    }
}

TEST(Clock, SimpleLetsOnlyEveryNthStepSound)
{
    FakeHost host(44100.0, 512);
    host.SetUpStepProbe();
    host.SetPlain(EParam_Simple, 3);
    host.Play();
    host.ProcessSamples(7 * 11025 + 1, 512);
    EXPECT_EQ(host.NoteOnSamples(), (std::vector<long long>{22050, 55125}));
}

TEST(Clock, StopReleasesSoundingNotesInTheFirstStoppedBlock)
{
    for (bool atLastBlock : {true, false}) {
        FakeHost host(44100.0, 512);
        host.SetUpStepProbe();
        host.SetStoppedAtLastBlock(atLastBlock);
        host.Play();
        host.ProcessSamples(12000, 512);  // two steps; the second note is sounding
        long long stoppedAt = host.Position();
        host.mEvents.clear();
        host.Stop();
        host.Process(512);
        ASSERT_EQ(host.mEvents.size(), 1u) << atLastBlock;
        EXPECT_EQ(host.mEvents[0].mStatus, 0x80);
        EXPECT_EQ(host.mEvents[0].mData1, 50);
        EXPECT_EQ(host.mEvents[0].mSample, atLastBlock ? stoppedAt : 0);
        EXPECT_FALSE(host.Plug()->ClockRunning());
        host.mEvents.clear();
        host.ProcessBlocks(50, 512);
        EXPECT_TRUE(host.mEvents.empty());
    }
}

TEST(Clock, ResumeWhereItStoppedContinuesTheCountdown)
{
    FakeHost host(44100.0, 512);
    host.SetUpStepProbe();
    host.Play();
    host.ProcessSamples(15000, 512);
    host.Stop();
    host.ProcessBlocks(10, 512);
    host.mEvents.clear();
    host.Play();
    host.ProcessSamples(20000, 512);
    EXPECT_EQ(Take(host.NoteOnSamples(), 2), (std::vector<long long>{22050, 33075}));
}

TEST(Clock, AJumpReanchorsOnTheStepGrid)
{
    FakeHost host(44100.0, 512);
    host.SetUpStepProbe();
    host.Play();
    host.ProcessSamples(15000, 512);
    host.mEvents.clear();
    host.Locate(50000);
    host.Process(512);
    // The sounding note ends at the start of the block of the jump.
    ASSERT_FALSE(host.mEvents.empty());
    EXPECT_EQ(host.mEvents[0].mStatus, 0x80);
    EXPECT_EQ(host.mEvents[0].mSample, 50000);
    host.ProcessSamples(20000, 512);
    EXPECT_EQ(Take(host.NoteOnSamples(), 2), (std::vector<long long>{55125, 66150}));
}

// Some hosts call processReplacing with no frames to hand over parameter
// or event changes: no time passes.
TEST(EmptyBlocks, ZeroFrameCallsAnywhereChangeNoEvent)
{
    FakeHost plain(48000.0, 512), interrupted(48000.0, 512);
    for (FakeHost* pHost : {&plain, &interrupted}) {
        pHost->SetUpHeavyScene();
        pHost->Play();
    }
    interrupted.Process(0);  // before the first block
    for (int block = 0; block < 1500; ++block) {
        plain.Process(512);
        if (block % 7 == 3) interrupted.Process(0);
        interrupted.Process(512);
        if (block % 11 == 5) {
            interrupted.Process(0);
            interrupted.Process(0, true);
        }
    }
    ASSERT_GT(plain.mEvents.size(), 300u);
    EXPECT_EQ(interrupted.mEvents, plain.mEvents);

    // A block with frames that stands where the last one stood still stops
    // the clock, and the sounding notes end at once.
    interrupted.Locate(interrupted.Position() - 512);
    interrupted.mEvents.clear();
    interrupted.Process(512);
    EXPECT_FALSE(interrupted.Plug()->ClockRunning());
    ASSERT_FALSE(interrupted.mEvents.empty());
    EXPECT_EQ(interrupted.mEvents[0].mStatus & 0xF0, 0x80);
}

namespace {

// Swing 0.5 on "1/8" steps at 48 kHz and 120 bpm: intervals of 18000 and
// 6000 samples, even steps at 24000 m and odd ones 18000 later. Notes of
// 1000 samples end before the shortest interval.
void SetUpSwingProbe(FakeHost& host)
{
    host.SetUpStepProbe();
    host.SetPlain(EParam_Swing, 0.5);
    host.SetPlain(EParam_LengthUnits, 15);
}

}  // namespace

TEST(Swing, EveryPositionSwingsTheSameWayWhateverThePlayHistory)
{
    const int BLOCK = 500;
    const long long END = 30 * 24000;
    FakeHost reference(48000.0, BLOCK);
    SetUpSwingProbe(reference);
    reference.Play();
    reference.ProcessSamples(END, BLOCK);
    const std::vector<long long> expected = reference.NoteOnSamples();
    ASSERT_EQ(Take(expected, 5), (std::vector<long long>{0, 18000, 24000, 42000, 48000}));

    // A stop and a locate: onto a step, inside a long interval, inside a
    // short one, each after histories that leave either phase of the pair.
    const long long TARGETS[] = {0, 42000, 5 * 24000 + 7000, 7 * 24000 + 20000, 11 * 24000 + 18000};
    for (long long target : TARGETS) {
        for (int history : {11, 37, 48}) {
            FakeHost host(48000.0, BLOCK);
            SetUpSwingProbe(host);
            host.Play();
            host.ProcessBlocks(history, BLOCK);
            host.Stop();
            host.ProcessBlocks(3, BLOCK);
            host.Locate(target);
            host.Play();
            host.mEvents.clear();
            host.ProcessSamples(END - target, BLOCK);
            EXPECT_EQ(host.NoteOnSamples(), From(expected, target)) << target << " after " << history << " blocks";
        }
        // A state saved there and loaded into a new instance at that
        // position: the block after the load only resynchronises.
        FakeHost saved(48000.0, BLOCK);
        SetUpSwingProbe(saved);
        FakeHost loaded(48000.0, BLOCK);
        loaded.Locate(target);
        loaded.Play();
        ASSERT_TRUE(loaded.SetChunk(saved.GetChunk()));
        loaded.ProcessSamples(END - target, BLOCK);
        EXPECT_EQ(loaded.NoteOnSamples(), From(expected, target + BLOCK)) << "loaded at " << target;
    }

    // A suspend and resume recalculates the timing but keeps the pair's phase.
    for (int history : {11, 37, 48}) {
        FakeHost host(48000.0, BLOCK);
        SetUpSwingProbe(host);
        host.Play();
        host.ProcessBlocks(history, BLOCK);
        host.SetActive(false);
        host.SetActive(true);
        host.ProcessSamples(END - host.Position(), BLOCK);
        EXPECT_EQ(host.NoteOnSamples(), expected) << "resumed after " << history << " blocks";
    }
}

TEST(Clock, TempoChangeKeepsTheCountedStepAndRestartsTheSwingPair)
{
    // Blocks of 500 keep the steps off block starts, where a sounding note's
    // note-off and the next note-on would share a sample.
    FakeHost host(44100.0, 500);
    host.SetUpStepProbe();
    host.Play();
    host.ProcessSamples(11500, 500);  // steps at 0 and 11025
    host.SetTempo(60.0);
    host.ProcessSamples(3 * 22050, 500);
    std::vector<long long> samples = host.NoteOnSamples();
    ASSERT_GE(samples.size(), 4u);
    EXPECT_EQ(samples[2], 22050);          // counted down before the change
    EXPECT_EQ(samples[3], 22050 + 22050);  // the new length from the next interval
}

TEST(Clock, NoTimeInformationNeverStartsTheClock)
{
    FakeHost host(44100.0, 512);
    host.SetUpStepProbe();
    host.SetTimeMode(FakeHost::TimeMode_None);
    host.Play();
    host.ProcessBlocks(400, 512);
    EXPECT_TRUE(host.NoteOnSamples().empty());
}

TEST(Clock, DisabledClockDoesNotRun)
{
    FakeHost host(44100.0, 512);
    host.SetUpStepProbe();
    host.SetPlain(EParam_Enabled, 0);
    host.Play();
    host.ProcessBlocks(100, 512);
    EXPECT_TRUE(host.NoteOnSamples().empty());
    host.SetPlain(EParam_Enabled, 1);
    host.ProcessSamples(11025, 512);
    EXPECT_EQ(host.NoteOnSamples().size(), 1u);
}

// Ardour 7 rounds ppqPos to 1/1920 of a quarter note while samplePos stays
// exact; continuous playback must never count as a jump.
TEST(Clock, RoundedMusicalPositionIsContinuousAtEveryTempo)
{
    for (double sampleRate : {44100.0, 48000.0, 96000.0}) {
        for (double tempo : {10.0, 33.3, 60.0, 97.0, 120.0, 128.0, 174.0, 240.0, 333.0, 600.0}) {
            for (int block : {64, 512, 1024}) {
                FakeHost exact(sampleRate, block);
                FakeHost rounded(sampleRate, block);
                for (FakeHost* pHost : {&exact, &rounded}) {
                    pHost->SetUpStepProbe();
                    pHost->SetTempo(tempo);
                    pHost->SetPlain(EParam_TimeUnits, 13);  // "1/32": many steps per beat
                    pHost->Play();
                }
                rounded.SetPpqResolution(1920);
                long long samples = static_cast<long long>(sampleRate * 60.0 / tempo * 3);
                exact.ProcessSamples(samples, block);
                rounded.ProcessSamples(samples, block);
                // Neither a re-anchor nor a stop: exactly the exact host's notes.
                EXPECT_EQ(rounded.mEvents, exact.mEvents) << sampleRate << " " << tempo << " " << block;
            }
        }
    }
}

TEST(Clock, ARealLocateStillReanchorsWithARoundingHost)
{
    FakeHost host(48000.0, 512);
    host.SetUpStepProbe();
    host.SetPpqResolution(1920);
    host.Play();
    host.ProcessBlocks(100, 512);
    host.mEvents.clear();
    host.Locate(host.Position() + 2000);
    host.ProcessSamples(13000, 512);
    // Counting on would put the next step 2000 samples off the grid.
    std::vector<long long> samples = host.NoteOnSamples();
    ASSERT_FALSE(samples.empty());
    EXPECT_EQ(samples[0] % 12000, 0);
}

TEST(Clock, FirstBlockAfterAStateLoadOnlyRecordsThePosition)
{
    FakeHost host(44100.0, 512);
    host.SetUpStepProbe();
    host.Play();
    host.ProcessSamples(11025 * 3 - 600, 512);
    std::vector<unsigned char> chunk = host.GetChunk();
    ASSERT_TRUE(host.SetChunk(chunk));
    size_t notes = host.NoteOnSamples().size();
    host.Process(1024);  // holds the step due at 33075
    EXPECT_EQ(host.NoteOnSamples().size(), notes);
    host.ProcessSamples(11025 * 2, 512);
    std::vector<long long> samples = host.NoteOnSamples();
    ASSERT_GE(samples.size(), 4u);
    EXPECT_EQ(samples[3], 44100);  // the next block re-anchors on the grid
}

TEST(Clock, ProcessingWritesSilenceAndSurvivesALongerBlockThanAnnounced)
{
    FakeHost host(44100.0, 256);
    host.SetUpStepProbe();
    host.Play();
    host.Process(256, true);
    host.Process(4096);  // longer than announced
    host.Process(4096, true);
    host.Process(256);
    EXPECT_EQ(host.NoteOnSamples().size(), 1u + (256 + 4096 + 4096 + 256) / 11025);
}
