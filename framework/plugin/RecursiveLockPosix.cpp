#include "RecursiveLock.h"

#include <new>
#include <pthread.h>

static_assert(sizeof(pthread_mutex_t) <= 64, "mutex storage too small");

static pthread_mutex_t* Mutex(unsigned char* storage)
{
    return reinterpret_cast<pthread_mutex_t*>(storage);
}

RecursiveLock::RecursiveLock()
{
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(new (mStorage) pthread_mutex_t, &attributes);
    pthread_mutexattr_destroy(&attributes);
}

RecursiveLock::~RecursiveLock() { pthread_mutex_destroy(Mutex(mStorage)); }

void RecursiveLock::Enter() { pthread_mutex_lock(Mutex(mStorage)); }

bool RecursiveLock::TryEnter() { return pthread_mutex_trylock(Mutex(mStorage)) == 0; }

void RecursiveLock::Leave() { pthread_mutex_unlock(Mutex(mStorage)); }

RecursiveLock& CreationLock()
{
    // Created on the first call, destroyed when the module is unloaded.
    static RecursiveLock lock;
    return lock;
}
