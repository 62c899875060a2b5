#include "CreationLock.h"

RecursiveLock& CreationLock()
{
    // Created on the first call, destroyed when the module is unloaded.
    static RecursiveLock lock;
    return lock;
}
