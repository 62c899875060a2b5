// The audio thread of "tarvo-host editor --play": it runs the play run's
// blocks while the editor is open on the main thread, as a host's audio
// thread does, paced at a multiple of real time.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class HostSession;
class PlayRun;

class EditorAudio {
public:
    // blocks < 0: until Stop. speed: processing pace as a multiple of real
    // time at that sample rate.
    EditorAudio(HostSession* session, PlayRun* run, int64_t blocks, double sampleRate, double speed);
    virtual ~EditorAudio();
    EditorAudio(const EditorAudio&) = delete;
    EditorAudio& operator=(const EditorAudio&) = delete;

    void Start();
    // Ends the thread after the block in progress and waits for it.
    void Stop();
    // Before Start: the thread waits after each of these block counts
    // (ascending) until Resume.
    void PauseAfter(const std::vector<int64_t>& blockCounts) { mPauses = blockCounts; }
    // The block count the thread waits at, or -1 while it runs.
    int64_t PausedAt();
    void Resume();
    // The thread has run all its blocks, or stopped on an error.
    bool Finished() const { return mFinished.load(); }
    // After Stop: false with the run's error when a block failed.
    bool Succeeded(std::string* error) const;

private:
    void Run();
    // Waits until the real-time moment at which the block after `frames`
    // processed frames is due; false when Stop came first.
    bool WaitUntilDue(int64_t frames, std::chrono::steady_clock::time_point start);
    // Waits at a pause point; false when Stop came first.
    bool PauseIfAsked(int64_t blocksRun, size_t* pNextPause);

    HostSession* mpSession;
    PlayRun* mpRun;
    int64_t mBlocks;
    double mFramesPerSecond;
    std::thread mThread;
    std::mutex mLock;
    std::condition_variable mWake;
    bool mStopRequested = false;  // under mLock
    std::vector<int64_t> mPauses;
    int64_t mPausedAt = -1;  // under mLock
    std::atomic<bool> mFinished{false};
    bool mFailed = false;  // written by the thread, read after it ended
};
