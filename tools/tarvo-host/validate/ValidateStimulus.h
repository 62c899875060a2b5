// What the validator feeds a plug-in while it processes, by its role: an
// instrument gets a fixed phrase of MIDI notes, an effect a fixed test
// signal on its inputs, a MIDI generator (one that announces
// "sendVstMidiEvent") nothing, so that what it sends is its own and never an
// echo of the validator's input. Both repeat every PERIOD frames, on every
// platform and at every sample rate the same.
#pragma once

#include <cstdint>
#include <vector>

#include "session/HostSession.h"

enum EStimulus {
    EStimulus_None,
    EStimulus_Notes,
    EStimulus_Signal
};

class ValidateStimulus {
public:
    static const int64_t PERIOD = 32768;

    // The phrase's note-ons and note-offs whose frames lie in
    // [start, start + frames), sorted, with deltaFrames from start.
    static void NotesWithin(int64_t start, int frames, std::vector<VstMidiEvent>* events);
    // How many note-ons the phrase plays in [0, frames).
    static int64_t NotesBefore(int64_t frames);
    // The test signal's sample of one input channel at a frame: a tone, a
    // second one an octave and a fifth up fading in and out, and a click
    // every 4096 frames, within -0.9..0.9.
    static double SignalSample(int channel, int64_t frame);
    // What the phrase or signal is, for a check's detail.
    static const char* Describe(EStimulus stimulus);
};
