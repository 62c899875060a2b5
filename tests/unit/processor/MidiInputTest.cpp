#include <gtest/gtest.h>

#include "FakeHost.h"

TEST(MidiInput, EveryMessagePassesThroughAtItsOffset)
{
    FakeHost host;
    host.Locate(1000);
    host.SendMidi(7, 0x91, 60, 100);
    host.SendMidi(3, 0xB2, 1, 64);
    host.SendMidi(0, 0xE0, 0, 64);
    ASSERT_EQ(host.mEvents.size(), 3u);
    EXPECT_EQ(host.mEvents[0], (HostEvent{1007, 0x91, 60, 100}));
    EXPECT_EQ(host.mEvents[1], (HostEvent{1003, 0xB2, 1, 64}));
    EXPECT_EQ(host.mEvents[2], (HostEvent{1000, 0xE0, 0, 64}));
}

TEST(MidiInput, AllNotesOffEndsThePendingNotesOfItsChannel)
{
    FakeHost host(44100.0, 512);
    host.SetUpStepProbe();
    host.SetPlain(EParam_RepeatProb, 1.0);  // every note also has a pending repeat
    host.Play();
    host.Process(512);  // the step at 0 sounds note 50; its note-off and repeat are pending
    host.mEvents.clear();
    long long blockStart = host.Position();
    host.SendMidi(5, 0xB1, 123, 0);  // another channel: nothing changes
    host.SendMidi(9, 0xB0, 123, 0);
    host.Process(512);
    // The first pending note-off of the channel goes to the message's offset,
    // every later one (the repeat's) to the block start.
    ASSERT_EQ(host.mEvents.size(), 4u);
    EXPECT_EQ(host.mEvents[0], (HostEvent{blockStart + 5, 0xB1, 123, 0}));
    EXPECT_EQ(host.mEvents[1], (HostEvent{blockStart + 9, 0xB0, 123, 0}));
    EXPECT_EQ(host.mEvents[2], (HostEvent{blockStart + 0, 0x80, 50, 0}));
    EXPECT_EQ(host.mEvents[3], (HostEvent{blockStart + 9, 0x80, 50, 0}));
    // The repeat's note-on vanished: nothing more until the next step.
    host.mEvents.clear();
    host.ProcessBlocks(19, 512);  // up to sample 10752, before the next step
    EXPECT_TRUE(host.mEvents.empty());
}
