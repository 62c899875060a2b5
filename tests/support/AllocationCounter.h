// Counts the allocations of the test program that links
// AllocationCounter.cpp, which replaces every form of the global operator
// new and delete. A test reads the count before and after the work that
// must not allocate (the audio thread's, once its pools are warm) and
// expects no difference. Allocations of every thread count.
#pragma once

long AllocationCount();

// From now on, the allocations after the next `allowed` ones fail (nothrow
// forms return null, the others throw), until AllowAllAllocations. For
// tests of what the code does when memory runs out.
void FailAllocationsAfter(long allowed);
void AllowAllAllocations();
