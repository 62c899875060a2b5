// What the validator needs to know of its own threads: whether the audio
// thread blocked during a call (it waited for a lock or anything else,
// rather than being preempted), and a real-time priority for it where the
// system grants one.
#pragma once

#include <cstdint>

// The calling thread's count of voluntary context switches (times it
// blocked); -1 where the platform does not tell.
int64_t ThreadBlockCount();
// Gives the calling thread the priority of an audio thread; false when the
// system refuses.
bool MakeThreadRealtime();
// Limits the process's address space to its current size plus `extra`
// bytes, so that an absurd allocation fails instead of taking the
// machine's memory; returns a token for RestoreAddressSpace (0: no limit
// was set).
int64_t LimitAddressSpace(int64_t extra);
void RestoreAddressSpace(int64_t token);
