#include "MidiFileWriter.h"

#include <algorithm>
#include <cmath>

namespace {
void PutBigEndian(std::vector<uint8_t>* out, uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i) out->push_back(uint8_t(value >> (8 * i)));
}

void PutVariableLength(std::vector<uint8_t>* out, uint32_t value)
{
    uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = uint8_t(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1) out->push_back(uint8_t(groups[--count] | 0x80));
    out->push_back(groups[0]);
}

// Data bytes after a system status, or -1 for a status that is not a
// complete message by itself.
int SystemDataBytes(uint8_t status)
{
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 1;
    case 0xF2:
        return 2;
    case 0xF0:
    case 0xF7:
        return -1;
    default:
        return 0;
    }
}
}  // namespace

int64_t MidiFileWriter::TickOf(double quarter)
{
    double tick = std::floor(quarter * MIDI_FILE_TICKS_PER_QUARTER + 0.5);
    // The delta times of the file hold 28 bits; a render that long is not
    // a sensible file, but it must not wrap.
    const double MAX_TICK = double(0x0FFFFFFF);
    if (!(tick > 0.0)) return 0;
    return int64_t(std::min(tick, MAX_TICK));
}

void MidiFileWriter::AddTempo(double quarter, double bpm)
{
    double micros = std::floor(60000000.0 / bpm + 0.5);
    uint32_t value = uint32_t(std::max(1.0, std::min(micros, double(0xFFFFFF))));
    Item item{TickOf(quarter), {0xFF, 0x51, 0x03}};
    PutBigEndian(&item.bytes, value, 3);
    mItems.push_back(item);
}

void MidiFileWriter::AddTimeSignature(double quarter, int numerator, int denominator)
{
    uint8_t power = 0;
    while ((1 << (power + 1)) <= denominator && power < 7) ++power;
    // 24 MIDI clocks per metronome click, 8 thirty-seconds per quarter.
    mItems.push_back(Item{TickOf(quarter), {0xFF, 0x58, 0x04, uint8_t(numerator), power, 24, 8}});
}

void MidiFileWriter::AddMessage(double quarter, uint8_t status, uint8_t data1, uint8_t data2)
{
    if (status < 0x80) return;
    Item item{TickOf(quarter), {}};
    if (status < 0xF0) {
        item.bytes.push_back(status);
        item.bytes.push_back(data1 & 0x7F);
        uint8_t kind = status & 0xF0;
        if (kind != 0xC0 && kind != 0xD0) item.bytes.push_back(data2 & 0x7F);
    } else {
        int dataBytes = SystemDataBytes(status);
        if (dataBytes < 0) return;
        item.bytes.push_back(0xF7);
        item.bytes.push_back(uint8_t(1 + dataBytes));
        item.bytes.push_back(status);
        if (dataBytes >= 1) item.bytes.push_back(data1 & 0x7F);
        if (dataBytes >= 2) item.bytes.push_back(data2 & 0x7F);
    }
    mItems.push_back(item);
}

std::vector<uint8_t> MidiFileWriter::Build() const
{
    std::vector<Item> items = mItems;
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.tick < b.tick; });

    std::vector<uint8_t> track;
    int64_t now = 0;
    for (const Item& item : items) {
        PutVariableLength(&track, uint32_t(item.tick - now));
        track.insert(track.end(), item.bytes.begin(), item.bytes.end());
        now = item.tick;
    }
    PutVariableLength(&track, uint32_t(std::max(mEndTick, now) - now));
    track.push_back(0xFF);
    track.push_back(0x2F);
    track.push_back(0x00);

    std::vector<uint8_t> file = {'M', 'T', 'h', 'd'};
    PutBigEndian(&file, 6, 4);
    PutBigEndian(&file, 0, 2);  // type 0
    PutBigEndian(&file, 1, 2);  // one track
    PutBigEndian(&file, MIDI_FILE_TICKS_PER_QUARTER, 2);
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    PutBigEndian(&file, uint32_t(track.size()), 4);
    file.insert(file.end(), track.begin(), track.end());
    return file;
}
