// tarvo-host validate PLUGIN [--level 1..10] [--seed N] [--threads]
//                            [--editor] [--json FILE] [--chunk FILE]
// Checks any VST 2 plug-in the way a demanding host would use it and prints
// one line per check; exits 1 when a check failed (or none ran), 3 when the
// plug-in or a file cannot be used at all.
#pragma once

#include "session/HostCommand.h"

// The options' help text for the usage.
const char* ValidateOptionsHelp();

class ValidateCommand : public HostCommand {
public:
    const char* Name() const override { return "validate"; }
    const char* Synopsis() const override;
    std::string OptionsHelp() const override { return ValidateOptionsHelp(); }
    int Run(const std::vector<std::string>& args) override;
};
