// The plug-in lock: recursive, one per plug-in instance. Every entry from the
// host holds it, so block processing and editor actions never overlap.
// One implementation per platform (a critical section on Windows, a
// recursive pthread mutex elsewhere).
#pragma once

class RecursiveLock {
public:
    RecursiveLock();
    virtual ~RecursiveLock();
    void Enter();
    // Takes the lock only when that needs no waiting (also when this thread
    // holds it already); true when taken. The editor's own thread uses it so
    // that it never waits for a lock the host's thread may hold while it
    // closes the editor and waits for that thread.
    bool TryEnter();
    void Leave();

private:
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;

    // Large enough for a CRITICAL_SECTION or a pthread_mutex_t on every target.
    alignas(8) unsigned char mStorage[64];
};

class ScopedLock {
public:
    explicit ScopedLock(RecursiveLock& lock) : mLock(lock) { mLock.Enter(); }
    ~ScopedLock() { mLock.Leave(); }

private:
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
    RecursiveLock& mLock;
};
