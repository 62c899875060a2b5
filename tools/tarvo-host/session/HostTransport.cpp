#include "HostTransport.h"

#include <cmath>

namespace {
// Integrated positions that land on a bar line can come out a few ulps
// short of it; such a position counts as on the line.
const double BAR_LINE_TOLERANCE = 1e-9;
}  // namespace

HostTransport::HostTransport(const TransportSettings& settings)
    : mSettings(settings), mTempo(settings.tempo), mSigNumerator(settings.sigNumerator),
      mSigDenominator(settings.sigDenominator)
{
    Locate(settings.startSample);
    mElapsedQuarters = mPpqPosition;
}

double HostTransport::QuartersIn(double frames) const { return frames * mTempo / (60.0 * mSettings.sampleRate); }

void HostTransport::Locate(int64_t sample)
{
    mSamplePosition = sample;
    mPpqPosition = QuartersIn(double(sample));
}

void HostTransport::SetTempo(double bpm) { mTempo = bpm; }

void HostTransport::SetCycle(bool active, int64_t startSample, int64_t endSample)
{
    mCycleActive = active;
    mCycleStart = startSample;
    mCycleEnd = endSample;
}

double HostTransport::BarLength() const { return mSigNumerator * 4.0 / mSigDenominator; }

double HostTransport::BarStartFor(double ppq) const
{
    double bars = std::floor((ppq - mBarOrigin) / BarLength() + BAR_LINE_TOLERANCE);
    return mBarOrigin + bars * BarLength();
}

void HostTransport::SetTimeSignature(int numerator, int denominator)
{
    mBarOrigin = BarStartFor(mPpqPosition);
    mSigNumerator = numerator;
    mSigDenominator = denominator;
}

VstTimeInfo HostTransport::TimeInfo() const
{
    VstTimeInfo info = {};
    info.samplePos = double(mSamplePosition);
    info.sampleRate = mSettings.sampleRate;
    info.flags = 0;
    if (mPlaying) info.flags |= kVstTransportPlaying;
    if (mPlaying != mPlayedLastBlock) info.flags |= kVstTransportChanged;
    if (!mSettings.musicalPosition) return info;

    double ppq = mPpqPosition;
    if (mSettings.ppqResolution > 0) {
        double resolution = mSettings.ppqResolution;
        ppq = std::round(ppq * resolution) / resolution;
    }
    info.ppqPos = ppq;
    info.tempo = mTempo;
    // From the reported position, so that barStartPos <= ppqPos holds for
    // the plug-in even where rounding crossed a bar line.
    info.barStartPos = BarStartFor(ppq);
    info.timeSigNumerator = mSigNumerator;
    info.timeSigDenominator = mSigDenominator;
    info.flags |= kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
    if (mCycleActive) {
        info.cycleStartPos = QuartersIn(double(mCycleStart));
        info.cycleEndPos = QuartersIn(double(mCycleEnd));
        info.flags |= kVstTransportCycleActive | kVstCyclePosValid;
    }
    return info;
}

void HostTransport::EndBlock(int frames)
{
    double quarters = QuartersIn(frames);
    mElapsedQuarters += quarters;
    mPlayedLastBlock = mPlaying;
    if (!mPlaying) return;
    mSamplePosition += frames;
    mPpqPosition += quarters;
}

int64_t BlocksForBars(double bars, int sigNumerator, int sigDenominator, double tempo, double sampleRate,
                      int blockFrames)
{
    double quarters = bars * sigNumerator * 4.0 / sigDenominator;
    double samples = quarters * 60.0 * sampleRate / tempo;
    // Exact multiples (88200 samples in blocks of 1050) must not gain a
    // block from rounding noise.
    return int64_t(std::ceil(samples / blockFrames - 1e-9));
}
