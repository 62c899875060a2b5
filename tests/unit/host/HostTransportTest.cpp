#include <gtest/gtest.h>

#include "session/HostTransport.h"

namespace {
const int MUSICAL_FLAGS = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;

TransportSettings Settings(double sampleRate = 48000.0, double tempo = 120.0)
{
    TransportSettings settings;
    settings.sampleRate = sampleRate;
    settings.tempo = tempo;
    return settings;
}
}  // namespace

TEST(HostTransport, FirstBlockStartsPlayingWithTransportChanged)
{
    HostTransport transport(Settings());
    VstTimeInfo first = transport.TimeInfo();
    EXPECT_EQ(first.flags, kVstTransportChanged | kVstTransportPlaying | MUSICAL_FLAGS);
    EXPECT_EQ(first.samplePos, 0.0);
    EXPECT_EQ(first.sampleRate, 48000.0);
    EXPECT_EQ(first.tempo, 120.0);
    EXPECT_EQ(first.timeSigNumerator, 4);
    EXPECT_EQ(first.timeSigDenominator, 4);
    transport.EndBlock(1000);
    VstTimeInfo second = transport.TimeInfo();
    EXPECT_EQ(second.flags, kVstTransportPlaying | MUSICAL_FLAGS);
    EXPECT_EQ(second.samplePos, 1000.0);
    EXPECT_DOUBLE_EQ(second.ppqPos, 1000.0 * 120.0 / (60.0 * 48000.0));
}

TEST(HostTransport, StopAtBlockZeroIsStoppedWithoutChange)
{
    HostTransport transport(Settings());
    transport.Stop();
    EXPECT_EQ(transport.TimeInfo().flags, MUSICAL_FLAGS);
    transport.EndBlock(512);
    EXPECT_EQ(transport.TimeInfo().samplePos, 0.0);
    transport.Play();
    EXPECT_EQ(transport.TimeInfo().flags, kVstTransportChanged | kVstTransportPlaying | MUSICAL_FLAGS);
}

TEST(HostTransport, StoppedPositionStaysWhereTheNextBlockWouldStart)
{
    HostTransport transport(Settings());
    transport.EndBlock(512);
    transport.EndBlock(512);
    transport.Stop();
    VstTimeInfo stopped = transport.TimeInfo();
    EXPECT_EQ(stopped.flags, kVstTransportChanged | MUSICAL_FLAGS);
    EXPECT_EQ(stopped.samplePos, 1024.0);
    transport.EndBlock(512);
    transport.EndBlock(512);
    VstTimeInfo still = transport.TimeInfo();
    EXPECT_EQ(still.flags, MUSICAL_FLAGS);
    EXPECT_EQ(still.samplePos, 1024.0);
    EXPECT_DOUBLE_EQ(still.ppqPos, stopped.ppqPos);
    // Play and stop again before any block ran: no change to report.
    transport.Play();
    transport.Stop();
    EXPECT_EQ(transport.TimeInfo().flags, MUSICAL_FLAGS);
}

TEST(HostTransport, LocateWhileStoppedStartsRollingExactlyThere)
{
    HostTransport transport(Settings(44100.0, 90.0));
    transport.Stop();
    transport.EndBlock(512);
    transport.Locate(44100);
    VstTimeInfo located = transport.TimeInfo();
    EXPECT_EQ(located.flags & kVstTransportChanged, 0);
    EXPECT_EQ(located.samplePos, 44100.0);
    EXPECT_DOUBLE_EQ(located.ppqPos, 1.5);  // one second at 90 bpm
    transport.EndBlock(512);
    transport.Play();
    VstTimeInfo rolling = transport.TimeInfo();
    EXPECT_EQ(rolling.flags, kVstTransportChanged | kVstTransportPlaying | MUSICAL_FLAGS);
    EXPECT_EQ(rolling.samplePos, 44100.0);
    EXPECT_DOUBLE_EQ(rolling.ppqPos, 1.5);
}

TEST(HostTransport, PpqIntegratesEachBlockAtItsOwnTempo)
{
    HostTransport transport(Settings(48000.0, 120.0));
    transport.EndBlock(24000);  // 0.5 s at 120 bpm: 1 quarter
    transport.SetTempo(60.0);
    EXPECT_DOUBLE_EQ(transport.TimeInfo().ppqPos, 1.0);
    transport.EndBlock(48000);  // 1 s at 60 bpm: 1 quarter
    VstTimeInfo info = transport.TimeInfo();
    EXPECT_DOUBLE_EQ(info.ppqPos, 2.0);
    EXPECT_EQ(info.tempo, 60.0);
    EXPECT_EQ(info.samplePos, 72000.0);
    // A locate uses the tempo in force, not the history.
    transport.Locate(72000);
    EXPECT_DOUBLE_EQ(transport.TimeInfo().ppqPos, 1.5);
    // The render's own time line counts stopped blocks too.
    transport.Stop();
    transport.EndBlock(48000);
    EXPECT_DOUBLE_EQ(transport.ElapsedQuarters(), 3.0);
    EXPECT_DOUBLE_EQ(transport.TimeInfo().ppqPos, 1.5);
}

TEST(HostTransport, StartSampleSetsPositionAndElapsedQuarters)
{
    TransportSettings settings = Settings(48000.0, 120.0);
    settings.startSample = 96000;
    HostTransport transport(settings);
    VstTimeInfo info = transport.TimeInfo();
    EXPECT_EQ(info.samplePos, 96000.0);
    EXPECT_DOUBLE_EQ(info.ppqPos, 4.0);
    EXPECT_DOUBLE_EQ(info.barStartPos, 4.0);
    EXPECT_DOUBLE_EQ(transport.ElapsedQuarters(), 4.0);
}

TEST(HostTransport, PpqRoundsToTheNearestResolutionStep)
{
    TransportSettings settings = Settings(48000.0, 120.0);
    settings.ppqResolution = 4;
    HostTransport transport(settings);
    transport.EndBlock(2999);  // 0.12496 quarters: nearest quarter of a quarter is 0.0
    EXPECT_EQ(transport.TimeInfo().ppqPos, 0.0);
    transport.EndBlock(2);  // 0.125042: rounds up to 0.25
    EXPECT_EQ(transport.TimeInfo().ppqPos, 0.25);
    // The exact position keeps integrating underneath.
    EXPECT_DOUBLE_EQ(transport.PpqPosition(), 3001.0 / 24000.0);
    EXPECT_EQ(transport.TimeInfo().samplePos, 3001.0);
}

TEST(HostTransport, BarStartFollowsSignatureChanges)
{
    HostTransport transport(Settings(48000.0, 120.0));
    transport.EndBlock(24000 * 5);  // 5 quarters: second bar of 4/4
    EXPECT_DOUBLE_EQ(transport.TimeInfo().barStartPos, 4.0);
    transport.SetTimeSignature(3, 8);  // bars of 1.5 quarters from the bar in progress
    VstTimeInfo info = transport.TimeInfo();
    EXPECT_EQ(info.timeSigNumerator, 3);
    EXPECT_EQ(info.timeSigDenominator, 8);
    EXPECT_DOUBLE_EQ(info.barStartPos, 4.0);
    transport.EndBlock(24000);  // 6 quarters: 4 + 1.5 = 5.5
    EXPECT_DOUBLE_EQ(transport.TimeInfo().barStartPos, 5.5);
    transport.Locate(24000 * 3);  // 3 quarters, before the change: 4 - 1.5 = 2.5
    EXPECT_DOUBLE_EQ(transport.TimeInfo().barStartPos, 2.5);
}

TEST(HostTransport, BarLineReachedByIntegrationCountsAsNewBar)
{
    // Ten blocks of 0.1 quarter add up to 0.9999999999999999 in doubles;
    // the bar of 1/4 starting at 1.0 must still be the current one.
    HostTransport transport(Settings(44100.0, 120.0));
    transport.SetTimeSignature(1, 4);
    for (int i = 0; i < 10; ++i) transport.EndBlock(2205);
    EXPECT_LT(transport.PpqPosition(), 1.0);
    EXPECT_DOUBLE_EQ(transport.TimeInfo().barStartPos, 1.0);
}

TEST(HostTransport, WithoutMusicalPositionOnlySamplesAreReported)
{
    TransportSettings settings = Settings();
    settings.musicalPosition = false;
    HostTransport transport(settings);
    transport.EndBlock(512);
    VstTimeInfo info = transport.TimeInfo();
    EXPECT_EQ(info.flags, kVstTransportPlaying);
    EXPECT_EQ(info.samplePos, 512.0);
    EXPECT_EQ(info.ppqPos, 0.0);
    EXPECT_EQ(info.tempo, 0.0);
    EXPECT_EQ(info.timeSigNumerator, 0);
}

TEST(HostTransport, BarsRoundUpToWholeBlocks)
{
    EXPECT_EQ(BlocksForBars(1, 4, 4, 120.0, 44100.0, 512), 173);  // 88200 / 512 = 172.3
    EXPECT_EQ(BlocksForBars(1, 4, 4, 120.0, 44100.0, 1050), 84);  // exactly 84
    EXPECT_EQ(BlocksForBars(2, 6, 8, 90.0, 48000.0, 1000), 192);  // 6 quarters at 90: 192000 samples
    EXPECT_EQ(BlocksForBars(0, 4, 4, 120.0, 44100.0, 512), 0);
    EXPECT_EQ(BlocksForBars(0.5, 4, 4, 120.0, 44100.0, 44100), 1);
}
