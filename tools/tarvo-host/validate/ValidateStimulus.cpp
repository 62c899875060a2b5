#include "ValidateStimulus.h"

#include <algorithm>
#include <cmath>

namespace {
struct PhraseNote {
    int64_t on;
    int64_t off;
    uint8_t key;
    uint8_t velocity;
};

// Overlapping notes across the keyboard, starting and ending on frames
// next to the boundaries of blocks of 1, 7, 64, 512 and 4096 frames; every
// note ends within the period.
const PhraseNote PHRASE[] = {
    {0, 20000, 36, 100},   {1, 4095, 48, 90},       {7, 513, 60, 110},       {63, 8191, 64, 80},
    {64, 4096, 67, 70},    {511, 12000, 72, 96},    {512, 1023, 79, 60},     {4097, 9000, 84, 120},
    {7000, 7001, 96, 127}, {16383, 30000, 55, 127}, {16384, 24577, 108, 40}, {20001, 32767, 43, 88},
};
const int PHRASE_NOTES = int(sizeof(PHRASE) / sizeof(PHRASE[0]));
const uint8_t NOTE_ON = 0x90;
const uint8_t NOTE_OFF = 0x80;
const uint8_t RELEASE_VELOCITY = 64;
const double PI = 3.14159265358979323846;

void AddWithin(int64_t start, int frames, int64_t at, uint8_t status, uint8_t key, uint8_t velocity,
               std::vector<VstMidiEvent>* events)
{
    int64_t period = ValidateStimulus::PERIOD;
    // Every repetition of the phrase that puts this frame in the block.
    for (int64_t cycle = start / period; cycle * period + at < start + frames; ++cycle) {
        int64_t frame = cycle * period + at;
        if (frame >= start) events->push_back(MakeMidiEvent(int32_t(frame - start), status, key, velocity));
    }
}
}  // namespace

void ValidateStimulus::NotesWithin(int64_t start, int frames, std::vector<VstMidiEvent>* events)
{
    events->clear();
    for (const PhraseNote& note : PHRASE) {
        AddWithin(start, frames, note.on, NOTE_ON, note.key, note.velocity, events);
        AddWithin(start, frames, note.off, NOTE_OFF, note.key, RELEASE_VELOCITY, events);
    }
    // In time order; at one frame, note-offs first.
    std::stable_sort(events->begin(), events->end(), [](const VstMidiEvent& a, const VstMidiEvent& b) {
        if (a.deltaFrames != b.deltaFrames) return a.deltaFrames < b.deltaFrames;
        return uint8_t(a.midiData[0]) < uint8_t(b.midiData[0]);
    });
}

int64_t ValidateStimulus::NotesBefore(int64_t frames)
{
    int64_t count = (frames / PERIOD) * PHRASE_NOTES;
    for (const PhraseNote& note : PHRASE) {
        if (note.on < frames % PERIOD) ++count;
    }
    return count;
}

double ValidateStimulus::SignalSample(int channel, int64_t frame)
{
    double position = double(frame % PERIOD);
    double tone = 0.4 * std::sin(2.0 * PI * position / (100.0 + 7.0 * channel));
    double swell = 0.5 - 0.5 * std::cos(2.0 * PI * position / double(PERIOD));
    double upper = 0.3 * swell * std::sin(2.0 * PI * position * 3.0 / 100.0);
    double click = frame % 4096 == 0 ? 0.2 : 0.0;
    return tone + upper + click;
}

const char* ValidateStimulus::Describe(EStimulus stimulus)
{
    switch (stimulus) {
    case EStimulus_Notes:
        return "the validator's phrase of overlapping notes";
    case EStimulus_Signal:
        return "the validator's test signal on the inputs";
    case EStimulus_None:
        break;
    }
    return "no input: a MIDI generator, what it sends is its own";
}
