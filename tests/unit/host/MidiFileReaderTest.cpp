#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/MidiFileReader.h"

namespace {
using Bytes = std::vector<uint8_t>;

void PutU32(Bytes* out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(uint8_t(value >> shift));
}

Bytes Header(int format, int tracks, int division)
{
    Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, uint8_t(format), 0, uint8_t(tracks)};
    file.push_back(uint8_t(division >> 8));
    file.push_back(uint8_t(division));
    return file;
}

void AddTrack(Bytes* file, const Bytes& events)
{
    const Bytes tag = {'M', 'T', 'r', 'k'};
    file->insert(file->end(), tag.begin(), tag.end());
    PutU32(file, uint32_t(events.size()));
    file->insert(file->end(), events.begin(), events.end());
}

const Bytes END_OF_TRACK = {0x00, 0xFF, 0x2F, 0x00};

// Two tracks of a format 1 file at 480 ticks per quarter: notes with
// running status in the first, the tempo map in the second (120 bpm, 60
// bpm from tick 480).
Bytes TwoTrackFile()
{
    Bytes file = Header(1, 2, 480);
    Bytes notes = {0x00, 0x90, 0x3C, 0x64,   // tick 0: note on
                   0x83, 0x60, 0x3C, 0x00,   // tick 480: note off by velocity 0, running status
                   0x83, 0x60, 0x3E, 0x50};  // tick 960: the next note, running status
    notes.insert(notes.end(), END_OF_TRACK.begin(), END_OF_TRACK.end());
    AddTrack(&file, notes);
    Bytes tempo = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,         // 500000 us per quarter
                   0x83, 0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40};  // tick 480: 1000000
    tempo.insert(tempo.end(), END_OF_TRACK.begin(), END_OF_TRACK.end());
    AddTrack(&file, tempo);
    return file;
}

std::string ParseError(const Bytes& file)
{
    MidiFileReader reader;
    std::string error;
    EXPECT_FALSE(reader.Parse(file.data(), file.size(), &error));
    return error;
}
}  // namespace

TEST(MidiFileReader, TempoChangesOfAnyTrackTimeEveryTrackAndRunningStatusIsHonoured)
{
    const Bytes file = TwoTrackFile();
    MidiFileReader reader;
    std::string error;
    ASSERT_TRUE(reader.Parse(file.data(), file.size(), &error)) << error;
    ASSERT_EQ(reader.Events().size(), 3u);
    EXPECT_DOUBLE_EQ(reader.Events()[0].seconds, 0.0);
    EXPECT_DOUBLE_EQ(reader.Events()[1].seconds, 0.5);
    EXPECT_DOUBLE_EQ(reader.Events()[2].seconds, 1.5);  // a quarter at 60 bpm after the change
    EXPECT_EQ(reader.Events()[1].status, 0x90);
    EXPECT_EQ(reader.Events()[1].data2, 0);
    EXPECT_EQ(reader.Events()[2].data1, 0x3E);
    EXPECT_DOUBLE_EQ(reader.TempoAt(0.49), 120.0);
    EXPECT_DOUBLE_EQ(reader.TempoAt(0.5), 60.0);
    EXPECT_DOUBLE_EQ(reader.LengthSeconds(), 1.5);
}

TEST(MidiFileReader, DamagedFilesAreRefusedWithTheOffsetOfTheFault)
{
    const Bytes good = TwoTrackFile();
    // The track's events start at byte 22; the second message, in running
    // status, starts at byte 28 and ends with the track after one data byte.
    Bytes truncated = Header(1, 1, 480);
    AddTrack(&truncated, {0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0x3C});
    EXPECT_EQ(ParseError(truncated), "byte 28: a 0x90 message cut off by the track's end");

    // A data byte right after a meta event: nothing to run on.
    Bytes noRunning = Header(0, 1, 480);
    AddTrack(&noRunning, {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0x3C, 0x64});
    EXPECT_EQ(ParseError(noRunning), "byte 30: a data byte (0x3C) with no running status before it");

    Bytes longChunk(good.begin(), good.end() - 3);
    // The second track's length (at byte 42) reaches past the end.
    EXPECT_EQ(ParseError(longChunk), "byte 42: a chunk of 19 bytes runs past the end of the file");
    EXPECT_EQ(ParseError(Bytes(good.begin(), good.begin() + 10)), "byte 0: not a Standard MIDI File (no MThd header)");
}
