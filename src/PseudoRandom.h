// The processor's one random generator: George Marsaglia's two-halves
// multiply-with-carry. Simulation and note generation draw from it in a
// fixed order, and it travels with the saved state, so a restored project
// replays the same decisions.
#pragma once

#include <cstdint>

#include "Serializeable.h"

class PseudoRandom : public Serializeable {
public:
    static const uint32_t INITIAL_W = 0x1234;
    static const uint32_t INITIAL_Z = 0xFFFFEDCB;

    PseudoRandom() : mHalfW(INITIAL_W), mHalfZ(INITIAL_Z) {}

    uint32_t Next()
    {
        mHalfZ = 36969u * (mHalfZ & 0xFFFFu) + (mHalfZ >> 16);
        mHalfW = 18000u * (mHalfW & 0xFFFFu) + (mHalfW >> 16);
        return (mHalfZ << 16) + mHalfW;
    }
    // 0 to 1 inclusive.
    double Uniform() { return Next() * 2.3283064370807974e-10; }
    // The integer part of (k x uniform + 0.5): 0 and k come up half as often.
    int RoundedChoice(int k) { return static_cast<int>(k * Uniform() + 0.5); }
    // A draw modulo n (n > 0).
    int Choice(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

    bool Save(StateChunk* pChunk) const override;
    int Load(const StateChunk* pChunk, int position) override;

    uint32_t mHalfW;  // multiplier 18000
    uint32_t mHalfZ;  // multiplier 36969
};
