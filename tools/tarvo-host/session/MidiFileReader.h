// Reads a Standard MIDI File (format 0 or 1) into channel messages on a
// time line in seconds, for rendering a MIDI file through an instrument.
//
// The tempo map is the file's: tempo changes are taken from every track (a
// format 1 file may keep them in any track) and apply to all of them; 120
// bpm until the first. Running status is honoured; system exclusive and
// meta events cancel it. A damaged file is refused with the byte offset of
// the fault; nothing is read past the end of the data whatever it holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct MidiFileEvent {
    double seconds;
    uint8_t status;
    uint8_t data1;
    uint8_t data2;  // 0 for messages with one data byte
};

class MidiFileReader {
public:
    MidiFileReader() {}
    virtual ~MidiFileReader() {}

    // False with *error "byte OFFSET: why" for a file that cannot be read.
    bool Parse(const uint8_t* data, size_t size, std::string* error);

    // The channel messages of all tracks by time; messages at the same time
    // keep their order in the file (track by track).
    const std::vector<MidiFileEvent>& Events() const { return mEvents; }
    // Where the longest track ends.
    double LengthSeconds() const { return mLengthSeconds; }
    // The tempo in force at that time, in quarters per minute.
    double TempoAt(double seconds) const;
    int Format() const { return mFormat; }
    int Tracks() const { return mTracks; }

private:
    struct TickEvent {
        uint64_t tick;
        uint8_t status;
        uint8_t data1;
        uint8_t data2;
    };
    struct TempoChange {
        uint64_t tick;
        uint32_t microsecondsPerQuarter;
        double seconds;
    };
    bool ParseTrack(const uint8_t* data, size_t begin, size_t end, std::string* error);
    double Seconds(uint64_t tick) const;

    int mFormat = 0;
    int mTracks = 0;
    // Ticks per quarter, or with SMPTE time ticks per second.
    double mTicksPerQuarter = 0.0;
    double mTicksPerSecond = 0.0;
    std::vector<TickEvent> mTickEvents;
    std::vector<TempoChange> mTempos;
    uint64_t mEndTick = 0;
    std::vector<MidiFileEvent> mEvents;
    double mLengthSeconds = 0.0;
};
