// Writes the MIDI a plug-in sent as a Standard MIDI File: type 0, one
// track, 960 ticks per quarter note, with tempo and time-signature meta
// events where they changed. Times are given in quarter notes; items at the
// same tick keep the order in which they were added.
#pragma once

#include <cstdint>
#include <vector>

const int MIDI_FILE_TICKS_PER_QUARTER = 960;

class MidiFileWriter {
public:
    void AddTempo(double quarter, double bpm);
    void AddTimeSignature(double quarter, int numerator, int denominator);
    // Channel messages keep their status and are written with as many data
    // bytes as they have; system common and real-time messages are written
    // as escapes (F7); a byte below 0x80, or a SysEx status, that cannot
    // stand alone is dropped.
    void AddMessage(double quarter, uint8_t status, uint8_t data1, uint8_t data2);
    // The track ends here, or at its last event if that is later.
    void SetEnd(double quarter) { mEndTick = TickOf(quarter); }

    std::vector<uint8_t> Build() const;

private:
    struct Item {
        int64_t tick;
        std::vector<uint8_t> bytes;  // everything after the delta time
    };
    static int64_t TickOf(double quarter);

    std::vector<Item> mItems;
    int64_t mEndTick = 0;
};
