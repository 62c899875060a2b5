#include <gtest/gtest.h>

#include "session/MidiFileWriter.h"

namespace {
typedef std::vector<uint8_t> Bytes;

// The track's bytes after its 8-byte chunk header, checking the file
// header and the track length on the way.
Bytes TrackOf(const Bytes& file)
{
    const Bytes HEADER = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x03, 0xC0, 'M', 'T', 'r', 'k'};
    EXPECT_GE(file.size(), HEADER.size() + 4);
    if (file.size() < HEADER.size() + 4) return Bytes();
    EXPECT_EQ(Bytes(file.begin(), file.begin() + HEADER.size()), HEADER);
    size_t length = (size_t(file[18]) << 24) | (size_t(file[19]) << 16) | (size_t(file[20]) << 8) | file[21];
    EXPECT_EQ(length, file.size() - 22);
    return Bytes(file.begin() + 22, file.end());
}
}  // namespace

TEST(MidiFileWriter, EmptyFileHasOnlyEndOfTrack)
{
    MidiFileWriter writer;
    EXPECT_EQ(TrackOf(writer.Build()), (Bytes{0x00, 0xFF, 0x2F, 0x00}));
}

TEST(MidiFileWriter, TempoMapAndNotesInTicksOf960)
{
    MidiFileWriter writer;
    writer.AddTempo(0.0, 120.0);
    writer.AddTimeSignature(0.0, 6, 8);
    writer.AddMessage(0.5, 0x90, 60, 100);
    writer.AddTempo(1.0, 90.0);
    writer.AddMessage(2.5, 0x80, 60, 0);
    writer.SetEnd(4.0);
    Bytes expected = {
        0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,        // 500000 us per quarter
        0x00, 0xFF, 0x58, 0x04, 6,    3,    24,   8,     // 6/8
        0x83, 0x60, 0x90, 60,   100,                     // 480 ticks
        0x83, 0x60, 0xFF, 0x51, 0x03, 0x0A, 0x2C, 0x2B,  // tick 960: 666667 us
        0x8B, 0x20, 0x80, 60,   0,                       // tick 2400
        0x8B, 0x20, 0xFF, 0x2F, 0x00,                    // ends at tick 3840
    };
    EXPECT_EQ(TrackOf(writer.Build()), expected);
}

TEST(MidiFileWriter, SortsByTickKeepingOrderWithinATick)
{
    MidiFileWriter writer;
    writer.AddMessage(1.0, 0x91, 1, 1);
    writer.AddMessage(0.0, 0x92, 2, 2);
    writer.AddMessage(1.0, 0x93, 3, 3);
    writer.AddMessage(-0.5, 0x94, 4, 4);  // before the start: clamped to 0
    Bytes expected = {
        0x00, 0x92, 2, 2, 0x00, 0x94, 4, 4, 0x87, 0x40, 0x91, 1, 1, 0x00, 0x93, 3, 3, 0x00, 0xFF, 0x2F, 0x00,
    };
    EXPECT_EQ(TrackOf(writer.Build()), expected);
}

TEST(MidiFileWriter, MessageLengthsFollowTheStatus)
{
    MidiFileWriter writer;
    writer.AddMessage(0.0, 0xC5, 0x85, 0x33);  // program change: one data byte, masked to 7 bits
    writer.AddMessage(0.0, 0xD0, 0x40, 0x00);  // channel pressure: one data byte
    writer.AddMessage(0.0, 0xF8, 0x00, 0x00);  // clock: escaped
    writer.AddMessage(0.0, 0xF2, 0x10, 0x20);  // song position: escaped with two data bytes
    writer.AddMessage(0.0, 0xF0, 0x7E, 0x00);  // SysEx start alone: dropped
    writer.AddMessage(0.0, 0x40, 0x00, 0x00);  // not a status: dropped
    Bytes expected = {
        0x00, 0xC5, 0x05, 0x00, 0xD0, 0x40, 0x00, 0xF7, 0x01, 0xF8,
        0x00, 0xF7, 0x03, 0xF2, 0x10, 0x20, 0x00, 0xFF, 0x2F, 0x00,
    };
    EXPECT_EQ(TrackOf(writer.Build()), expected);
}
