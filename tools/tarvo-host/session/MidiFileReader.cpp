#include "MidiFileReader.h"

#include <algorithm>

namespace {
const uint32_t DEFAULT_MICROSECONDS_PER_QUARTER = 500000;
const size_t CHUNK_HEADER_BYTES = 8;
const size_t MIN_HEADER_LENGTH = 6;

uint32_t ReadU32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
uint16_t ReadU16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

bool FailAt(std::string* error, size_t offset, const std::string& why)
{
    *error = "byte " + std::to_string(offset) + ": " + why;
    return false;
}

std::string Hex(unsigned value)
{
    const char* DIGITS = "0123456789ABCDEF";
    return std::string("0x") + DIGITS[(value >> 4) & 0xF] + DIGITS[value & 0xF];
}

// A variable-length quantity: at most four bytes, seven bits each.
bool ReadQuantity(const uint8_t* data, size_t end, size_t* pos, uint32_t* value, std::string* error)
{
    const size_t start = *pos;
    *value = 0;
    for (int i = 0; i < 4; ++i) {
        if (*pos >= end) return FailAt(error, start, "a variable-length number runs past the end of its track");
        const uint8_t byte = data[(*pos)++];
        *value = (*value << 7) | (byte & 0x7F);
        if (!(byte & 0x80)) return true;
    }
    return FailAt(error, start, "a variable-length number is longer than four bytes");
}

int DataBytes(uint8_t status) { return (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2; }
}  // namespace

bool MidiFileReader::Parse(const uint8_t* data, size_t size, std::string* error)
{
    *this = MidiFileReader();
    if (size < CHUNK_HEADER_BYTES + MIN_HEADER_LENGTH || std::string(reinterpret_cast<const char*>(data), 4) != "MThd")
        return FailAt(error, 0, "not a Standard MIDI File (no MThd header)");
    const uint32_t headerLength = ReadU32(data + 4);
    if (headerLength < MIN_HEADER_LENGTH || headerLength > size - CHUNK_HEADER_BYTES)
        return FailAt(error, 4, "the header's length " + std::to_string(headerLength) + " does not fit the file");
    mFormat = ReadU16(data + 8);
    mTracks = ReadU16(data + 10);
    const uint16_t division = ReadU16(data + 12);
    if (mFormat > 1) return FailAt(error, 8, "format " + std::to_string(mFormat) + " is not supported (only 0 and 1)");
    if (mTracks < 1 || (mFormat == 0 && mTracks != 1))
        return FailAt(error, 10, "format " + std::to_string(mFormat) + " with " + std::to_string(mTracks) + " tracks");
    if (division & 0x8000) {
        const int frames = -int(int8_t(division >> 8));
        const int ticksPerFrame = division & 0xFF;
        if ((frames != 24 && frames != 25 && frames != 29 && frames != 30) || ticksPerFrame == 0)
            return FailAt(error, 12, "an SMPTE time division that is none (" + Hex(division >> 8) + ")");
        mTicksPerSecond = (frames == 29 ? 29.97 : double(frames)) * ticksPerFrame;
    } else {
        if (division == 0) return FailAt(error, 12, "zero ticks per quarter note");
        mTicksPerQuarter = division;
    }

    size_t pos = CHUNK_HEADER_BYTES + headerLength;
    int tracksRead = 0;
    while (tracksRead < mTracks) {
        if (size - pos < CHUNK_HEADER_BYTES)
            return FailAt(
                error, pos,
                "the file ends after " + std::to_string(tracksRead) + " of " + std::to_string(mTracks) + " tracks");
        const uint32_t length = ReadU32(data + pos + 4);
        if (length > size - pos - CHUNK_HEADER_BYTES)
            return FailAt(error, pos + 4,
                          "a chunk of " + std::to_string(length) + " bytes runs past the end of the file");
        const size_t begin = pos + CHUNK_HEADER_BYTES;
        // Chunks of other kinds are skipped, as the format asks.
        if (std::string(reinterpret_cast<const char*>(data + pos), 4) == "MTrk") {
            if (!ParseTrack(data, begin, begin + length, error)) return false;
            ++tracksRead;
        }
        pos = begin + length;
    }

    std::stable_sort(mTempos.begin(), mTempos.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    double seconds = 0.0;
    uint64_t tick = 0;
    uint32_t tempo = DEFAULT_MICROSECONDS_PER_QUARTER;
    for (TempoChange& change : mTempos) {
        if (mTicksPerQuarter > 0.0) seconds += double(change.tick - tick) * tempo / 1e6 / mTicksPerQuarter;
        change.seconds = mTicksPerQuarter > 0.0 ? seconds : double(change.tick) / mTicksPerSecond;
        tick = change.tick;
        tempo = change.microsecondsPerQuarter;
    }
    std::stable_sort(mTickEvents.begin(), mTickEvents.end(),
                     [](const TickEvent& a, const TickEvent& b) { return a.tick < b.tick; });
    mEvents.reserve(mTickEvents.size());
    for (const TickEvent& event : mTickEvents)
        mEvents.push_back(MidiFileEvent{Seconds(event.tick), event.status, event.data1, event.data2});
    mTickEvents.clear();
    mLengthSeconds = Seconds(mEndTick);
    return true;
}

bool MidiFileReader::ParseTrack(const uint8_t* data, size_t begin, size_t end, std::string* error)
{
    size_t pos = begin;
    uint64_t tick = 0;
    uint8_t running = 0;
    while (pos < end) {
        uint32_t delta = 0;
        if (!ReadQuantity(data, end, &pos, &delta, error)) return false;
        tick += delta;
        if (pos >= end) return FailAt(error, pos, "the track ends after a delta time, before its event");
        const size_t eventStart = pos;
        uint8_t status = data[pos];
        if (status & 0x80) {
            ++pos;
        } else if (running) {
            status = running;
        } else {
            return FailAt(error, pos, "a data byte (" + Hex(status) + ") with no running status before it");
        }
        if (status < 0xF0) {
            running = status;
            const int count = DataBytes(status);
            uint8_t bytes[2] = {0, 0};
            for (int i = 0; i < count; ++i) {
                if (pos >= end)
                    return FailAt(error, eventStart, "a " + Hex(status) + " message cut off by the track's end");
                bytes[i] = data[pos++];
                if (bytes[i] & 0x80)
                    return FailAt(
                        error, pos - 1,
                        "data byte " + Hex(bytes[i]) + " of a " + Hex(status) + " message has its top bit set");
            }
            mTickEvents.push_back(TickEvent{tick, status, bytes[0], bytes[1]});
            continue;
        }
        running = 0;
        if (status == 0xF0 || status == 0xF7) {
            uint32_t length = 0;
            if (!ReadQuantity(data, end, &pos, &length, error)) return false;
            if (length > end - pos) return FailAt(error, eventStart, "a system exclusive message runs past its track");
            pos += length;
            continue;
        }
        if (status != 0xFF)
            return FailAt(error, eventStart, "status " + Hex(status) + " does not belong in a MIDI file");
        if (pos >= end) return FailAt(error, eventStart, "a meta event cut off by the track's end");
        const uint8_t type = data[pos++];
        uint32_t length = 0;
        if (!ReadQuantity(data, end, &pos, &length, error)) return false;
        if (length > end - pos) return FailAt(error, eventStart, "a meta event runs past its track");
        if (type == 0x51) {
            if (length != 3) return FailAt(error, eventStart, "a tempo event of " + std::to_string(length) + " bytes");
            const uint32_t tempo = uint32_t(data[pos]) << 16 | uint32_t(data[pos + 1]) << 8 | data[pos + 2];
            if (tempo == 0) return FailAt(error, eventStart, "a tempo of 0 microseconds per quarter note");
            mTempos.push_back(TempoChange{tick, tempo, 0.0});
        }
        pos += length;
        // What follows the end of the track is not read.
        if (type == 0x2F) break;
    }
    mEndTick = std::max(mEndTick, tick);
    return true;
}

double MidiFileReader::Seconds(uint64_t tick) const
{
    if (mTicksPerQuarter <= 0.0) return double(tick) / mTicksPerSecond;
    // The last change at or before the tick.
    auto next = std::upper_bound(mTempos.begin(), mTempos.end(), tick,
                                 [](uint64_t t, const TempoChange& change) { return t < change.tick; });
    if (next == mTempos.begin()) return double(tick) * DEFAULT_MICROSECONDS_PER_QUARTER / 1e6 / mTicksPerQuarter;
    const TempoChange& change = *(next - 1);
    return change.seconds + double(tick - change.tick) * change.microsecondsPerQuarter / 1e6 / mTicksPerQuarter;
}

double MidiFileReader::TempoAt(double seconds) const
{
    // The last change at or before that time: a render asks once a block,
    // and a file may hold any number of changes.
    auto next = std::upper_bound(mTempos.begin(), mTempos.end(), seconds,
                                 [](double s, const TempoChange& change) { return s < change.seconds; });
    const uint32_t tempo =
        next == mTempos.begin() ? DEFAULT_MICROSECONDS_PER_QUARTER : (next - 1)->microsecondsPerQuarter;
    return 60e6 / tempo;
}
