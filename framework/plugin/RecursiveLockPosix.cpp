#include "RecursiveLock.h"

#include <new>
#include <pthread.h>

static_assert(sizeof(pthread_mutex_t) <= 64, "mutex storage too small");

static pthread_mutex_t* Mutex(unsigned char* storage) { return reinterpret_cast<pthread_mutex_t*>(storage); }

RecursiveLock::RecursiveLock()
{
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    // Priority inheritance: a host's real-time audio thread waiting for a
    // user-interface thread that holds the lock lends it its priority, so
    // the wait lasts as long as the hold and not as long as the machine's
    // other work keeps that thread from running.
    pthread_mutexattr_setprotocol(&attributes, PTHREAD_PRIO_INHERIT);
    pthread_mutex_t* pMutex = new (mStorage) pthread_mutex_t;
    if (pthread_mutex_init(pMutex, &attributes) != 0) {
        pthread_mutexattr_setprotocol(&attributes, PTHREAD_PRIO_NONE);
        pthread_mutex_init(pMutex, &attributes);
    }
    pthread_mutexattr_destroy(&attributes);
}

RecursiveLock::~RecursiveLock() { pthread_mutex_destroy(Mutex(mStorage)); }

void RecursiveLock::Enter() { pthread_mutex_lock(Mutex(mStorage)); }

bool RecursiveLock::TryEnter() { return pthread_mutex_trylock(Mutex(mStorage)) == 0; }

void RecursiveLock::Leave() { pthread_mutex_unlock(Mutex(mStorage)); }
