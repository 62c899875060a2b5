// Where the steps of the timeline lock lie. Step k has an exact position on
// the swung timeline (step 2m at 2m x L, step 2m + 1 a first swing interval
// of L x ratio later) and fires on the sample that position rounds to. The
// positions are computed from the index alone, with no fraction carried
// from step to step, so that any step can be found from any position and
// lands on the same sample every time.
//
// An anchor ties the exact timeline to the host's samples: normally sample
// 0 is position 0. Where the host's timeline changed tempo, the anchor is a
// block start and the exact position the host's musical position gives it.
#pragma once

#include <cstdint>

class LockedStepGrid {
public:
    // stepLength in samples (at least 1), swingRatio 1..2.
    void Set(double stepLength, double swingRatio, int64_t anchorSample, double anchorPosition);

    double StepLength() const { return mStepLength; }
    double SwingRatio() const { return mSwingRatio; }
    int64_t AnchorSample() const { return mAnchorSample; }
    double AnchorPosition() const { return mAnchorPosition; }

    // The exact position of step k (k >= 0) on the swung timeline.
    double Position(int64_t step) const;
    // The exact position a sample stands at.
    double PositionAt(int64_t sample) const { return mAnchorPosition + static_cast<double>(sample - mAnchorSample); }
    // The sample step k fires on.
    int64_t StepSample(int64_t step) const;
    // The first step, by index, that fires at or after the sample: every
    // step sharing its sample follows it.
    int64_t FirstStepAtOrAfter(int64_t sample) const;

private:
    double mStepLength = 1.0;
    double mSwingRatio = 1.0;
    int64_t mAnchorSample = 0;
    double mAnchorPosition = 0.0;
};
