#include "ThreadProbe.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

#include <cstdio>

int64_t ThreadBlockCount()
{
    struct rusage usage;
    if (getrusage(RUSAGE_THREAD, &usage) != 0) return -1;
    return int64_t(usage.ru_nvcsw);
}

bool MakeThreadRealtime()
{
    sched_param parameters = {};
    parameters.sched_priority = sched_get_priority_min(SCHED_FIFO) + 10;
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameters) == 0;
}

namespace {
// The process's virtual size in bytes, from /proc/self/statm.
int64_t VirtualSize()
{
    FILE* file = std::fopen("/proc/self/statm", "r");
    if (!file) return -1;
    long long pages = -1;
    int read = std::fscanf(file, "%lld", &pages);
    std::fclose(file);
    return read == 1 ? int64_t(pages) * 4096 : -1;
}
struct rlimit gSavedLimit;
}  // namespace

int64_t LimitAddressSpace(int64_t extra)
{
    int64_t size = VirtualSize();
    if (size < 0 || getrlimit(RLIMIT_AS, &gSavedLimit) != 0) return 0;
    struct rlimit limit = gSavedLimit;
    rlim_t wanted = rlim_t(size + extra);
    if (limit.rlim_max != RLIM_INFINITY && wanted > limit.rlim_max) wanted = limit.rlim_max;
    limit.rlim_cur = wanted;
    return setrlimit(RLIMIT_AS, &limit) == 0 ? 1 : 0;
}

void RestoreAddressSpace(int64_t token)
{
    if (token) setrlimit(RLIMIT_AS, &gSavedLimit);
}
