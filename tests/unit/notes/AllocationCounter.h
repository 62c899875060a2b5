// Counts the calls of the global operator new in this test program, so that
// tests can show that scheduling stops allocating once the pool is warm.
#pragma once

long AllocationCount();
