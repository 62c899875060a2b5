// What the audio thread may do: after warm-up, block processing allocates
// nothing, and the same state and timeline give the same notes whatever the
// precision of the processing call.
#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "FakeHost.h"

TEST(RealTime, HeavySceneAllocatesNothingAfterWarmUp)
{
    for (int block : {64, 512}) {
        FakeHost host(48000.0, block);
        host.SetUpHeavyScene();
        host.mEvents.reserve(4000000);
        host.Play();
        host.ProcessSamples(48000 * 20, block);  // warm-up: pools reach their high-water mark
        size_t warmEvents = host.mEvents.size();
        const long before = AllocationCount();
        host.ProcessSamples(48000 * 20, block);
        EXPECT_EQ(AllocationCount() - before, 0) << "block " << block;
        EXPECT_GT(host.mEvents.size() - warmEvents, 2000u);  // it really played
    }
}

TEST(RealTime, LockedTimelineAllocatesNothingAfterWarmUpThroughLocatesAndLoops)
{
    FakeHost host(48000.0, 64);
    host.SetUpHeavyScene();
    host.mEvents.reserve(4000000);
    ASSERT_TRUE(host.SetTimelineLock(true));
    host.Play();
    // Plays on, jumps back into what was played, and beyond it.
    auto playWithJumps = [&host] {
        const long long start = host.Position();
        host.ProcessSamples(48000 * 10, 64);
        host.Locate(start + 48000 * 3 + 777);
        host.ProcessSamples(48000 * 2, 64);
        host.Locate(start + 48000 * 14);
        host.ProcessSamples(48000 * 8, 64);
    };
    playWithJumps();  // warm-up
    size_t warmEvents = host.mEvents.size();
    const long before = AllocationCount();
    playWithJumps();
    EXPECT_EQ(AllocationCount() - before, 0);
    EXPECT_GT(host.mEvents.size() - warmEvents, 2000u);
}

TEST(RealTime, SingleAndDoublePrecisionPlayTheSameNotes)
{
    FakeHost single(44100.0, 512), twice(44100.0, 512);
    for (FakeHost* pHost : {&single, &twice}) {
        pHost->SetUpHeavyScene(140.0);
        pHost->Play();
    }
    for (int i = 0; i < 800; ++i) {
        single.Process(512, false);
        twice.Process(512, true);
    }
    ASSERT_GT(single.mEvents.size(), 500u);
    EXPECT_EQ(single.mEvents, twice.mEvents);
}
