// The host side of "tarvo-host validate": a HostSession that also counts
// the gestures a plug-in's editor begins and ends, and lets a check watch
// every processing call (its time, whether it blocked, what it allocated)
// without the host's own work in the callback counting.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "session/HostSession.h"
#include "ValidateStimulus.h"

// Told on the processing thread around every processing call.
class ProcessObserver {
public:
    virtual ~ProcessObserver() {}
    virtual void ProcessCallBegan() = 0;
    virtual void ProcessCallEnded() = 0;
};

struct GestureCounts {
    int64_t begun = 0;
    int64_t ended = 0;
    // Ends without a begin, and begins still open, over all parameters.
    int64_t unmatchedEnds = 0;
    int64_t open = 0;
};

class ValidateHost : public HostSession {
public:
    ValidateHost();
    ~ValidateHost() override;

    // Loads the module at path and opens the effect as a host would:
    // effOpen, the sample rate, the block size, effMainsChanged 1.
    bool Start(const std::string& path, double sampleRate, int blockSize, std::string* error);
    void SetObserver(ProcessObserver* observer) { mpObserver = observer; }
    // What the blocks run through FeedStimulus get: the phrase's notes, the
    // test signal or nothing. The phrase or signal goes on from block to
    // block until restarted.
    void SetStimulus(EStimulus stimulus) { mStimulus = stimulus; }
    EStimulus Stimulus() const { return mStimulus; }
    void RestartStimulus() { mStimulusFrame = 0; }
    // Before a block of that many frames: its notes (effProcessEvents) or
    // its signal, written into the inputs when the block is processed.
    void FeedStimulus(int frames);
    // The note-ons fed so far.
    int64_t NotesFed() const { return mNotesFed; }
    GestureCounts Gestures() const;

    // Calls that wrap an entry point in a check for C++ exceptions crossing
    // it (possible where host and plug-in share a C++ runtime); *crossed is
    // set when one did.
    VstIntPtr GuardedDispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt, bool* crossed);

protected:
    VstIntPtr OnHostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) override;
    void OnProcessCall(bool starting) override;

private:
    ProcessObserver* mpObserver = nullptr;
    EStimulus mStimulus = EStimulus_None;
    int64_t mStimulusFrame = 0;
    int64_t mNotesFed = 0;
    // The signal's frames for the block about to be processed.
    int64_t mSignalStart = 0;
    int mSignalFrames = 0;
    std::vector<VstMidiEvent> mStimulusEvents;
    mutable std::mutex mGestureLock;
    std::map<int, int64_t> mOpenGestures;
    GestureCounts mGestures;
};

// Seconds since an arbitrary start, monotonic.
inline double NowSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
