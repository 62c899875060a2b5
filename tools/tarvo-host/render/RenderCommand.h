// "tarvo-host render PLUGIN --synth SYNTH --wav OUT.wav [options]": runs
// PLUGIN as "play" does and plays the MIDI it sends through the instrument
// SYNTH, sample-accurately, into a WAV file.
#pragma once

#include <string>
#include <vector>

#include "session/HostCommand.h"

class HostSession;
class MidiFileReader;
struct RenderOptions;

class RenderCommand : public HostCommand {
public:
    const char* Name() const override { return "render"; }
    const char* Synopsis() const override
    {
        return "render PLUGIN|--midi-in FILE.mid --synth SYNTH --wav OUT.wav [render options] [play options]";
    }
    std::string OptionsHelp() const override;
    int Run(const std::vector<std::string>& args) override;
};

// Runs the loaded, not yet opened PLUGIN and SYNTH from effOpen to effClose,
// then writes the files the options name, the WAV last. Returns an
// EExitCode; *report is the JSON summary on success.
int RunRender(HostSession* plugin, HostSession* synth, const RenderOptions& options, std::string* report);
// Plays the channel messages of a MIDI file through the loaded, not yet
// opened SYNTH alone, each at its sample, into the WAV file (--midi-in).
int RunMidiFileRender(const MidiFileReader& file, HostSession* synth, const RenderOptions& options,
                      std::string* report);
