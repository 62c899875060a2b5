// Counting a plug-in's allocations from inside the host process, where the
// platform allows it: on Linux the small library libtarvo-alloc-probe.so
// (built beside tarvo-host) is preloaded and replaces the C library's
// allocator; elsewhere counting is not available.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Whether the allocator is interposed in this process; *why says why not.
bool AllocationProbeAvailable(std::string* why);
// Starts this program again with the probe preloaded and the same
// arguments, when the platform allows and it is not loaded yet; returns
// only when that is not possible.
void RestartWithAllocationProbe(const std::vector<std::string>& arguments);
// While on, the calling thread's allocations are counted.
void WatchThreadAllocations(bool on);
int64_t AllocationsCounted();
