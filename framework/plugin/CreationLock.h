// The process-wide lock that serialises instance creation in the entry
// point; created on first use and kept until the module is unloaded.
#pragma once

#include "RecursiveLock.h"

RecursiveLock& CreationLock();
