// "tarvo-host play PLUGIN [options]": runs the plug-in through a scripted
// timeline and reports what it did.
#pragma once

#include "HostCommand.h"

class HostSession;
struct PlayOptions;

class PlayCommand : public HostCommand {
public:
    const char* Name() const override { return "play"; }
    const char* Synopsis() const override { return "play PLUGIN [options]"; }
    int Run(const std::vector<std::string>& args) override;
};

// Runs a loaded, not yet opened plug-in as "play" does, from effOpen to
// effClose and the unloading of its module, then writes the files the
// options name. Returns an EExitCode; *report is the JSON summary on
// success.
int RunPlay(HostSession* session, const PlayOptions& options, std::string* report);

// Lines of the --events and --automation files.
std::string FormatEventLine(int64_t samplePosition, int status, int data1, int data2);
std::string FormatAutomationLine(int64_t block, int32_t index, float value);
