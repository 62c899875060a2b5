#include "HostCommand.h"

#include <cstdio>

#include "HostSession.h"
#include "HostText.h"

const char* ExitStatusHelp()
{
    return "Exit status: 0 success; 1 the work ran and failed (validate: a check failed);\n"
           "2 bad command line; 3 the plug-in or another input could not be used at all\n"
           "(missing, not a plug-in, refused to open, an input file that cannot be read, an\n"
           "output file that cannot be written), reported before any work starts.\n";
}

void PrintCommandHelp(const HostCommand& command)
{
    std::printf("usage: tarvo-host %s\noptions:\n%s%s", command.Synopsis(), command.OptionsHelp().c_str(),
                ExitStatusHelp());
}

void ReportError(const std::string& message) { std::fprintf(stderr, "tarvo-host: %s\n", message.c_str()); }

void ReportWarning(const std::string& message) { std::fprintf(stderr, "tarvo-host: warning: %s\n", message.c_str()); }

int ReportUsageError(const std::string& error, const std::string& usage)
{
    ReportError(error);
    const std::string command = usage.substr(0, usage.find(' '));
    ReportError("usage: tarvo-host " + usage + "; see tarvo-host " + command + " --help");
    return EExitCode_Usage;
}

int ReportUnusable(const std::string& error)
{
    ReportError(error);
    return EExitCode_Unusable;
}

bool LoadPlugin(HostSession* session, const std::string& path)
{
    std::string error;
    if (session->LoadFile(path, &error)) return true;
    ReportError(error);
    return false;
}

bool CheckOutputFiles(const std::vector<OutputFile>& files)
{
    for (const OutputFile& file : files) {
        std::string error;
        if (file.second.empty() || CanWriteFile(file.second, &error)) continue;
        ReportError(file.first + ": " + error);
        return false;
    }
    return true;
}

void PrintReport(const std::string& report)
{
    std::fwrite(report.data(), 1, report.size(), stdout);
    std::fflush(stdout);
}
