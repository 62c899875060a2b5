// The same host timeline gives the same MIDI whatever the host's block
// size, so an offline bounce (large blocks) plays what live playback (small
// blocks) plays, and no two generated notes of one pitch and channel ever
// overlap.
#include <gtest/gtest.h>

#include "FakeHost.h"

namespace {

const long long SAMPLES = 163840;

std::vector<HostEvent> Before(const std::vector<HostEvent>& events, long long end)
{
    std::vector<HostEvent> earlier;
    for (const HostEvent& event : events) {
        if (event.mSample < end) earlier.push_back(event);
    }
    return earlier;
}

}  // namespace

TEST(BlockSize, EveryBlockSizePlaysTheSameNotesAndNoneOverlap)
{
    // The heaviest scene: repeats, humanising, velocity and duration
    // jitter, and all four walls on one scale, so that one pitch is often
    // struck again while it sounds.
    std::vector<HostEvent> expected;
    for (int block : {64, 1, 7, 512, 4096}) {
        FakeHost host(48000.0, block);
        host.SetUpHeavyScene();
        host.Play();
        host.ProcessSamples(SAMPLES, block);
        std::vector<HostEvent> events = Before(host.mEvents, SAMPLES);
        EXPECT_EQ(CountOverlappingNotes(events), 0) << "block " << block;
        if (expected.empty()) {
            expected = events;
            ASSERT_GT(expected.size(), 1000u);
        } else {
            EXPECT_EQ(events, expected) << "block " << block;
        }
    }

    // A host whose block size changes from call to call.
    FakeHost varying(48000.0, 4096);
    varying.SetUpHeavyScene();
    varying.Play();
    const int SIZES[] = {1, 300, 64, 4096, 7, 1000, 2, 513};
    for (int i = 0; varying.Position() < SAMPLES; ++i) varying.Process(SIZES[i % 8]);
    EXPECT_EQ(Before(varying.mEvents, SAMPLES), expected);
}
