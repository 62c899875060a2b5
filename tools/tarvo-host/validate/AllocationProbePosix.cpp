#include "AllocationProbe.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace {
const char* const PROBE_LIBRARY = "libtarvo-alloc-probe.so";
// Set in the restarted program so that it never restarts again.
const char* const RESTARTED_VARIABLE = "TARVO_ALLOC_PROBE_RESTARTED";

typedef void (*WatchProc)(int);
typedef long long (*CountProc)();

WatchProc Watch() { return reinterpret_cast<WatchProc>(dlsym(RTLD_DEFAULT, "tarvo_alloc_probe_watch")); }
CountProc Count() { return reinterpret_cast<CountProc>(dlsym(RTLD_DEFAULT, "tarvo_alloc_probe_count")); }

std::string ExecutablePath()
{
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) return std::string();
    path[length] = '\0';
    return path;
}

std::string ProbePath()
{
    std::string executable = ExecutablePath();
    size_t slash = executable.find_last_of('/');
    if (slash == std::string::npos) return std::string();
    return executable.substr(0, slash + 1) + PROBE_LIBRARY;
}
}  // namespace

bool AllocationProbeAvailable(std::string* why)
{
    if (Watch() && Count()) return true;
    *why = std::string(PROBE_LIBRARY) + " is not preloaded (not found beside tarvo-host, or the preload failed)";
    return false;
}

void RestartWithAllocationProbe(const std::vector<std::string>& arguments)
{
    if (Watch() || std::getenv(RESTARTED_VARIABLE)) return;
    std::string probe = ProbePath();
    std::string executable = ExecutablePath();
    if (probe.empty() || executable.empty() || access(probe.c_str(), R_OK) != 0) return;
    const char* current = std::getenv("LD_PRELOAD");
    std::string preload = probe + (current && current[0] ? std::string(":") + current : std::string());
    setenv("LD_PRELOAD", preload.c_str(), 1);
    setenv(RESTARTED_VARIABLE, "1", 1);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(executable.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(executable.c_str(), argv.data());
    // Still here: run without the probe.
    unsetenv(RESTARTED_VARIABLE);
}

void WatchThreadAllocations(bool on)
{
    static WatchProc watch = Watch();
    if (watch) watch(on ? 1 : 0);
}

int64_t AllocationsCounted()
{
    static CountProc count = Count();
    return count ? int64_t(count()) : 0;
}
