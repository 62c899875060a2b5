#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "AllocationCounter.h"
#include "NoteTracker.h"

namespace {

using Event = std::tuple<int, int, int, int>;  // offset, status, note, velocity
const int ON = 0x90;
const int OFF = 0x80;

std::vector<Event> Emit(NoteTracker* pTracker, int blockLength)
{
    std::vector<IMidiMessage> queue;
    pTracker->EmitDue(blockLength, &queue);
    std::vector<Event> events;
    for (const IMidiMessage& m : queue) events.emplace_back(m.mOffset, m.mStatus, m.mData1, m.mData2);
    return events;
}

void PlayNote(NoteTracker* pTracker, int onset, int note, int duration, int channel = 0)
{
    pTracker->NoteOn(onset, note, channel, 100, duration);
    pTracker->NoteOff(onset + duration, note, channel);
}

}  // namespace

TEST(NoteTracker, EmitsAtOffsetsAcrossBlocks)
{
    NoteTracker tracker;
    PlayNote(&tracker, 10, 60, 50);
    EXPECT_EQ(Emit(&tracker, 64), (std::vector<Event>{{10, ON, 60, 100}, {60, OFF, 60, 0}}));

    PlayNote(&tracker, 0, 61, 64, 2);  // the note-off falls exactly on the block end
    PlayNote(&tracker, 150, 62, 100);  // inserted out of time order
    PlayNote(&tracker, 30, 63, 140);
    EXPECT_EQ(Emit(&tracker, 64), (std::vector<Event>{{0, ON + 2, 61, 100}, {30, ON, 63, 100}}));
    EXPECT_EQ(Emit(&tracker, 0), (std::vector<Event>{}));  // a zero-length block moves nothing
    EXPECT_EQ(Emit(&tracker, 64), (std::vector<Event>{{0, OFF + 2, 61, 0}}));
    EXPECT_EQ(Emit(&tracker, 64), (std::vector<Event>{{22, ON, 62, 100}, {42, OFF, 63, 0}}));
    EXPECT_EQ(Emit(&tracker, 64), (std::vector<Event>{{58, OFF, 62, 0}}));
    EXPECT_EQ(tracker.PendingCount(), 0);
}

TEST(NoteTracker, TiesMoveToNextFreeSampleInInsertionOrder)
{
    NoteTracker tracker;
    for (int note = 60; note < 63; ++note) tracker.NoteOn(20, note, 0, 100, 30);
    tracker.NoteOff(21, 60, 0);  // 21 and 22 are taken
    tracker.NoteOff(70, 61, 0);
    tracker.NoteOff(70, 62, 0);
    EXPECT_EQ(Emit(&tracker, 64), (std::vector<Event>{{20, ON, 60, 100}, {21, ON, 61, 100}, {22, ON, 62, 100},
                                                       {23, OFF, 60, 0}}));
    EXPECT_EQ(Emit(&tracker, 64), (std::vector<Event>{{6, OFF, 61, 0}, {7, OFF, 62, 0}}));
}

TEST(NoteTracker, SoundingNoteIsCutOneSampleBeforeItsRestart)
{
    NoteTracker tracker;
    PlayNote(&tracker, 0, 60, 264);
    EXPECT_FALSE(tracker.IsHeld(60, 0));
    Emit(&tracker, 64);  // note-on sent; its note-off now lies at 200
    EXPECT_TRUE(tracker.IsHeld(60, 0));
    EXPECT_FALSE(tracker.IsHeld(60, 1));

    PlayNote(&tracker, 100, 60, 50, 1);  // other channel: no cut
    PlayNote(&tracker, 100, 60, 50);
    const std::vector<Event> events = Emit(&tracker, 256);
    EXPECT_EQ(events[0], Event(99, OFF, 60, 0));
    EXPECT_EQ(events.back(), Event(151, OFF, 60, 0));
    EXPECT_EQ(events.size(), 5u);
    EXPECT_FALSE(tracker.IsHeld(60, 0));
}

TEST(NoteTracker, NoteOffOfALaterPendingNoteOnStays)
{
    NoteTracker tracker;
    PlayNote(&tracker, 0, 60, 114);
    Emit(&tracker, 64);                // sounding until 50
    PlayNote(&tracker, 150, 60, 150);  // pending: 150..300
    PlayNote(&tracker, 100, 60, 20);
    EXPECT_EQ(Emit(&tracker, 512), (std::vector<Event>{{50, OFF, 60, 0}, {100, ON, 60, 100}, {120, OFF, 60, 0},
                                                        {150, ON, 60, 100}, {300, OFF, 60, 0}}));

    // Not sounding at all: nothing pending is touched.
    PlayNote(&tracker, 10, 64, 190);
    PlayNote(&tracker, 100, 64, 20);
    EXPECT_EQ(Emit(&tracker, 256).back(), Event(200, OFF, 64, 0));
}

TEST(NoteTracker, ReleasePendingSendsOnlyNoteOffsFromSampleZero)
{
    NoteTracker tracker;
    for (int i = 0; i < 5; ++i) PlayNote(&tracker, 0, 60 + i, 300 + 100 * i);
    Emit(&tracker, 64);
    tracker.NoteOn(200, 70, 0, 100, 50);
    tracker.NoteOn(350, 71, 0, 100, 50);
    tracker.ReleasePending();
    EXPECT_EQ(Emit(&tracker, 3), (std::vector<Event>{{0, OFF, 60, 0}, {1, OFF, 61, 0}, {2, OFF, 62, 0}}));
    EXPECT_EQ(Emit(&tracker, 3), (std::vector<Event>{{0, OFF, 63, 0}, {1, OFF, 64, 0}}));
    EXPECT_EQ(tracker.PendingCount(), 0);
}

TEST(NoteTracker, AllNotesOffClearsOnlyItsChannel)
{
    NoteTracker tracker;
    tracker.NoteOff(40, 60, 0);
    tracker.NoteOff(90, 61, 0);
    tracker.NoteOn(20, 62, 0, 100, 10);
    PlayNote(&tracker, 30, 63, 40, 1);
    tracker.AllNotesOff(0, 5);
    EXPECT_EQ(Emit(&tracker, 128), (std::vector<Event>{{0, OFF, 61, 0}, {5, OFF, 60, 0}, {30, ON + 1, 63, 100},
                                                        {70, OFF + 1, 63, 0}}));

    // Moved behind the second note-off, the first is met again and goes to 0,
    // which is taken, so 1.
    tracker.NoteOff(40, 60, 0);
    tracker.NoteOff(90, 61, 0);
    tracker.AllNotesOff(0, 100);
    EXPECT_EQ(Emit(&tracker, 128), (std::vector<Event>{{0, OFF, 61, 0}, {1, OFF, 60, 0}}));

    tracker.NoteOff(40, 60, 0);
    tracker.AllNotesOff(0, -7);  // a host's bad offset
    EXPECT_EQ(Emit(&tracker, 16), (std::vector<Event>{{0, OFF, 60, 0}}));
}

TEST(NoteTracker, WarmPoolIsReusedWithoutAllocating)
{
    NoteTracker tracker;
    std::vector<IMidiMessage> queue;
    queue.reserve(64);
    auto playBlock = [&](int block) {
        for (int i = 0; i < 4; ++i) PlayNote(&tracker, i * 10, 60 + (block + i) % 12, 150);
        queue.clear();
        tracker.EmitDue(64, &queue);
    };
    for (int block = 0; block < 24; ++block) playBlock(block);
    const int records = tracker.PendingCount() + tracker.PoolCount();
    const long before = AllocationCount();
    for (int block = 24; block < 200; ++block) playBlock(block);
    EXPECT_EQ(AllocationCount(), before);
    EXPECT_EQ(tracker.PendingCount() + tracker.PoolCount(), records);
}
