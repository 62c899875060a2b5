#include "HostCommand.h"

#include <cstdio>

#include "HostSession.h"

void ReportError(const std::string& message) { std::fprintf(stderr, "tarvo-host: %s\n", message.c_str()); }

void ReportWarning(const std::string& message) { std::fprintf(stderr, "tarvo-host: warning: %s\n", message.c_str()); }

int ReportUsageError(const std::string& error, const std::string& usage)
{
    ReportError(error);
    ReportError("usage: tarvo-host " + usage + "; see tarvo-host --help");
    return EExitCode_Usage;
}

bool LoadPlugin(HostSession* session, const std::string& path)
{
    std::string error;
    if (session->LoadFile(path, &error)) return true;
    ReportError(error);
    return false;
}

void PrintReport(const std::string& report)
{
    std::fwrite(report.data(), 1, report.size(), stdout);
    std::fflush(stdout);
}
