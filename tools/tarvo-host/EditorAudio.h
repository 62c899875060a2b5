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
    // The thread has run all its blocks, or stopped on an error.
    bool Finished() const { return mFinished.load(); }
    // After Stop: false with the run's error when a block failed.
    bool Succeeded(std::string* error) const;

private:
    void Run();
    // Waits until the real-time moment at which the block after `frames`
    // processed frames is due; false when Stop came first.
    bool WaitUntilDue(int64_t frames, std::chrono::steady_clock::time_point start);

    HostSession* mpSession;
    PlayRun* mpRun;
    int64_t mBlocks;
    double mFramesPerSecond;
    std::thread mThread;
    std::mutex mLock;
    std::condition_variable mWake;
    bool mStopRequested = false;  // under mLock
    std::atomic<bool> mFinished{false};
    bool mFailed = false;  // written by the thread, read after it ended
};
