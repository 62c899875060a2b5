// "tarvo-host editor PLUGIN [options]": opens the plug-in's editor in a real
// window, drives it with mouse and key input through the window system,
// optionally processes on an audio thread meanwhile, captures the window's
// pixels and reports what the plug-in did.
#pragma once

#include "session/HostCommand.h"

class HostSession;
struct EditorOptions;

class EditorCommand : public HostCommand {
public:
    const char* Name() const override { return "editor"; }
    const char* Synopsis() const override { return "editor PLUGIN [editor options] [play options]"; }
    std::string OptionsHelp() const override;
    int Run(const std::vector<std::string>& args) override;
};

// Runs a loaded, not yet opened plug-in with its editor open, from effOpen
// to effClose. Returns an EExitCode; *report is the JSON summary, also when
// the editor could not be opened (then "opened" is false and the result is
// a failure).
int RunEditor(HostSession* session, const EditorOptions& options, std::string* report);
