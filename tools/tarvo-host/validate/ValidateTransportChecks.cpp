// The host's transport as hosts really drive it: start, stop, locate,
// tempo changes, no time information, a host that rounds ppqPos. After
// every stop no note may be left sounding.
#include "ValidateContext.h"
#include "ValidateRun.h"
#include "ValidateStimulus.h"

namespace {
const double RATE = 44100.0;
const int BLOCK = 256;

struct TransportRun {
    ValidateHost* host;
    std::vector<std::string>* failures;
    size_t first;
    bool sounded;

    void Play(double seconds, const std::string& phase)
    {
        RunSettings settings;
        settings.frames = int64_t(seconds * RATE);
        settings.blockSize = BLOCK;
        settings.maxBlock = BLOCK;
        RunResult result;
        RunBlocks(*host, settings, &result);
        sounded = sounded || result.sounded;
        for (const std::string& problem : result.problems) failures->push_back(phase + ": " + problem);
    }

    // Stopped for half a second; then every note must have ended.
    void StopAndCheck(const std::string& phase)
    {
        host->Transport().Stop();
        Play(0.5, phase + ", stopped");
        int64_t left = NotesLeftOn(EventsSince(*host, first, false));
        if (left > 0) failures->push_back("after " + phase + ": " + std::to_string(left) + " note(s) left sounding");
    }
};
}  // namespace

void RunTransportChecks(ValidateContext& context)
{
    ValidateReport& report = context.Report();
    report.Begin("transport");
    std::vector<std::string> failures;
    std::string error;
    std::unique_ptr<ValidateHost> host = context.NewInstance(RATE, BLOCK, &error);
    if (!host) {
        report.Fail("transport", error);
        return;
    }
    TransportRun run{host.get(), &failures, host->MidiEvents().size(), false};
    run.Play(2.0, "playing from the start");
    run.StopAndCheck("a stop");
    host->Transport().Locate(int64_t(20 * RATE));
    host->Transport().Play();
    run.Play(1.0, "playing after a locate while stopped");
    host->Transport().Locate(int64_t(5 * RATE));
    run.Play(1.0, "playing after a locate while playing");
    host->Transport().SetTempo(90.0);
    run.Play(1.0, "at 90 bpm");
    host->Transport().SetTempo(171.0);
    run.Play(1.0, "at 171 bpm");
    run.StopAndCheck("a stop after tempo changes");
    host->SetTimeProvided(false);
    host->Transport().Play();
    run.Play(1.0, "without time information");
    host->SetTimeProvided(true);
    run.Play(0.5, "with time information again");
    run.StopAndCheck("a stop after playing without time information");
    int64_t events = int64_t(host->MidiEvents().size() - run.first);

    // A host that reports ppqPos rounded to 1/16 quarter.
    std::unique_ptr<ValidateHost> rounding = context.NewInstance(RATE, BLOCK, &error);
    if (!rounding) {
        report.Fail("transport", error);
        return;
    }
    TransportSettings settings;
    settings.sampleRate = RATE;
    settings.ppqResolution = 16;
    rounding->SetTransport(settings);
    TransportRun rounded{rounding.get(), &failures, rounding->MidiEvents().size(), false};
    rounded.Play(3.0, "with ppqPos rounded");
    rounded.StopAndCheck("a stop with ppqPos rounded");
    events += int64_t(rounding->MidiEvents().size() - rounded.first);
    int64_t notes = host->NotesFed() + rounding->NotesFed();
    report.Comparison("transport", failures, events > 0 || run.sounded || rounded.sounded,
                      context.OutputFigures(events, notes),
                      std::string(ValidateStimulus::Describe(context.Stimulus())) +
                          "; start, stop, locates, tempo changes, no time information, rounded ppqPos");
}
