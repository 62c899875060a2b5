#include "AllocationProbe.h"

// A Windows plug-in allocates through its own C runtime's heap, which a host
// cannot interpose without patching that runtime's code.
bool AllocationProbeAvailable(std::string* why)
{
    *why = "allocations cannot be counted on Windows (the plug-in's C runtime heap is not interposable)";
    return false;
}

void RestartWithAllocationProbe(const std::vector<std::string>&) {}

void WatchThreadAllocations(bool) {}

int64_t AllocationsCounted() { return 0; }
