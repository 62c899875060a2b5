#include "ThreadProbe.h"

#include <windows.h>

int64_t ThreadBlockCount() { return -1; }

bool MakeThreadRealtime() { return SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL) != 0; }

// A 64-bit Windows process's address space cannot be capped from inside;
// a 32-bit one cannot hold an absurd allocation anyway.
int64_t LimitAddressSpace(int64_t) { return 0; }

void RestoreAddressSpace(int64_t) {}
