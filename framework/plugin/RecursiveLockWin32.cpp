#include "RecursiveLock.h"

#include <new>
#include <windows.h>

static_assert(sizeof(CRITICAL_SECTION) <= 64, "critical section storage too small");

static CRITICAL_SECTION* Section(unsigned char* storage) { return reinterpret_cast<CRITICAL_SECTION*>(storage); }

RecursiveLock::RecursiveLock() { InitializeCriticalSection(new (mStorage) CRITICAL_SECTION); }

RecursiveLock::~RecursiveLock() { DeleteCriticalSection(Section(mStorage)); }

void RecursiveLock::Enter() { EnterCriticalSection(Section(mStorage)); }

bool RecursiveLock::TryEnter() { return TryEnterCriticalSection(Section(mStorage)) != 0; }

void RecursiveLock::Leave() { LeaveCriticalSection(Section(mStorage)); }
