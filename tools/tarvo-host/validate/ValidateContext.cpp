#include "ValidateContext.h"

#include <cstdio>

std::unique_ptr<ValidateHost> ValidateContext::NewInstance(double sampleRate, int blockSize, std::string* error,
                                                           bool loadState)
{
    std::unique_ptr<ValidateHost> host(new ValidateHost);
    if (!host->Start(mOptions.plugin, sampleRate, blockSize, error)) return nullptr;
    host->SetStimulus(mStimulus);
    if (loadState && !mState.empty()) host->SetChunk(mState);
    return host;
}

void ValidateContext::KeepModuleLoaded()
{
    std::string ignored;
    mpKeeper.reset(new ValidateHost);
    if (!mpKeeper->LoadFile(mOptions.plugin, &ignored)) mpKeeper.reset();
}

CheckFigures ValidateContext::OutputFigures(int64_t events, int64_t notesFed) const
{
    CheckFigures figures = Count(events, "events");
    if (mStimulus == EStimulus_Notes) figures.list.push_back(Count(notesFed, "notes fed"));
    return figures;
}

uint32_t ValidateContext::Random()
{
    // xorshift32: the same sequence on every platform for the same seed.
    uint32_t x = mRandomState ? mRandomState : 0x9E3779B9u;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    mRandomState = x;
    return x;
}

int ValidateContext::RandomBetween(int low, int high)
{
    if (high <= low) return low;
    return low + int(Random() % uint32_t(high - low + 1));
}

std::string FormatMilliseconds(double seconds)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%.3f ms", seconds * 1000.0);
    return text;
}
