// What every group of "tarvo-host validate" checks shares: the options, the
// report, the state to load, fresh plug-in instances, the seeded random
// numbers and the figures' formatting.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ValidateHost.h"
#include "ValidateReport.h"

struct ValidateOptions {
    std::string plugin;
    int level = 5;
    uint32_t seed = 1;
    bool threads = false;
    bool editor = false;
    std::string jsonPath;
    std::string chunkPath;
};

// The buffers the validator hands to text queries: parameter texts get
// PARAM_TEXT_BYTES (beyond the published 8, which no plug-in keeps), the
// others their published sizes.
const int PARAM_TEXT_BYTES = 64;

class ValidateContext {
public:
    explicit ValidateContext(const ValidateOptions& options) : mOptions(options), mRandomState(options.seed) {}
    virtual ~ValidateContext() {}

    const ValidateOptions& Options() const { return mOptions; }
    ValidateReport& Report() { return mReport; }
    int Level() const { return mOptions.level; }
    // The state loaded into instances before the checks that process
    // (--chunk); empty for the plug-in's defaults.
    const std::vector<uint8_t>& State() const { return mState; }
    void SetState(const std::vector<uint8_t>& state) { mState = state; }
    // How much slower than a native run this process runs (1 natively; more
    // under emulation): time limits are multiplied by it.
    double Slowness() const { return mSlowness; }
    void SetSlowness(double slowness) { mSlowness = slowness; }
    // What instances get while they process, by the plug-in's role.
    EStimulus Stimulus() const { return mStimulus; }
    void SetStimulus(EStimulus stimulus) { mStimulus = stimulus; }
    // The figures of a check that compares output: the MIDI events and, for
    // an instrument, the notes it was fed.
    CheckFigures OutputFigures(int64_t events, int64_t notesFed) const;
    // Whether the editor can be shown here; else why not (no X display).
    bool EditorUsable(std::string* why) const
    {
        *why = mEditorUnusable;
        return mEditorUnusable.empty();
    }
    void SetEditorUnusable(const std::string& why) { mEditorUnusable = why; }

    // Keeps the module loaded from now on, as a host does between the
    // instances it creates: later instances measure the plug-in warm.
    void KeepModuleLoaded();
    // A fresh instance, opened and active, with the --chunk state loaded
    // and the run's stimulus;
    // null with *error when the plug-in cannot be loaded.
    std::unique_ptr<ValidateHost> NewInstance(double sampleRate, int blockSize, std::string* error,
                                              bool loadState = true);
    // The next number of the run's seeded sequence.
    uint32_t Random();
    // A uniformly chosen whole number in [low, high].
    int RandomBetween(int low, int high);

private:
    ValidateOptions mOptions;
    ValidateReport mReport;
    std::vector<uint8_t> mState;
    std::unique_ptr<ValidateHost> mpKeeper;
    double mSlowness = 1.0;
    EStimulus mStimulus = EStimulus_None;
    std::string mEditorUnusable;
    uint32_t mRandomState;
};

// "1.234 ms", for the details of a check.
std::string FormatMilliseconds(double seconds);

// The groups of checks, in the order they run.
void RunInstanceChecks(ValidateContext& context);
void RunParameterChecks(ValidateContext& context);
void RunStateChecks(ValidateContext& context);
void RunProcessingChecks(ValidateContext& context);
void RunTransportChecks(ValidateContext& context);
void RunRealtimeChecks(ValidateContext& context);
void RunThreadChecks(ValidateContext& context);
