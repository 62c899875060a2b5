// The command line of "tarvo-host render PLUGIN --synth SYNTH --wav OUT.wav
// [options]": the render's own options and every option of "play".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "play/PlayOptions.h"
#include "session/WavFileWriter.h"

const double DEFAULT_TAIL_SECONDS = 2.0;
const double MAX_TAIL_SECONDS = 3600.0;
const double MIN_GAIN_DB = -120.0;
const double MAX_GAIN_DB = 60.0;

struct RenderOptions {
    // How PLUGIN is run, exactly as by "play". Without PLUGIN, --midi-in
    // names a Standard MIDI File that SYNTH plays alone.
    PlayOptions play;
    std::string midiInPath;
    std::string synthPath;
    // --synth-param INDEX=VALUE in command-line order.
    std::vector<ParamSetting> synthParams;
    std::string synthChunkPath;
    std::string wavPath;
    EWavFormat wavFormat = EWavFormat_Pcm24;
    double tailSeconds = DEFAULT_TAIL_SECONDS;
    // Applied to SYNTH's output before it is written.
    double gainDb = 0.0;

    // The tail in frames at the run's sample rate.
    int64_t TailFrames() const;
    double LinearGain() const;
    // play's output files and the WAV.
    std::vector<OutputFile> OutputFiles() const;
};

// Parses the arguments after "render". False with *error set on a bad
// command line (also one without --synth or --wav, or with --midi-in and
// options of the generator plug-in); an unreadable --script sets
// options->play.unusableInput.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions* options, std::string* error);

// The render's own options for the usage text.
const char* RenderOptionsHelp();
