#include <gtest/gtest.h>

#include <vector>

#include "SequencerState.h"
#include "framework/plugin/StateChunk.h"

TEST(SequencerState, AdvanceWrapsAtStepCount)
{
    SequencerState sequencer;
    sequencer.mMuteFlags[1] = 1;
    sequencer.mLevels[1] = 64;
    EXPECT_EQ(sequencer.CurrentLevel(), 128);
    EXPECT_FALSE(sequencer.SetStepCount(32));
    EXPECT_TRUE(sequencer.SetStepCount(3));
    std::vector<int> visited;
    for (int i = 0; i < 4; ++i, sequencer.Advance()) visited.push_back(sequencer.mCurrentStep);
    EXPECT_EQ(visited, (std::vector<int>{0, 1, 2, 0}));
    EXPECT_TRUE(sequencer.IsCurrentStepMuted());
    EXPECT_EQ(sequencer.CurrentLevel(), 64);

    // Lowered below the current step: the next advance wraps to 0.
    sequencer.SetStepCount(32);
    for (int i = 0; i < 19; ++i) sequencer.Advance();
    sequencer.SetStepCount(8);
    EXPECT_EQ(sequencer.mCurrentStep, 20);
    sequencer.Advance();
    EXPECT_EQ(sequencer.mCurrentStep, 0);

    sequencer.SetStepCount(0);
    EXPECT_EQ(sequencer.mStepCount, 1);
    sequencer.mStepCount = 99;  // written directly out of range: still a valid index
    for (int i = 0; i < 40; ++i, sequencer.Advance()) ASSERT_LT(sequencer.mCurrentStep, 32);
}

TEST(SequencerState, SavesFortyFourBytesAndLoadsThemBack)
{
    SequencerState saved;
    saved.SetStepCount(12);
    saved.mLockFlags[0] = 1;
    saved.mLockFlags[9] = 1;
    saved.mMuteFlags[31] = 1;
    saved.mLevels[1] = 200;
    StateChunk chunk;
    EXPECT_TRUE(saved.Save(&chunk));
    ASSERT_EQ(chunk.Size(), 44);
    EXPECT_EQ(std::vector<uint8_t>(chunk.Data(), chunk.Data() + 14),
              (std::vector<uint8_t>{12, 0, 0, 0, 0x01, 0x02, 0, 0, 0, 0, 0, 0x80, 0x80, 200}));

    SequencerState loaded;
    loaded.Advance();
    EXPECT_EQ(loaded.Load(&chunk, 0), 44);
    EXPECT_EQ(loaded.mStepCount, 12);
    EXPECT_EQ(loaded.mCurrentStep, 1);  // loading never moves the current step
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(loaded.mMuteFlags[i], saved.mMuteFlags[i]);
        EXPECT_EQ(loaded.mLockFlags[i], saved.mLockFlags[i]);
        EXPECT_EQ(loaded.mLevels[i], saved.mLevels[i]);
    }
}

TEST(SequencerState, ShortOrHostileRecord)
{
    for (int32_t stored : {0, -5, 33, 0x7fffffff}) {
        StateChunk chunk;
        chunk.PutInt32(stored);
        chunk.Resize(44);
        SequencerState sequencer;
        sequencer.Load(&chunk, 0);
        EXPECT_EQ(sequencer.mStepCount, stored < 1 ? 1 : 32);
    }

    SequencerState sequencer;
    sequencer.SetStepCount(9);
    sequencer.mMuteFlags[3] = 1;
    sequencer.mLevels[0] = 10;
    StateChunk tooShort;
    tooShort.PutByte(5);
    EXPECT_EQ(sequencer.Load(&tooShort, 0), -1);
    EXPECT_EQ(sequencer.mStepCount, 9);     // kept
    EXPECT_EQ(sequencer.mMuteFlags[3], 0);  // an unreadable mask counts as 0
    EXPECT_EQ(sequencer.mLevels[0], 10);    // kept

    StateChunk cut;  // count and masks, then one level byte
    cut.PutInt32(20);
    cut.PutInt32(1 << 4);
    cut.PutInt32(1 << 3);
    cut.PutByte(static_cast<int8_t>(0x90));
    sequencer.mLevels[1] = 20;
    EXPECT_EQ(sequencer.Load(&cut, 0), -1);
    EXPECT_EQ(sequencer.mStepCount, 20);
    EXPECT_EQ(sequencer.mLockFlags[4], 1);
    EXPECT_EQ(sequencer.mMuteFlags[3], 1);
    EXPECT_EQ(sequencer.mLevels[0], 0x90);
    EXPECT_EQ(sequencer.mLevels[1], 20);
}
