// "tarvo-host info PLUGIN": the plug-in's identity, programs and parameters
// as one JSON object on standard output.
#pragma once

#include "session/HostCommand.h"

class HostSession;

class InfoCommand : public HostCommand {
public:
    const char* Name() const override { return "info"; }
    const char* Synopsis() const override { return "info PLUGIN"; }
    std::string OptionsHelp() const override
    {
        return "  (none) PLUGIN's identity, programs and parameters as one JSON object\n";
    }
    int Run(const std::vector<std::string>& args) override;
};

// The report of an opened effect (the text printed by "info").
std::string DescribePlugin(HostSession* session);
