#include "NoteGenerator.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cmath>
#include <cstdint>

namespace {

// Conversion toward zero that is defined for every double: the same seed
// must give the same notes on every build, and converting a double outside
// the int range is undefined.
int64_t Truncate(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int64_t>(static_cast<int>(value));
}

int ClampToSpan(int64_t value)
{
    return static_cast<int>(std::min<int64_t>(NoteGenerator::MAX_NOTE_SPAN, std::max<int64_t>(0, value)));
}

}  // namespace

NoteGenerator::NoteGenerator()
    : mLowestNote(0), mHighestNote(NUM_NOTES - 1), mNoteProb(1.0), mTilt(0.5), mVelocity(80), mVelJitter(0),
      mChannel(0), mRepeatProb(0.0)
{
    std::fill(mNoteProbability, mNoteProbability + NUM_NOTES, 0.0);
    std::fill(mWallSlot, mWallSlot + Wall_NumWalls, -1);
}

void NoteGenerator::SetTranspose(int slot, int transpose)
{
    assert(slot >= 0 && slot < NUM_SLOTS);
    Scale& scale = mScales[slot];
    if (scale.mTranspose == transpose) return;
    scale.mTranspose = transpose;
    scale.ComputeWallNotes();
    UpdateNoteRange();
    RebuildNoteProbability();
}

void NoteGenerator::UpdateNoteRange()
{
    mLowestNote = mScales[0].mLowest;
    mHighestNote = mScales[0].mHighest;
    for (int slot = 1; slot < NUM_SLOTS; ++slot) {
        mLowestNote = std::min(mLowestNote, mScales[slot].mLowest);
        mHighestNote = std::max(mHighestNote, mScales[slot].mHighest);
    }
}

void NoteGenerator::RebuildNoteProbability()
{
    std::fill(mNoteProbability, mNoteProbability + NUM_NOTES, 0.0);
    const int lowest = std::max(0, mLowestNote);
    const int highest = std::min(NUM_NOTES - 1, mHighestNote);
    if (lowest > highest) return;
    const double step = 1.0 / (mHighestNote - mLowestNote + 1);
    const double k = 4.0 * std::fabs(mTilt - 0.5);
    double d = mTilt < 0.5 ? 0.5 : -0.5;
    for (int note = lowest; note <= highest; ++note) {
        mNoteProbability[note] = mNoteProb >= 1.0 ? 1.0 : mNoteProb + k * (d - std::fabs(d) * d);
        d += step;
    }
}

int NoteGenerator::BindWall(int wall, double value)
{
    assert(wall >= 0 && wall < Wall_NumWalls);
    int slot = 0;
    if (!std::isnan(value)) slot = static_cast<int>(Truncate(3.0 * value + 0.1));
    slot = std::min(NUM_SLOTS - 1, std::max(0, slot));
    mWallSlot[wall] = slot;
    return slot;
}

bool NoteGenerator::IsWallBoundTo(int wall, int slot) const
{
    assert(wall >= 0 && wall < Wall_NumWalls);
    return mWallSlot[wall] == slot;
}

const Scale& NoteGenerator::WallScale(int wall) const
{
    assert(wall >= 0 && wall < Wall_NumWalls);
    const int slot = mWallSlot[wall];
    return slot < 0 ? mUnboundScales[wall] : mScales[slot];
}

int NoteGenerator::WallEntryIndex(int wall, int position) const
{
    assert(position >= 0 && position < WALL_POSITIONS);
    const Scale& scale = WallScale(wall);
    const int entry = (position + scale.EffectiveRotation()) % Scale::NUM_ENTRIES;
    return scale.IsReversed() ? Scale::NUM_ENTRIES - 1 - entry : entry;
}

void NoteGenerator::LoadScaleNotes(const int notes[Scale::NUM_ENTRIES])
{
    for (Scale& scale : mScales) {
        std::copy(notes, notes + Scale::NUM_ENTRIES, scale.mScaleNotes);
        scale.ComputeWallNotes();
    }
    UpdateNoteRange();
    RebuildNoteProbability();
}

int NoteGenerator::WallNote(int wall, int position) const
{
    assert(position >= 0 && position < WALL_POSITIONS);
    return WallScale(wall).mWallNotes[position];
}

double NoteGenerator::NoteProbability(int note) const
{
    if (note < 0 || note >= NUM_NOTES) return 0.0;
    return mNoteProbability[note];
}

void NoteGenerator::GenerateStepNotes(int stepOffset, const StrikeRecord strikes[Wall_NumWalls],
                                      const StepNoteInputs& inputs, PseudoRandom* pRandom, NoteTracker* pTracker)
{
    mStepNoteSet.Clear();
    // A muted sequencer step must not consume draws: the simulation shares
    // the generator, and its decisions would shift.
    if (inputs.mSeqOn && inputs.mStepMuted) return;

    // The key range of the note set depends on the channel staying 0..15.
    const int channel = std::min(NUM_CHANNELS - 1, std::max(0, mChannel));
    for (int wall = 0; wall < Wall_NumWalls; ++wall) {
        const StrikeRecord& strike = strikes[wall];
        for (int i = 0; i < strike.mStruck.ListLength(); ++i) {
            const int position = strike.mStruck.Item(i);
            if (strike.mMarks[position] == StrikeMark_Muted) continue;
            mStepNoteSet.Add(WallNote(wall, position) * NUM_CHANNELS + channel);
        }
    }

    const double human = inputs.mHumanSamples;
    for (int i = 0; i < mStepNoteSet.ListLength(); ++i) {
        const int key = mStepNoteSet.Item(i);
        const int hits = mStepNoteSet.Count(key);
        const int note = key / NUM_CHANNELS;

        int64_t velocity = mVelocity;
        if (inputs.mSeqOn) velocity = (velocity * inputs.mAccentLevel) >> 7;
        velocity += 10 * static_cast<int64_t>(hits - 1);
        if (mVelJitter != 0) {
            const double u = pRandom->Uniform();
            velocity = Truncate((2.0 * u - 1.0) * mVelJitter + static_cast<double>(velocity));
        }
        if (velocity <= 0) continue;
        velocity = std::min<int64_t>(velocity, 127);

        const double uA = pRandom->Uniform();
        const double uB = pRandom->Uniform();
        const double uC = pRandom->Uniform();
        const double length = inputs.mNoteLengthSamples;
        const int64_t duration =
            Truncate(length + (2.0 * uA - 1.0) * inputs.mDurationJitter * length + (2.0 * uB - 1.0) * human) - hits;
        const int onset = ClampToSpan(Truncate(uC * human + stepOffset));
        if (duration <= 0) continue;
        const int span = ClampToSpan(duration);

        const int noteVelocity = static_cast<int>(velocity);
        pTracker->Note(onset, note, channel, noteVelocity, span, stepOffset);

        const double uD = pRandom->Uniform();
        if (mRepeatProb >= uD) {
            const double uE = pRandom->Uniform();
            const int repeatOnset =
                ClampToSpan(Truncate(uE * human + (static_cast<double>(onset) + inputs.mRepeatLengthSamples)));
            pTracker->Note(repeatOnset, note, channel, noteVelocity, span, stepOffset);
        }
    }
}
