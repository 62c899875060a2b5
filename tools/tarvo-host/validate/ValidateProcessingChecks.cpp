// Processing: sample rates, block sizes and both precisions, with outputs
// written and finite, and the same MIDI events and the same audio whatever
// the blocks (an instrument plays the validator's phrase, an effect its
// signal); speaker arrangements with fewer outputs; an absurd block size.
#include <algorithm>

#include "ThreadProbe.h"
#include "ValidateContext.h"
#include "ValidateRun.h"
#include "ValidateStimulus.h"

namespace {
// 0: varying. The first size runs twice: the audio of two runs alike tells
// whether the plug-in's sound can be compared at all (one that plays noise
// from a random source cannot).
const int BLOCK_SIZES[] = {64, 64, 1, 7, 512, 4096, 0};
const size_t REPEATED_RUN = 1;
const int VARYING_MAXIMUM = 1024;

std::string BlockName(int size) { return size ? std::to_string(size) : std::string("varying"); }

void CheckRate(ValidateContext& context, double rate)
{
    ValidateReport& report = context.Report();
    std::string name = "process-" + std::to_string(int(rate));
    report.Begin(name);
    std::vector<std::string> failures;
    RunResult reference;
    bool haveReference = false;
    std::string referenceName;
    int64_t blocks = 0;
    int64_t notes = 0;
    bool produced = false;
    std::string unreproducible;
    for (EPrecision precision : {EPrecision_Single, EPrecision_Double}) {
        std::string error;
        // The audio is compared within one precision, the events across both.
        RunResult precisionReference;
        bool havePrecisionReference = false;
        bool reproducible = true;
        for (size_t runIndex = 0; runIndex < sizeof(BLOCK_SIZES) / sizeof(BLOCK_SIZES[0]); ++runIndex) {
            int size = BLOCK_SIZES[runIndex];
            int announced = size ? size : VARYING_MAXIMUM;
            std::unique_ptr<ValidateHost> host = context.NewInstance(rate, announced, &error);
            if (!host) {
                report.Fail(name, error);
                return;
            }
            if (precision == EPrecision_Double && !host->CanProcess(precision, &error)) break;
            RunSettings settings;
            settings.frames = int64_t(rate * 1.5);
            settings.blockSize = size;
            settings.maxBlock = announced;
            settings.precision = precision;
            settings.varySeed = context.Random();
            settings.keepAudio = true;
            SettleStopped(*host, announced, precision);
            RunResult result;
            RunBlocks(*host, settings, &result);
            blocks += result.blocks;
            notes = host->NotesFed();
            produced = produced || result.sounded || !result.events.empty();
            std::string run =
                std::string(precision == EPrecision_Double ? "double" : "single") + ", blocks of " + BlockName(size);
            for (const std::string& problem : result.problems) failures.push_back(run + ": " + problem);
            if (!haveReference) {
                reference.events = result.events;
                referenceName = run;
                haveReference = true;
            } else if (result.events != reference.events) {
                failures.push_back(run + ": " + std::to_string(result.events.size()) + " MIDI events differ from the " +
                                   std::to_string(reference.events.size()) + " of " + referenceName);
            }
            if (!havePrecisionReference) {
                precisionReference = std::move(result);
                havePrecisionReference = true;
            } else if (result.problems.empty() && reproducible) {
                std::string difference = CompareAudio(precisionReference, result);
                if (runIndex == REPEATED_RUN && !difference.empty()) {
                    reproducible = false;
                    unreproducible = "; the audio not compared: two runs alike differ (" + difference + ")";
                } else if (!difference.empty()) {
                    failures.push_back(run + ": " + difference + " against blocks of " + BlockName(BLOCK_SIZES[0]));
                }
            }
        }
    }
    report.Comparison(name, failures, produced, context.OutputFigures(int64_t(reference.events.size()), notes),
                      std::string(ValidateStimulus::Describe(context.Stimulus())) +
                          "; 1.5 s from a stopped start in blocks of 64 (twice), 1, 7, 512, 4096 and 1.." +
                          std::to_string(VARYING_MAXIMUM) + ", single and double precision, " + std::to_string(blocks) +
                          " blocks" + unreproducible);
}

void CheckSpeakerArrangement(ValidateContext& context)
{
    ValidateReport& report = context.Report();
    report.Begin("speaker-arrangement");
    std::string error;
    std::vector<std::string> failures;
    int tried = 0;
    for (int outputs : {1, 0}) {
        std::unique_ptr<ValidateHost> host = context.NewInstance(44100.0, 512, &error);
        if (!host) {
            report.Fail("speaker-arrangement", error);
            return;
        }
        if (host->Effect()->numOutputs <= outputs) continue;
        ++tried;
        VstSpeakerArrangement input = {};
        input.type = host->Effect()->numInputs == 1 ? kSpeakerArrMono : kSpeakerArrStereo;
        input.numChannels = host->Effect()->numInputs;
        VstSpeakerArrangement output = {};
        output.type = outputs == 1 ? kSpeakerArrMono : kSpeakerArrEmpty;
        output.numChannels = outputs;
        host->SetActive(false);
        VstIntPtr accepted = host->Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output);
        host->SetActive(true);
        for (EPrecision precision : {EPrecision_Single, EPrecision_Double}) {
            if (!host->CanProcess(precision, &error)) continue;
            RunSettings settings;
            settings.frames = 2048;
            settings.precision = precision;
            RunResult result;
            RunBlocks(*host, settings, &result);
            for (const std::string& problem : result.problems)
                failures.push_back(std::to_string(outputs) + " output(s) " + (accepted ? "accepted" : "refused") +
                                   ", " + (precision == EPrecision_Double ? "double" : "single") + ": " + problem);
        }
    }
    if (!tried) {
        report.Skip("speaker-arrangement", "the plug-in has no outputs to leave out");
        return;
    }
    report.Verdict("speaker-arrangement", failures, CheckFigures(),
                   "1 and 0 outputs announced; every buffer up to numOutputs written, single and double");
}

void CheckAbsurdBlockSize(ValidateContext& context)
{
    ValidateReport& report = context.Report();
    report.Begin("block-size-absurd");
    std::string error;
    const int PREVIOUS = 512;
    std::unique_ptr<ValidateHost> host = context.NewInstance(44100.0, PREVIOUS, &error);
    if (!host) {
        report.Fail("block-size-absurd", error);
        return;
    }
    std::vector<std::string> failures;
    bool crossed = false;
    host->SetActive(false);
    // Where it can, the validator caps the address space first, so that the
    // allocation fails instead of taking the machine's memory.
    int64_t limit = LimitAddressSpace(int64_t(1) << 31);
    VstIntPtr answer = host->GuardedDispatch(effSetBlockSize, 0, VstIntPtr(1) << 30, nullptr, 0.0f, &crossed);
    RestoreAddressSpace(limit);
    if (crossed) failures.push_back("an exception crossed effSetBlockSize");
    host->SetActive(true);
    // Usable at the size it had: the host goes on with blocks of that size.
    RunSettings settings;
    settings.frames = 8 * PREVIOUS;
    settings.blockSize = PREVIOUS;
    RunResult result;
    RunBlocks(*host, settings, &result);
    for (const std::string& problem : result.problems) failures.push_back("afterwards, " + problem);
    report.Verdict("block-size-absurd", failures, CheckFigures(),
                   std::string("effSetBlockSize 2^30 ") + (answer ? "accepted" : "refused") + ", then blocks of " +
                       std::to_string(PREVIOUS));
}
}  // namespace

void RunProcessingChecks(ValidateContext& context)
{
    std::vector<double> rates = {44100.0, 96000.0};
    if (context.Level() >= 7) rates = {22050.0, 44100.0, 48000.0, 96000.0, 192000.0};
    for (double rate : rates) CheckRate(context, rate);
    CheckSpeakerArrangement(context);
    CheckAbsurdBlockSize(context);
}
