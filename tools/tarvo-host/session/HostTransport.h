// The timeline the host reports to the plug-in through audioMasterGetTime.
//
// The model follows what a real host (Ardour 7) reports:
// - The transport is playing from block 0 on unless a "stop" comes before
//   that block; before block 0 it counts as stopped, so the first block
//   carries kVstTransportChanged when it plays, and not when it is stopped.
// - kVstTransportChanged is set on the first block after a play or a stop
//   only; a locate does not set it.
// - While stopped the position stays where the transport would play next:
//   the end of the last played block, or the located sample.
// - ppqPos is integrated block by block with the tempo in force for that
//   block; a locate sets it to SAMPLE x tempo / (60 x sample rate).
// - A time signature change takes effect at the start of the bar in
//   progress; bar lines are reckoned from there in both directions.
#pragma once

#include <cstdint>

#include "framework/plugin/VstInterface.h"

struct TransportSettings {
    double sampleRate = 44100.0;
    double tempo = 120.0;
    int sigNumerator = 4;
    int sigDenominator = 4;
    int64_t startSample = 0;
    // false: only the sample position is reported (no ppq, tempo, bars or
    // signature), as from a host without a musical timeline.
    bool musicalPosition = true;
    // > 0: ppqPos is rounded to the nearest 1/N quarter, as some hosts do.
    int ppqResolution = 0;
};

class HostTransport {
public:
    explicit HostTransport(const TransportSettings& settings = TransportSettings());
    virtual ~HostTransport() {}

    void Play() { mPlaying = true; }
    void Stop() { mPlaying = false; }
    void Locate(int64_t sample);
    void SetTempo(double bpm);
    void SetTimeSignature(int numerator, int denominator);
    // A region the host loops (reported as the cycle), or none.
    void SetCycle(bool active, int64_t startSample, int64_t endSample);

    // The record for the block about to be processed; it does not change
    // until EndBlock, however often the plug-in asks.
    VstTimeInfo TimeInfo() const;
    // The block of that many frames has been processed.
    void EndBlock(int frames);

    bool IsPlaying() const { return mPlaying; }
    int64_t SamplePosition() const { return mSamplePosition; }
    double PpqPosition() const { return mPpqPosition; }
    double Tempo() const { return mTempo; }
    double SampleRate() const { return mSettings.sampleRate; }
    int SigNumerator() const { return mSigNumerator; }
    int SigDenominator() const { return mSigDenominator; }
    // Quarter notes the render has gone through since the start position's
    // musical position, counting every block, playing or not, at the tempo
    // in force for it: the time line of a recording of the plug-in's output.
    double ElapsedQuarters() const { return mElapsedQuarters; }

    // Quarter notes in one block of that many frames at the current tempo.
    double QuartersIn(double frames) const;

private:
    double BarLength() const;
    double BarStartFor(double ppq) const;

    TransportSettings mSettings;
    bool mPlaying = true;
    bool mPlayedLastBlock = false;
    int64_t mSamplePosition = 0;
    double mPpqPosition = 0.0;
    double mTempo = 120.0;
    int mSigNumerator = 4;
    int mSigDenominator = 4;
    double mBarOrigin = 0.0;
    double mElapsedQuarters = 0.0;
    bool mCycleActive = false;
    int64_t mCycleStart = 0;
    int64_t mCycleEnd = 0;
};

// Blocks needed to cover that many bars of the signature at that tempo,
// rounded up to whole blocks. blockFrames must be at least 1.
int64_t BlocksForBars(double bars, int sigNumerator, int sigDenominator, double tempo, double sampleRate,
                      int blockFrames);
