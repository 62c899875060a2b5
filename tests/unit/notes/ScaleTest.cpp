#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Scale.h"
#include "framework/plugin/StateChunk.h"

namespace {

std::vector<int> WallNotes(int transpose, int rotate, int mutate)
{
    Scale scale;
    scale.mTranspose = transpose;
    scale.mRotate = rotate;
    scale.mMutate = mutate;
    scale.ComputeWallNotes();
    return std::vector<int>(scale.mWallNotes, scale.mWallNotes + Scale::NUM_ENTRIES);
}

}  // namespace

TEST(Scale, WallNotesFollowTransposeRotationAndDirection)
{
    const std::vector<int> plain{50, 57, 58, 60, 62, 64, 65, 69, 72, 74, 76, 77, 81, 82, 84, 86, 88};
    EXPECT_EQ(WallNotes(50, 0, 0), plain);
    EXPECT_EQ(WallNotes(50, 0, 1), std::vector<int>(plain.rbegin(), plain.rend()));
    // Rotation wraps to the low entries without adding an octave.
    std::vector<int> rotated(plain.begin() + 1, plain.end());
    rotated.push_back(50);
    EXPECT_EQ(WallNotes(50, 1, 0), rotated);
    EXPECT_EQ(WallNotes(50, 1, 1), std::vector<int>(rotated.rbegin(), rotated.rend()));
    EXPECT_EQ(WallNotes(50, 18, 0), rotated);  // out of range: taken cyclically
    EXPECT_EQ(WallNotes(50, -1, 0)[0], 88);

    const std::vector<int> high = WallNotes(120, 0, 0);
    EXPECT_EQ(high[0], 120);
    EXPECT_EQ(std::count(high.begin(), high.end(), 127), 16);

    Scale fresh;  // the default scale at transpose 0
    EXPECT_EQ(fresh.mWallNotes[16], 38);
    EXPECT_EQ(fresh.mLowest, 0);
    EXPECT_EQ(fresh.mHighest, 38);
}

TEST(Scale, SavesTwentyBytesAndLoadsThemBack)
{
    Scale saved;
    saved.mScaleNotes[3] = 200;  // only the low byte travels; it reads back as -56
    saved.mTranspose = 62;
    saved.mRotate = 5;
    saved.mMutate = 1;
    saved.ComputeWallNotes();
    StateChunk chunk;
    chunk.PutInt32(7);
    EXPECT_TRUE(saved.Save(&chunk));
    ASSERT_EQ(chunk.Size(), 24);
    EXPECT_EQ(std::vector<uint8_t>(chunk.Data() + 4, chunk.Data() + 8), (std::vector<uint8_t>{50, 57, 58, 200}));
    EXPECT_EQ(std::vector<uint8_t>(chunk.Data() + 21, chunk.Data() + 24), (std::vector<uint8_t>{62, 5, 1}));

    Scale loaded;
    EXPECT_EQ(loaded.Load(&chunk, 4), 24);
    EXPECT_EQ(loaded.mScaleNotes[3], -56);
    EXPECT_EQ(loaded.mTranspose, 62);
    EXPECT_EQ(loaded.mRotate, 5);
    EXPECT_TRUE(loaded.IsReversed());
    EXPECT_EQ(loaded.mWallNotes[16], 62 + 64 - 50);  // entry 5 lands at the far end
}

TEST(Scale, ShortOrHostileRecordIsHarmless)
{
    StateChunk chunk;
    for (int i = 0; i < 17; ++i) chunk.PutByte(static_cast<int8_t>(60 + i));
    chunk.PutByte(40);  // transpose; rotation and direction are cut off
    Scale scale;
    scale.mRotate = 2;
    EXPECT_EQ(scale.Load(&chunk, 0), -1);
    EXPECT_EQ(scale.mTranspose, 40);
    EXPECT_EQ(scale.mRotate, 2);
    EXPECT_EQ(scale.mWallNotes[0], 42);  // recomputed from the new notes

    StateChunk hostile;
    for (int i = 0; i < 17; ++i) hostile.PutByte(static_cast<int8_t>(i % 2 ? -128 : 127));
    hostile.PutByte(-100);
    hostile.PutByte(static_cast<int8_t>(200));  // rotation -56
    hostile.PutByte(-3);
    EXPECT_EQ(scale.Load(&hostile, 0), 20);
    EXPECT_EQ(scale.mRotate, 12);  // -56 modulo 17
    EXPECT_TRUE(scale.IsReversed());
    for (int note : scale.mWallNotes) EXPECT_TRUE(note >= 0 && note <= 127);
}
