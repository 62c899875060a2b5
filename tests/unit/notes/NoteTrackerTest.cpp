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
    EXPECT_EQ(Emit(&tracker, 64),
              (std::vector<Event>{{20, ON, 60, 100}, {21, ON, 61, 100}, {22, ON, 62, 100}, {23, OFF, 60, 0}}));
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
    EXPECT_EQ(Emit(&tracker, 512),
              (std::vector<Event>{
                  {50, OFF, 60, 0}, {100, ON, 60, 100}, {120, OFF, 60, 0}, {150, ON, 60, 100}, {300, OFF, 60, 0}}));
}

// Whether an earlier note's note-on has gone out yet depends on where the
// host's blocks end; the cut must not.
TEST(NoteTracker, NotesOfOnePitchNeverOverlapWhetherSentOrPending)
{
    // Pending (not sent) and sounding at the new onset: cut a sample before.
    NoteTracker pending;
    pending.Note(10, 64, 0, 100, 190);
    pending.Note(100, 64, 0, 100, 20, 90);  // a humanised onset, its step at 90
    EXPECT_EQ(Emit(&pending, 256),
              (std::vector<Event>{{10, ON, 64, 100}, {99, OFF, 64, 0}, {100, ON, 64, 100}, {120, OFF, 64, 0}}));

    // A new note on its step's own sample: nothing moves before the step, so
    // the earlier note ends there and the new one starts a sample later.
    NoteTracker onStep;
    onStep.Note(0, 60, 0, 100, 264);
    Emit(&onStep, 64);
    onStep.Note(36, 60, 0, 100, 50, 36);
    EXPECT_EQ(Emit(&onStep, 256), (std::vector<Event>{{36, OFF, 60, 0}, {37, ON, 60, 100}, {86, OFF, 60, 0}}));

    // The sample before taken by another note: the earlier note ends on the
    // first free sample after it, the new note-on follows.
    NoteTracker taken;
    taken.Note(10, 60, 0, 100, 190);
    taken.Note(99, 70, 0, 100, 5, 90);
    taken.Note(100, 60, 0, 100, 20, 90);
    EXPECT_EQ(Emit(&taken, 256), (std::vector<Event>{{10, ON, 60, 100},
                                                     {99, ON, 70, 100},
                                                     {100, OFF, 60, 0},
                                                     {101, ON, 60, 100},
                                                     {104, OFF, 70, 0},
                                                     {120, OFF, 60, 0}}));

    // A note that would reach a later note-on of its pitch (a repeat, a
    // humanised onset) ends on the last free sample before it.
    NoteTracker later;
    later.Note(150, 60, 0, 100, 100);
    later.Note(149, 62, 0, 100, 1);
    later.Note(100, 60, 0, 100, 80, 100);
    EXPECT_EQ(Emit(&later, 512), (std::vector<Event>{{100, ON, 60, 100},
                                                     {148, OFF, 60, 0},
                                                     {149, ON, 62, 100},
                                                     {150, ON, 60, 100},
                                                     {151, OFF, 62, 0},
                                                     {250, OFF, 60, 0}}));

    // No sample left between two note-ons (the same pitch starts on the same
    // sample or the next): the new note is left out, the other one stands.
    NoteTracker full;
    full.Note(0, 60, 0, 100, 300);
    EXPECT_TRUE(full.Note(200, 60, 0, 100, 50, 200));  // cuts the first at 200, starts at 201
    EXPECT_TRUE(full.Note(201, 60, 0, 100, 50, 201));  // the same sample: left out
    EXPECT_TRUE(full.Note(200, 60, 0, 100, 50, 200));  // would need 201 for its note-on
    EXPECT_EQ(Emit(&full, 512),
              (std::vector<Event>{{0, ON, 60, 100}, {200, OFF, 60, 0}, {201, ON, 60, 100}, {250, OFF, 60, 0}}));
    EXPECT_EQ(full.PendingCount(), 0);
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

// A stop or jump before the second of two notes of a pitch started leaves
// two note-offs of that pitch: the second belongs to a note that never
// started, and must not keep a new note of the pitch out.
TEST(NoteTracker, ReleasedNoteOffOfANoteThatNeverStartedIsNoLaterNote)
{
    NoteTracker tracker;
    ASSERT_TRUE(tracker.Note(0, 79, 0, 100, 1000));
    ASSERT_TRUE(tracker.Note(400, 79, 0, 100, 1000));
    EXPECT_EQ(Emit(&tracker, 64), (std::vector<Event>{{0, ON, 79, 100}}));
    tracker.ReleasePending();
    ASSERT_TRUE(tracker.Note(0, 79, 0, 90, 500));
    EXPECT_EQ(Emit(&tracker, 64), (std::vector<Event>{{0, OFF, 79, 0}, {1, OFF, 79, 0}, {2, ON, 79, 90}}));
    EXPECT_EQ(Emit(&tracker, 512), (std::vector<Event>{{436, OFF, 79, 0}}));
}

TEST(NoteTracker, AllNotesOffClearsOnlyItsChannel)
{
    NoteTracker tracker;
    tracker.NoteOff(40, 60, 0);
    tracker.NoteOff(90, 61, 0);
    tracker.NoteOn(20, 62, 0, 100, 10);
    PlayNote(&tracker, 30, 63, 40, 1);
    tracker.AllNotesOff(0, 5);
    EXPECT_EQ(Emit(&tracker, 128),
              (std::vector<Event>{{0, OFF, 61, 0}, {5, OFF, 60, 0}, {30, ON + 1, 63, 100}, {70, OFF + 1, 63, 0}}));

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
