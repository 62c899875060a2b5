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
    mutable std::mutex mGestureLock;
    std::map<int, int64_t> mOpenGestures;
    GestureCounts mGestures;
};

// Seconds since an arbitrary start, monotonic.
inline double NowSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
