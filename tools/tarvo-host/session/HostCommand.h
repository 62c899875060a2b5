// A subcommand of tarvo-host ("info", "play", ...). Each one lives in its
// own source and works through a HostSession.
#pragma once

#include <string>
#include <utility>
#include <vector>

class HostSession;

// The exit status, the same in every subcommand.
enum EExitCode {
    EExitCode_Success = 0,
    EExitCode_Failure = 1,  // the work ran and something failed (for validate: a check)
    EExitCode_Usage = 2,    // the command line is wrong
    EExitCode_Unusable = 3  // the plug-in or another input could not be used at all
};

class HostCommand {
public:
    virtual ~HostCommand() {}
    virtual const char* Name() const = 0;
    // One line for the program's usage text.
    virtual const char* Synopsis() const = 0;
    // The command's options for "tarvo-host COMMAND --help" (none by
    // default).
    virtual std::string OptionsHelp() const { return std::string(); }
    // The arguments after the subcommand's name; returns an EExitCode.
    virtual int Run(const std::vector<std::string>& args) = 0;
};

// The exit status lines of every help text.
const char* ExitStatusHelp();
// "tarvo-host COMMAND --help": synopsis, options and exit status.
void PrintCommandHelp(const HostCommand& command);

// Writes "tarvo-host: MESSAGE" to standard error.
void ReportError(const std::string& message);
void ReportWarning(const std::string& message);

// What the commands share. A wrong command line: the error, then where to
// find the usage ("usage: tarvo-host USAGE; see tarvo-host COMMAND --help",
// COMMAND the first word of USAGE); returns EExitCode_Usage.
int ReportUsageError(const std::string& error, const std::string& usage);
// An input that cannot be used: the error; returns EExitCode_Unusable.
int ReportUnusable(const std::string& error);
// Loads the plug-in's module, reporting why it could not be loaded.
bool LoadPlugin(HostSession* session, const std::string& path);
// An output option and the file it names.
using OutputFile = std::pair<std::string, std::string>;
// Checks, before any work starts, that every named output file can be
// written (nothing is left behind by the check); reports the first that
// cannot.
bool CheckOutputFiles(const std::vector<OutputFile>& files);
// The command's report on standard output, written out at once.
void PrintReport(const std::string& report);
