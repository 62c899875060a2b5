// The timeline lock through the VST 2 interface: with it on, every play of
// the song gives, from the first step at or after where it starts, the notes
// of one uninterrupted play from position 0.
#include <gtest/gtest.h>

#include <map>

#include "FakeHost.h"

namespace {

const double RATE = 48000.0;
const double TEMPO = 240.0;
const long long BAR = 48000;   // 4/4 at 240 bpm
const long long STEP = 3000;   // "1/16"
const long long SWUNG = 3900;  // the first interval of a swing pair (swing 0.3)

// Repeats, velocity and duration jitter, humanising, swing, a sequence with
// accents and mutes, and rovers that collide under a group limit; notes
// last four steps, so that many still sound wherever a play starts.
void SetUpBusyScene(FakeHost& host)
{
    host.SetTempo(TEMPO);
    host.SetPlain(EParam_NumRows, 6);
    host.SetPlain(EParam_NumColums, 6);
    const int rovers[][2] = {{0, 1},          {1 * 17 + 4, 2}, {2 * 17 + 2, 5},
                             {3 * 17 + 0, 3}, {4 * 17 + 5, 8}, {5 * 17 + 3, 6}};
    for (const auto& rover : rovers) host.SetPlain(EParam_FirstCell + rover[0], rover[1]);
    const int obstacles[][2] = {{2 * 17 + 4, 6}, {3 * 17 + 3, 14}, {1 * 17 + 1, 13}, {4 * 17 + 2, 11}};
    for (const auto& obstacle : obstacles) {
        for (int k = 0; k < obstacle[1]; ++k) host.SetPlain(EParam_FirstCell + obstacle[0], 20);
    }
    host.SetPlain(EParam_TimeUnits, 10);
    host.SetPlain(EParam_LengthUnits, 4);
    host.SetPlain(EParam_RptLen, 13);
    host.SetPlain(EParam_RepeatProb, 0.35);
    host.SetPlain(EParam_VelJitt, 20);
    host.SetPlain(EParam_DurJitt, 0.4);
    host.SetPlain(EParam_Human, 0.6);
    host.SetPlain(EParam_Swing, 0.3);
    host.SetPlain(EParam_GrpLim, 2);
    host.SetPlain(EParam_SeqNStep, 12);
    host.SetParam(EParam_FirstMute + 3, 1.0);
    host.SetParam(EParam_FirstMute + 7, 1.0);
    host.Plug()->SetStepLevel(0, 120);
    host.Plug()->SetStepLevel(5, 60);
}

bool IsNoteOn(const HostEvent& event) { return (event.mStatus & 0xF0) == 0x90 && event.mData2 > 0; }
bool IsNoteOff(const HostEvent& event) { return (event.mStatus & 0xF0) == 0x80 || (event.mStatus & 0xF0) == 0x90; }
int Key(const HostEvent& event) { return (event.mStatus & 15) * 128 + event.mData1; }

// What a play from `from` gives up to `to`: the note-ons from there on, and
// the note-offs that end them (not those of notes begun before).
std::vector<HostEvent> Played(const std::vector<HostEvent>& events, long long from, long long to)
{
    std::map<int, long long> lastOn;
    std::vector<HostEvent> played;
    for (const HostEvent& event : events) {
        if (IsNoteOn(event)) {
            lastOn[Key(event)] = event.mSample;
            if (event.mSample >= from && event.mSample < to) played.push_back(event);
        } else if (IsNoteOff(event)) {
            auto on = lastOn.find(Key(event));
            if (event.mSample >= from && event.mSample < to && on != lastOn.end() && on->second >= from)
                played.push_back(event);
        }
    }
    return played;
}

// Note-offs of notes that did not begin in the events: those released by a
// jump. They must all stand on the jump's first sample.
std::vector<long long> ReleasedNoteOffs(const std::vector<HostEvent>& events)
{
    std::map<int, bool> begun;
    std::vector<long long> samples;
    for (const HostEvent& event : events) {
        if (IsNoteOn(event)) {
            begun[Key(event)] = true;
        } else if (IsNoteOff(event) && !begun[Key(event)]) {
            samples.push_back(event.mSample);
        }
    }
    return samples;
}

// Blocks of the given size up to the sample, the last one cut short there,
// as a host does at a loop's end.
void PlayTo(FakeHost& host, long long end, int frames)
{
    while (host.Position() < end) {
        long long left = end - host.Position();
        host.Process(static_cast<int>(left < frames ? left : frames));
    }
}

std::vector<HostEvent> Reference(long long bars, int block = 512)
{
    FakeHost host(RATE, block);
    SetUpBusyScene(host);
    EXPECT_TRUE(host.SetTimelineLock(true));
    host.Play();
    host.ProcessSamples(bars * BAR, block);
    return host.mEvents;
}

}  // namespace

TEST(TimelineLock, EveryStartPositionPlaysTheNotesOfThePlayFromZero)
{
    FakeHost host(RATE, 512);
    SetUpBusyScene(host);
    ASSERT_TRUE(host.SetTimelineLock(true));
    host.Play();
    host.ProcessSamples(64 * BAR, 512);
    const std::vector<HostEvent> reference = host.mEvents;
    EXPECT_EQ(CountOverlappingNotes(reference), 0);

    // On steps, inside a long and a short swing interval, mid-block, and
    // spread over the song.
    std::vector<long long> positions = {0,
                                        5 * BAR,
                                        9 * BAR + 6 * STEP,
                                        9 * BAR + 4 * STEP + SWUNG,
                                        13 * BAR + 2 * STEP + 1000,
                                        17 * BAR + 2 * STEP + SWUNG + 700,
                                        20 * BAR + 333,
                                        3 * BAR + 2 * STEP + SWUNG - 1};
    unsigned seed = 12345;
    while (positions.size() < 20) {
        seed = seed * 1103515245u + 12345u;
        positions.push_back(BAR + (seed >> 4) % (60 * BAR));
    }
    for (long long position : positions) {
        host.Stop();
        host.ProcessBlocks(2, 512);
        host.Locate(position);
        host.Play();
        host.mEvents.clear();
        host.ProcessSamples(2 * BAR, 512);
        const std::vector<HostEvent> expected = Played(reference, position, position + 2 * BAR);
        ASSERT_GT(expected.size(), 40u) << position;
        EXPECT_EQ(Played(host.mEvents, position, position + 2 * BAR), expected) << "from " << position;
        EXPECT_TRUE(ReleasedNoteOffs(host.mEvents).empty()) << "from " << position;
    }
}

TEST(TimelineLock, ALoopRepeatsItsBarsAtEveryBlockSizeAndOffline)
{
    const long long LOOP_START = 8 * BAR, LOOP_END = 12 * BAR;  // bars 9 to 12
    const std::vector<HostEvent> expected = Played(Reference(13), LOOP_START, LOOP_END);
    ASSERT_GT(expected.size(), 100u);
    for (int block : {1, 64, 512, 4096, 0}) {
        // 0: an offline bounce of 4096-frame blocks that starts at the loop.
        const bool offline = block == 0;
        const int frames = offline ? 4096 : block;
        FakeHost host(RATE, frames);
        SetUpBusyScene(host);
        ASSERT_TRUE(host.SetTimelineLock(true));
        host.SetOffline(offline);
        if (offline) host.Locate(LOOP_START);
        host.Play();
        PlayTo(host, LOOP_END, frames);
        for (int pass = 0; pass < 5; ++pass) {
            EXPECT_EQ(Played(host.mEvents, LOOP_START, LOOP_END), expected) << "block " << block << " pass " << pass;
            if (pass > 0) {
                for (long long sample : ReleasedNoteOffs(host.mEvents)) EXPECT_EQ(sample, LOOP_START);
            }
            host.Locate(LOOP_START);
            host.mEvents.clear();
            PlayTo(host, LOOP_END, frames);
        }
    }
}

TEST(TimelineLock, AProjectHoldsTheStartSceneAndTheLocksFlag)
{
    FakeHost original(RATE, 512);
    SetUpBusyScene(original);
    ASSERT_TRUE(original.SetTimelineLock(true));
    const std::vector<unsigned char> atStart = original.GetChunk();
    original.Play();
    original.ProcessSamples(17 * BAR, 512);
    const long long saved = original.Position();
    const std::vector<unsigned char> chunk = original.GetChunk();
    EXPECT_EQ(chunk, atStart);  // the start scene, never the moving world
    original.ProcessSamples(2 * BAR, 512);

    // Loaded into a new instance where the host stands: it plays on from
    // there, no step skipped.
    FakeHost loaded(RATE, 512);
    loaded.SetTempo(TEMPO);
    loaded.SetOffline(true);
    loaded.Locate(saved);
    loaded.Play();
    ASSERT_TRUE(loaded.SetChunk(chunk));
    EXPECT_TRUE(loaded.Plug()->TimelineLocked());
    loaded.ProcessSamples(2 * BAR, 512);
    const std::vector<HostEvent> expected = Played(original.mEvents, saved, saved + 2 * BAR);
    ASSERT_GT(expected.size(), 40u);
    EXPECT_EQ(Played(loaded.mEvents, saved, saved + 2 * BAR), expected);
    EXPECT_EQ(loaded.GetChunk(), chunk);

    // A project saved without the lock loads with the lock off, and saves
    // the bytes it came with.
    FakeHost unlocked(RATE, 512);
    SetUpBusyScene(unlocked);
    unlocked.Play();
    unlocked.ProcessSamples(3 * BAR, 512);
    const std::vector<unsigned char> plain = unlocked.GetChunk();
    ASSERT_TRUE(loaded.SetChunk(plain));
    EXPECT_FALSE(loaded.Plug()->TimelineLocked());
    EXPECT_EQ(loaded.GetChunk(), plain);
    EXPECT_EQ(chunk.size(), plain.size() + 12);
}

// The editor's scene load replaces the start scene and keeps the lock as it
// is; a host's load brings the flag the project was saved with.
TEST(TimelineLock, ASceneLoadKeepsTheLockAHostLoadBringsTheProjectsFlag)
{
    FakeHost scene(RATE, 512);
    SetUpBusyScene(scene);
    const std::vector<unsigned char> unlocked = scene.GetChunk();
    FakeHost host(RATE, 512);
    ASSERT_TRUE(host.SetTimelineLock(true));
    ASSERT_TRUE(host.Plug()->LoadScene(unlocked.data(), static_cast<int>(unlocked.size())));
    EXPECT_TRUE(host.Plug()->TimelineLocked());
    std::vector<unsigned char> saved = host.GetChunk();
    ASSERT_EQ(saved.size(), unlocked.size() + 12);
    EXPECT_EQ(std::vector<unsigned char>(saved.begin(), saved.end() - 12), unlocked);

    ASSERT_TRUE(host.SetChunk(unlocked));
    EXPECT_FALSE(host.Plug()->TimelineLocked());
    ASSERT_TRUE(host.Plug()->LoadScene(unlocked.data(), static_cast<int>(unlocked.size())));
    EXPECT_FALSE(host.Plug()->TimelineLocked());
    ASSERT_TRUE(host.SetChunk(saved));
    EXPECT_TRUE(host.Plug()->TimelineLocked());
}

TEST(TimelineLock, EditsWhileStoppedReachTheReplayGesturesWhilePlayingEndAtTheStop)
{
    const int CELL = 2 * 17 + 0, HEADING_EAST = 2;
    FakeHost before(RATE, 512), after(RATE, 512);
    SetUpBusyScene(before);
    SetUpBusyScene(after);
    before.SetPlain(EParam_FirstCell + CELL, HEADING_EAST);
    ASSERT_TRUE(before.SetTimelineLock(true));
    ASSERT_TRUE(after.SetTimelineLock(true));
    after.SetPlain(EParam_FirstCell + CELL, HEADING_EAST);  // an edit of the stopped world
    for (FakeHost* pHost : {&before, &after}) {
        pHost->Play();
        pHost->ProcessSamples(4 * BAR, 512);
    }
    ASSERT_GT(before.NoteOnSamples().size(), 40u);
    EXPECT_EQ(after.mEvents, before.mEvents);

    // A rover placed by the editor while playing is heard...
    const int rovers = after.Plug()->Grid().mRovers.mCount;
    IPlugParam* pCell = after.Plug()->GetParam(EParam_FirstCell + 5 * 17 + 5);
    after.Plug()->SetParameterFromGUI(EParam_FirstCell + 5 * 17 + 5, pCell->ToNormalized(HEADING_EAST));
    EXPECT_EQ(after.Plug()->Grid().mRovers.mCount, rovers + 1);
    // ... and gone at the stop: the next play is the start scene's again.
    after.Stop();
    after.ProcessBlocks(2, 512);
    EXPECT_EQ(after.Plug()->Grid().mRovers.mCount, rovers);
    after.Locate(0);
    after.Play();
    after.mEvents.clear();
    after.ProcessSamples(4 * BAR, 512);
    EXPECT_EQ(Played(after.mEvents, 0, 4 * BAR), Played(before.mEvents, 0, 4 * BAR));
}

TEST(TimelineLock, AnEditorKnobSticksHostAutomationIsHeardButNotKept)
{
    FakeHost host(44100.0, 512);
    host.SetUpStepProbe();
    ASSERT_TRUE(host.SetTimelineLock(true));
    host.Play();
    host.SetPlain(EParam_Velocity, 90);  // the automation of where the play starts
    host.ProcessSamples(3 * 11025, 512);
    // The probe strikes two walls at once: 10 above the set velocity.
    auto lastVelocity = [&host] { return host.mEvents.back().mData2 - 10; };
    EXPECT_EQ(lastVelocity(), 90);

    host.SetPlain(EParam_Velocity, 100);  // automation
    host.ProcessSamples(11025, 512);
    ASSERT_TRUE(IsNoteOn(host.mEvents.back()));
    EXPECT_EQ(lastVelocity(), 100);
    EXPECT_EQ(host.Plug()->StartScene().mParamValues[EParam_Velocity], 80.0);

    IPlugParam* pVelocity = host.Plug()->GetParam(EParam_Velocity);
    host.Plug()->SetParameterFromGUI(EParam_Velocity, pVelocity->ToNormalized(110));
    host.ProcessSamples(11025, 512);
    EXPECT_EQ(lastVelocity(), 110);
    EXPECT_EQ(host.Plug()->StartScene().mParamValues[EParam_Velocity], 110.0);
}

TEST(TimelineLock, AFarLocateCatchesUpOverSilentBlocksAndRejoinsTheSong)
{
    const long long FAR = 150 * BAR + 777;
    const std::vector<HostEvent> reference = Reference(156);
    FakeHost host(RATE, 256);
    SetUpBusyScene(host);
    ASSERT_TRUE(host.SetTimelineLock(true));
    host.Locate(FAR);
    host.Play();
    long long rejoined = -1;
    for (int block = 0; block < 2000 && rejoined < 0; ++block) {
        long long position = host.Position();
        host.Process(256);
        if (!host.Plug()->CatchingUp()) rejoined = position;
    }
    ASSERT_GE(rejoined, FAR);
    host.ProcessSamples(2 * BAR, 256);
    for (const HostEvent& event : host.mEvents) EXPECT_GE(event.mSample, rejoined);
    const std::vector<HostEvent> expected = Played(reference, rejoined, rejoined + 2 * BAR);
    ASSERT_GT(expected.size(), 40u);
    EXPECT_EQ(Played(host.mEvents, rejoined, rejoined + 2 * BAR), expected);
}

// Steps of a locked play lie where their exact position rounds to, counted
// from sample 0: 44.1 kHz, 128 bpm, "1/8" steps of 10335.9375 samples.
TEST(TimelineLock, StepsLieOnTheSampleTheirExactPositionRoundsTo)
{
    FakeHost host(44100.0, 512);
    host.SetUpStepProbe();
    host.SetTempo(128.0);
    ASSERT_TRUE(host.SetTimelineLock(true));
    host.Play();
    host.ProcessSamples(40 * 10336, 512);
    std::vector<long long> expected;
    for (int step = 0; step < 40; ++step) expected.push_back(static_cast<long long>(step * 10335.9375 + 0.5));
    std::vector<long long> samples = host.NoteOnSamples();
    samples.resize(40);
    EXPECT_EQ(samples, expected);
}

TEST(TimelineLock, AfterATempoChangeALocateCountsStepsFromTheMusicalPosition)
{
    FakeHost host(RATE, 512);
    SetUpBusyScene(host);
    host.SetOffline(true);
    ASSERT_TRUE(host.SetTimelineLock(true));
    host.Play();
    host.ProcessSamples(4 * BAR, 512);
    const long long change = host.Position();
    const double changePpq = change * TEMPO / (60.0 * RATE);
    host.SetTempo(180.0);
    host.ProcessSamples(8 * BAR, 512);
    const std::vector<HostEvent> reference = host.mEvents;

    const long long position = change + 3 * BAR + 1234;
    host.Stop();
    host.ProcessBlocks(2, 512);
    host.Locate(position, changePpq + (position - change) * 180.0 / (60.0 * RATE));
    host.Play();
    host.mEvents.clear();
    host.ProcessSamples(2 * BAR, 512);
    // The same notes; their samples follow the clock as the re-anchor
    // places it on the host's musical position.
    std::vector<HostEvent> expected, played;
    for (const HostEvent& event : Played(reference, position + 50, position + 2 * BAR)) {
        if (IsNoteOn(event)) expected.push_back(event);
    }
    for (const HostEvent& event : Played(host.mEvents, position + 50, position + 2 * BAR)) {
        if (IsNoteOn(event)) played.push_back(event);
    }
    ASSERT_GT(expected.size(), 30u);
    ASSERT_EQ(played.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(played[i].mData1, expected[i].mData1) << i;
        EXPECT_EQ(played[i].mData2, expected[i].mData2) << i;
        EXPECT_NEAR(played[i].mSample, expected[i].mSample, 2) << i;
    }
}
