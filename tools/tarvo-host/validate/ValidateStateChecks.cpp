// The plug-in's state: a chunk's round trip through a fresh instance, the
// same output from the same chunk, and damaged chunks.
#include <algorithm>

#include "ValidateContext.h"
#include "ValidateRun.h"
#include "ValidateStimulus.h"

namespace {
bool ReadChunk(ValidateHost& host, std::vector<uint8_t>* chunk)
{
    std::string error;
    return host.GetChunk(chunk, &error);
}

void CheckRoundTrip(ValidateContext& context, const std::vector<uint8_t>& chunk)
{
    ValidateReport& report = context.Report();
    report.Begin("state-round-trip");
    std::string error;
    std::unique_ptr<ValidateHost> fresh = context.NewInstance(44100.0, 512, &error, false);
    if (!fresh) {
        report.Fail("state-round-trip", error);
        return;
    }
    fresh->SetChunk(chunk);
    std::vector<uint8_t> again;
    if (!ReadChunk(*fresh, &again)) {
        report.Fail("state-round-trip", "the fresh instance returned no chunk");
    } else if (again != chunk) {
        size_t at = 0;
        while (at < again.size() && at < chunk.size() && again[at] == chunk[at]) ++at;
        report.Fail("state-round-trip", "the fresh instance's chunk differs from byte " + std::to_string(at) + " on (" +
                                            std::to_string(chunk.size()) + " and " + std::to_string(again.size()) +
                                            " bytes)");
    } else {
        report.Pass("state-round-trip", Count(int64_t(chunk.size()), "bytes"));
    }
}

void CheckSameOutput(ValidateContext& context, const std::vector<uint8_t>& chunk)
{
    ValidateReport& report = context.Report();
    report.Begin("state-same-output");
    // The chunk loaded once into one instance, twice into the other: a
    // reload must sound as the first load.
    RunResult results[2];
    int64_t notes = 0;
    for (int i = 0; i < 2; ++i) {
        std::string error;
        std::unique_ptr<ValidateHost> host = context.NewInstance(48000.0, 512, &error, false);
        if (!host) {
            report.Fail("state-same-output", error);
            return;
        }
        for (int load = 0; load <= i; ++load) host->SetChunk(chunk);
        RunSettings settings;
        settings.frames = 96000;
        settings.keepAudio = true;
        RunBlocks(*host, settings, &results[i]);
        notes = host->NotesFed();
    }
    std::vector<std::string> failures;
    if (results[0].events != results[1].events)
        failures.push_back("the MIDI events differ (" + std::to_string(results[0].events.size()) + " and " +
                           std::to_string(results[1].events.size()) + ")");
    std::string difference = CompareAudio(results[0], results[1]);
    if (!difference.empty()) failures.push_back(difference);
    bool produced = !results[0].events.empty() || results[0].sounded || results[1].sounded;
    report.Comparison("state-same-output", failures, produced,
                      context.OutputFigures(int64_t(results[0].events.size()), notes),
                      std::string(ValidateStimulus::Describe(context.Stimulus())) +
                          "; the chunk loaded once into one instance and twice into another, 2 s at 48 kHz");
}

void CheckDamaged(ValidateContext& context, const std::vector<uint8_t>& chunk)
{
    ValidateReport& report = context.Report();
    report.Begin("state-damaged");
    std::string error;
    std::unique_ptr<ValidateHost> host = context.NewInstance(44100.0, 512, &error, false);
    if (!host) {
        report.Fail("state-damaged", error);
        return;
    }
    host->SetChunk(chunk);
    std::vector<std::vector<uint8_t>> damaged;
    // Truncated at many lengths: every one for a small chunk, else spread.
    size_t lengths = std::min<size_t>(chunk.size(), size_t(40 * context.Level()));
    for (size_t i = 0; i < lengths; ++i) {
        size_t length = chunk.size() <= lengths ? i : size_t(uint64_t(chunk.size()) * i / lengths);
        damaged.emplace_back(chunk.begin(), chunk.begin() + std::ptrdiff_t(length));
    }
    // Bytes flipped, one or several.
    for (int i = 0; i < 20 * context.Level() && !chunk.empty(); ++i) {
        std::vector<uint8_t> flipped = chunk;
        int flips = 1 + int(context.Random() % 4);
        for (int f = 0; f < flips; ++f)
            flipped[context.Random() % flipped.size()] ^= uint8_t(1 + context.Random() % 255);
        damaged.push_back(flipped);
    }
    // Garbage of several sizes, and garbage behind an intact start.
    for (int i = 0; i < 4 * context.Level(); ++i) {
        std::vector<uint8_t> garbage(size_t(context.RandomBetween(1, 4096)));
        for (uint8_t& byte : garbage) byte = uint8_t(context.Random());
        damaged.push_back(garbage);
        std::vector<uint8_t> tail(chunk.begin(), chunk.begin() + std::ptrdiff_t(chunk.size() / 2));
        tail.insert(tail.end(), garbage.begin(), garbage.end());
        damaged.push_back(tail);
    }
    std::vector<std::string> failures;
    int64_t refused = 0;
    bool crossed = false;
    for (const std::vector<uint8_t>& data : damaged) {
        std::vector<uint8_t> before;
        ReadChunk(*host, &before);
        std::vector<uint8_t> copy = data;
        VstIntPtr result = host->GuardedDispatch(effSetChunk, 0, VstIntPtr(copy.size()),
                                                 copy.empty() ? nullptr : copy.data(), 0.0f, &crossed);
        if (result == 0) {
            ++refused;
            std::vector<uint8_t> after;
            ReadChunk(*host, &after);
            if (after != before)
                failures.push_back("a refused chunk of " + std::to_string(data.size()) + " bytes changed the state");
        }
        // A chunk that was taken is the state now; go on from the intact one.
        if (result != 0) host->SetChunk(chunk);
    }
    // Zero size with and without a pointer.
    uint8_t byte = 0;
    host->GuardedDispatch(effSetChunk, 0, 0, &byte, 0.0f, &crossed);
    host->GuardedDispatch(effSetChunk, 0, 0, nullptr, 0.0f, &crossed);
    if (crossed) failures.push_back("an exception crossed effSetChunk");
    // Still usable: it processes afterwards.
    RunSettings settings;
    settings.frames = 4096;
    RunResult result;
    RunBlocks(*host, settings, &result);
    if (!result.problems.empty()) failures.push_back("afterwards: " + result.problems.front());
    report.Verdict("state-damaged", failures, Count(int64_t(damaged.size()) + 2, "damaged chunks"),
                   std::to_string(refused) + " refused; truncated, flipped, garbage, zero size");
}
}  // namespace

void RunStateChecks(ValidateContext& context)
{
    ValidateReport& report = context.Report();
    report.Begin("state");
    std::string error;
    std::unique_ptr<ValidateHost> host = context.NewInstance(44100.0, 512, &error);
    if (!host) {
        report.Fail("state-round-trip", error);
        return;
    }
    std::vector<uint8_t> chunk;
    if (!(host->Effect()->flags & effFlagsProgramChunks) || !ReadChunk(*host, &chunk)) {
        report.Skip("state-round-trip", "the plug-in keeps no state chunk (no effFlagsProgramChunks)");
        return;
    }
    host.reset();
    CheckRoundTrip(context, chunk);
    CheckSameOutput(context, chunk);
    CheckDamaged(context, chunk);
}
