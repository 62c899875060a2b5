// Real time: the allocations of the processing calls after warm-up, and the
// longest processing call, on a thread with an audio thread's priority.
#include <algorithm>
#include <thread>

#include "AllocationProbe.h"
#include "ThreadProbe.h"
#include "ValidateContext.h"
#include "ValidateRun.h"

namespace {
class CallMeter : public ProcessObserver {
public:
    void ProcessCallBegan() override
    {
        mAllocationsBefore = AllocationsCounted();
        WatchThreadAllocations(true);
        mStart = NowSeconds();
    }
    void ProcessCallEnded() override
    {
        double duration = NowSeconds() - mStart;
        WatchThreadAllocations(false);
        mAllocations += AllocationsCounted() - mAllocationsBefore;
        mLongest = std::max(mLongest, duration);
        ++mCalls;
    }

    int64_t mAllocations = 0;
    int64_t mCalls = 0;
    double mLongest = 0.0;

private:
    int64_t mAllocationsBefore = 0;
    double mStart = 0.0;
};
}  // namespace

void RunRealtimeChecks(ValidateContext& context)
{
    ValidateReport& report = context.Report();
    report.Begin("realtime-allocations");
    const double RATE = 48000.0;
    const int BLOCK = 64;
    std::string error;
    std::unique_ptr<ValidateHost> host = context.NewInstance(RATE, BLOCK, &error);
    if (!host) {
        report.Fail("realtime-allocations", error);
        return;
    }
    bool realtime = false;
    std::string why;
    bool counting = AllocationProbeAvailable(&why);
    CallMeter meter;
    // The measuring runs on a thread of its own with an audio thread's priority.
    std::thread audio([&] {
        realtime = MakeThreadRealtime();
        host->BindAudioThread();
        // The material is played once to warm up (pools grow to what it
        // needs), then again from the same state and position, measured.
        RunSettings settings;
        settings.frames = int64_t(RATE * (context.Level() >= 8 ? 8 : 4));
        settings.blockSize = BLOCK;
        settings.maxBlock = BLOCK;
        for (int pass = 0; pass < 2; ++pass) {
            SettleStopped(*host, BLOCK, EPrecision_Single);
            host->RestartStimulus();
            if (pass == 1) host->SetObserver(&meter);
            RunResult result;
            RunBlocks(*host, settings, &result);
            host->SetObserver(nullptr);
            host->Transport().Stop();
            if (!context.State().empty()) host->SetChunk(context.State());
            host->Transport().Locate(0);
        }
    });
    audio.join();
    if (!counting) {
        report.Skip("realtime-allocations", why);
    } else if (meter.mAllocations > 0) {
        report.Fail("realtime-allocations", "processing calls allocated while playing material again",
                    Count(meter.mAllocations, "allocations"));
    } else {
        report.Pass("realtime-allocations", Count(0, "allocations"),
                    std::to_string(meter.mCalls) + " calls of " + std::to_string(BLOCK) +
                        " frames, the material played a second time");
    }
    report.Begin("realtime-longest-call");
    double budget = BLOCK / RATE * context.Slowness();
    std::string detail =
        "blocks of " + std::to_string(BLOCK) + " frames at 48 kHz, budget " + FormatMilliseconds(budget);
    if (!realtime) {
        report.Pass("realtime-longest-call", Milliseconds(meter.mLongest),
                    detail + "; not judged: the system gave no real-time priority");
    } else if (meter.mLongest > budget) {
        report.Fail("realtime-longest-call", "a processing call took longer than its block lasts; " + detail,
                    Milliseconds(meter.mLongest));
    } else {
        report.Pass("realtime-longest-call", Milliseconds(meter.mLongest), detail);
    }
}
