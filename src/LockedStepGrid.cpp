#include "LockedStepGrid.h"

#include <cmath>

namespace {
// Steps beyond this index are not a song; it keeps every position a finite
// double and every sample an int64.
const int64_t MAX_STEP = int64_t(1) << 40;
}  // namespace

void LockedStepGrid::Set(double stepLength, double swingRatio, int64_t anchorSample, double anchorPosition)
{
    mStepLength = stepLength >= 1.0 && std::isfinite(stepLength) ? stepLength : 1.0;
    mSwingRatio = swingRatio < 1.0 || !(swingRatio == swingRatio) ? 1.0 : (swingRatio > 2.0 ? 2.0 : swingRatio);
    mAnchorSample = anchorSample;
    mAnchorPosition = std::isfinite(anchorPosition) ? anchorPosition : 0.0;
}

double LockedStepGrid::Position(int64_t step) const
{
    if (step < 0) step = 0;
    if (step > MAX_STEP) step = MAX_STEP;
    const int64_t pair = step / 2;
    const double pairStart = static_cast<double>(2 * pair) * mStepLength;
    if (step % 2 == 0) return pairStart;
    // Full swing puts the odd step exactly where the next pair starts.
    if (mSwingRatio >= 2.0) return static_cast<double>(2 * pair + 2) * mStepLength;
    return pairStart + mStepLength * mSwingRatio;
}

int64_t LockedStepGrid::StepSample(int64_t step) const
{
    return mAnchorSample + static_cast<int64_t>(std::floor(Position(step) - mAnchorPosition + 0.5));
}

int64_t LockedStepGrid::FirstStepAtOrAfter(int64_t sample) const
{
    double estimate = std::floor(PositionAt(sample) / mStepLength) - 2.0;
    int64_t step = estimate > 0.0 ? static_cast<int64_t>(estimate < MAX_STEP ? estimate : MAX_STEP) : 0;
    while (step > 0 && StepSample(step - 1) >= sample) --step;
    while (step < MAX_STEP && StepSample(step) < sample) ++step;
    return step;
}
