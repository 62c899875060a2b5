#include <gtest/gtest.h>

#include <cstring>

#include "framework/plugin/StateChunk.h"

TEST(StateChunk, PutsLittleEndianAndReadsBack)
{
    StateChunk chunk;
    chunk.PutInt32(0x01020304);
    chunk.PutDouble(0.5);
    chunk.PutByte(-3);
    ASSERT_EQ(chunk.Size(), 13);
    EXPECT_EQ(chunk.Data()[0], 0x04);
    EXPECT_EQ(chunk.Data()[3], 0x01);
    int32_t i = 0;
    double d = 0;
    int8_t b = 0;
    int p = chunk.GetInt32(&i, 0);
    p = chunk.GetDouble(&d, p);
    p = chunk.GetByte(&b, p);
    EXPECT_EQ(p, 13);
    EXPECT_EQ(i, 0x01020304);
    EXPECT_EQ(d, 0.5);
    EXPECT_EQ(b, -3);
}

TEST(StateChunk, ShortReadFailsAndLeavesTargetAlone)
{
    StateChunk chunk;
    chunk.PutByte(1);
    chunk.PutByte(2);
    int32_t value = 77;
    EXPECT_EQ(chunk.GetInt32(&value, 0), -1);
    EXPECT_EQ(value, 77);
    EXPECT_EQ(chunk.GetInt32(&value, -1), -1);
    uint8_t u = 0;
    EXPECT_EQ(chunk.GetUnsignedByte(&u, 1), 2);
    EXPECT_EQ(chunk.GetUnsignedByte(&u, 2), -1);
}

TEST(StateChunk, StringRules)
{
    StateChunk chunk;
    chunk.PutString("minor");
    char text[64] = "unchanged";
    EXPECT_EQ(chunk.GetString(text, sizeof text, 0), 9);
    EXPECT_STREQ(text, "minor");

    // A length that runs past the chunk moves the position but stores nothing.
    StateChunk cut;
    cut.PutInt32(10);
    cut.PutBytes("abc", 3);
    std::strcpy(text, "kept");
    EXPECT_EQ(cut.GetString(text, sizeof text, 0), 14);
    EXPECT_STREQ(text, "kept");

    // A zero byte cuts the text; the position still skips all L characters.
    StateChunk zero;
    zero.PutInt32(3);
    zero.PutBytes("a\0b", 3);
    EXPECT_EQ(zero.GetString(text, sizeof text, 0), 7);
    EXPECT_STREQ(text, "a");

    // A text longer than the destination is cut to fit.
    StateChunk longText;
    longText.PutString("abcdefghij");
    char small[4];
    EXPECT_EQ(longText.GetString(small, sizeof small, 0), 14);
    EXPECT_STREQ(small, "abc");

    // A negative length is refused.
    StateChunk negative;
    negative.PutInt32(-8);
    EXPECT_EQ(negative.GetString(text, sizeof text, 0), -1);
}

TEST(StateChunk, HeaderAndResize)
{
    StateChunk chunk;
    chunk.PutByte(9);
    chunk.PutFrameworkHeader();
    ASSERT_EQ(chunk.Size(), 8);
    const uint8_t expected[8] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
    EXPECT_EQ(0, std::memcmp(chunk.Data(), expected, 8));
    chunk.Resize(12);
    int32_t v = -1;
    EXPECT_EQ(chunk.GetInt32(&v, 8), 12);
    EXPECT_EQ(v, 0);
}
