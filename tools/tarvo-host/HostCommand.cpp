#include "HostCommand.h"

#include <cstdio>

void ReportError(const std::string& message) { std::fprintf(stderr, "tarvo-host: %s\n", message.c_str()); }

void ReportWarning(const std::string& message)
{
    std::fprintf(stderr, "tarvo-host: warning: %s\n", message.c_str());
}
