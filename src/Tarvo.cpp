#include "Tarvo.h"

#include <cmath>
#include <cstring>

#include "HomeDirectory.h"
#include "TarvoView.h"
#include "TimeUnitTable.h"
#include "framework/plugin/Trace.h"

namespace {

int32_t FourCharCode(const char* code)
{
    return static_cast<int32_t>((uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
                                (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3])));
}

// Lengths in samples are kept below this bound so that every conversion to
// int is defined, whatever tempo or sample rate a host reports (about six
// hours at 48 kHz).
const double MAX_LENGTH_SAMPLES = 1073741824.0;

int TruncateLength(double samples)
{
    if (!(samples > 0.0)) return 0;
    if (samples > MAX_LENGTH_SAMPLES) samples = MAX_LENGTH_SAMPLES;
    return static_cast<int>(samples);
}

}  // namespace

Tarvo::Tarvo(audioMasterCallback hostCallback, const char* configFolder)
    : IPlugVST(hostCallback, EParam_NumVisible, "1-1 2-2", 6, "Tarvo3", "", "Quillfen", 0x00010000,
               FourCharCode("Qfta"), FourCharCode("Qfvx"), 0, true, true, true),
      mSimulation(&mGrid, &mRandom, &mNotes), mSeqOn(true), mTimingSampleRate(44100.0), mLastTempo(120.0),
      mLastTimeSigNum(0), mLastTimeSigDen(4), mRecalcTiming(true), mStepLength(11025.0), mStepFraction(0.0),
      mFractionAccumulator(0.0), mSwingFirst(0), mSwingSecond(0), mSwingPhase(true), mSamplesToNextStep(0),
      mLastPosition(-2), mExpectedPosition(-1), mExpectedValid(false), mExpectedSamplePos(-1.0), mLastBlockFrames(0),
      mWasRunning(false), mResyncPending(false), mNoteLengthSamples(22050), mRepeatLengthSamples(11025), mSimple(1),
      mSimpleCount(0), mTimeUnitBeats(0.5), mLengthUnitBeats(1.0), mRepeatUnitBeats(0.5), mSlow(1.0), mSwingRatio(1.0),
      mTimeDouble(false), mTimeHalf(false), mEnabled(true), mHuman(0.0), mHumanSamples(0.0), mDurationJitter(0.0),
      mGridChanged(false), mDispatchDepth(0), mChangeSource(EChangeSource_Host), mTimelineLocked(false),
      mCheckpoints(CHECKPOINT_SPACING), mCheckpointSpb(0.0), mStepGridSpb(0.0), mLockOffset(0), mLockNext(0),
      mReanchorPending(false), mCatchingUp(false), mReplayNext(0), mReplayOrigin(0), mStartSettingsApplied(false),
      mRunPure(false), mPatternsDiverged(false), mpScratchState(new StateImage), mRoverChoice(0), mObstacleChoice(0),
      mRoverPaletteActive(true), mPatternPanelShown(true)
{
    TRACE_ENTRY("Tarvo::Tarvo");
    for (bool& occupied : mPatternOccupied) occupied = false;
    std::strcpy(mScaleName, "default");
    // The output queue grows only when a block holds more events than ever
    // before; start it large enough for every ordinary block.
    mOutputQueue.reserve(1024);

    // The configuration decides the note names and the cell editing mode,
    // so it is read before the parameters exist.
    HomeDirectory home(configFolder);
    mConfiguration.ReadFromModuleFolder(home);
    mFolders.Resolve(mConfiguration, home);

    RegisterParameters();
    InitInternalParameters();
    LoadMidiMap(home);
}

Tarvo::~Tarvo()
{
    TRACE_ENTRY("Tarvo::~Tarvo");
    // A host may close the processor with its editor still open. The view
    // is taken away under the lock, then deleted outside it (deleting an
    // editor ends its window's thread); the base deletes the editor surface
    // afterwards.
    AttachView(nullptr);
}

void Tarvo::AttachView(std::unique_ptr<ITarvoView> pView)
{
    std::unique_ptr<ITarvoView> pOld;
    {
        ScopedLock lock(mLock);
        pOld = std::move(mpView);
        mpView = std::move(pView);
        if (mpView) ShowEverything();
    }
}

void Tarvo::ShowEverything()
{
    UpdateGridLayout();
    ShowGrid();
    for (int slot = 0; slot < NUM_SCALE_SLOTS; ++slot) UpdateWallDisplay(slot);
    mpView->ShowScaleName(mScaleName);
    for (int slot = 0; slot < NUM_PATTERN_SLOTS; ++slot) {
        if (mPatternOccupied[slot]) mpView->ShowPatternSlot(slot, true, &mPatterns[slot]);
    }
    mpView->ShowPanels(mPatternPanelShown);
    mpView->MarkSequencerPanelChanged();
    mpView->ShowTimelineLock(mTimelineLocked);
}

void Tarvo::OnReset()
{
    ScopedLock lock(mLock);
    mTimingSampleRate = GetSampleRate();
    mRecalcTiming = true;
    // The humanise range is a time; it follows the sample rate.
    RecomputeHumanSamples();
}

void Tarvo::RecomputeHumanSamples() { mHumanSamples = 0.015 * GetSampleRate() * mHuman; }

// ---- Step timing --------------------------------------------------------

void Tarvo::RecalculateTimingIfNeeded(const TransportInfo& transport)
{
    // The snapshot holds 4/4 and 120 bpm where the host reports nothing
    // usable.
    int numerator = transport.mNumerator;
    int denominator = transport.mDenominator;
    double tempo = transport.mTempo;
    if (!(tempo > 0.0) || !std::isfinite(tempo)) tempo = 120.0;
    if (!mRecalcTiming && tempo == mLastTempo && numerator == mLastTimeSigNum && denominator == mLastTimeSigDen) {
        return;
    }
    mLastTempo = tempo;
    mLastTimeSigNum = numerator;
    mLastTimeSigDen = denominator;
    RecalculateTiming();
}

double Tarvo::SamplesPerBeat() const
{
    double sampleRate = mTimingSampleRate > 0.0 && std::isfinite(mTimingSampleRate) ? mTimingSampleRate : 44100.0;
    return sampleRate * 60.0 / mLastTempo;
}

void Tarvo::RecalculateTiming()
{
    mRecalcTiming = false;
    double samplesPerBeat = SamplesPerBeat();
    mRepeatLengthSamples = TruncateLength(samplesPerBeat * mRepeatUnitBeats);
    double slow = mSlow < 0.1 ? 0.1 : (mSlow > 4.0 ? 4.0 : mSlow);
    double stepLength = samplesPerBeat * mTimeUnitBeats * slow;
    if (mTimeDouble) stepLength *= 0.5;
    if (mTimeHalf) stepLength *= 2.0;
    // A step shorter than one sample could never leave a block.
    if (stepLength < 1.0) stepLength = 1.0;
    if (stepLength > MAX_LENGTH_SAMPLES) stepLength = MAX_LENGTH_SAMPLES;
    mNoteLengthSamples = TruncateLength(samplesPerBeat * mLengthUnitBeats);
    double swingRatio = mSwingRatio < 1.0 ? 1.0 : (mSwingRatio > 2.0 ? 2.0 : mSwingRatio);
    int swingFirst = TruncateLength(stepLength * swingRatio);
    int swingSecond = TruncateLength(2.0 * stepLength - swingFirst);
    // New lengths restart the swing pair. A recalculation that leaves the
    // step length and the pair as they were (a suspend and resume, a new
    // time signature, a parameter set to the value it had) keeps the pair's
    // phase and the fraction not yet paid out: the groove does not turn
    // round because the host reset the plug-in.
    if (stepLength != mStepLength || swingFirst != mSwingFirst || swingSecond != mSwingSecond) {
        mSwingPhase = true;
        mFractionAccumulator = 0.0;
    }
    mStepLength = stepLength;
    mSwingFirst = swingFirst;
    mSwingSecond = swingSecond;
    mStepFraction = mStepLength - std::floor(mStepLength);
}

int64_t Tarvo::BlockPosition(const TransportInfo& info) const
{
    double p = info.mSamplePos;
    if (info.mPPQPos >= 0.0) p = info.mPPQPos * GetSampleRate() / (info.mTempo / 60.0);
    double mean = (p + info.mSamplePos) * 0.5 + 0.5;
    // Positions beyond what a session can reach are not a timeline; keep the
    // conversion defined.
    if (!(mean > -4.0e18 && mean < 4.0e18)) return 0;
    return static_cast<int64_t>(mean);
}

int64_t Tarvo::PositionTolerance() const
{
    // Hosts that round their musical position (Ardour 7 gives ppqPos in steps
    // of 1/1920 of a quarter note while samplePos is exact) make the block
    // position wobble by up to a quarter of such a step, and two blocks can
    // differ by half a step. One step of 1/960 of a quarter note plus two
    // samples of rounding covers that with a margin of two at every tempo,
    // and covers hosts that round to 1/960 too. At 120 bpm and 48 kHz it is
    // 27 samples; a real locate, loop or start moves much further.
    double samplesPerBeat = mTimingSampleRate * 60.0 / (mLastTempo > 0.0 ? mLastTempo : 120.0);
    double tolerance = samplesPerBeat / 960.0 + 2.0;
    if (!(tolerance < MAX_LENGTH_SAMPLES)) tolerance = MAX_LENGTH_SAMPLES;
    int64_t rounded = static_cast<int64_t>(tolerance);
    // The tolerance is capped at a quarter of the step length, and at least
    // 2 samples: at slow tempi and short steps (a long beat divided into
    // "1/32t") the rounding step can come near a step length, and a small
    // locate backwards, to the step just played, must still count as a jump
    // and re-anchor rather than pass for continuity.
    int64_t limit = static_cast<int64_t>(mStepLength / 4.0);
    return rounded < limit ? rounded : (limit > 2 ? limit : 2);
}

void Tarvo::ReanchorOnTimeline(int64_t pos)
{
    // Steps lie on the host's swung timeline, counted from its sample 0:
    // step 2m at 2m x L and step 2m + 1 one first swing interval later (a
    // step whose time has a fraction falls on the sample it lies in). The
    // next step is the first of them, by index, at or after pos, and the
    // swing phase follows its index: after an even step comes the first
    // interval, after an odd one the second. The same position therefore
    // always swings the same way, whatever the play history. Full swing puts
    // an odd step on the sample of the next even one: a block starting on
    // that sample takes the odd step first, and both fire there, as in an
    // uninterrupted run.
    const double pairLength = 2.0 * mStepLength;
    auto pairStart = [pairLength](double pair) { return static_cast<int64_t>(std::floor(pair * pairLength)); };
    double pair = std::floor(static_cast<double>(pos) / pairLength);
    // The division may round across a pair boundary: one step back or on
    // mends that (no loop: far out on a hostile timeline, pair + 1 may equal
    // pair in a double, and the countdown below is clamped anyway).
    if (pairStart(pair) > pos) pair -= 1.0;
    if (pairStart(pair + 1.0) <= pos) pair += 1.0;
    int64_t even = pairStart(pair);
    int64_t next;
    if (pair >= 1.0 && pairStart(pair - 1.0) + mSwingFirst >= pos) {
        next = pos;
        mSwingPhase = false;
    } else if (even == pos) {
        next = even;
        mSwingPhase = true;
    } else if (even + mSwingFirst >= pos) {
        next = even + mSwingFirst;
        mSwingPhase = false;
    } else {
        next = pairStart(pair + 1.0);
        mSwingPhase = true;
    }
    int64_t countdown = next - pos;
    if (countdown < 0) countdown = 0;
    if (countdown > MAX_LENGTH_SAMPLES) countdown = static_cast<int64_t>(MAX_LENGTH_SAMPLES);
    mSamplesToNextStep = static_cast<int>(countdown);
}

void Tarvo::ChangeRunningState(bool running, int nFrames)
{
    mWasRunning = running;
    mOutputQueue.clear();
    if (mTimelineLocked) {
        // The sounding notes end at once; a start re-anchors, a stop brings
        // the start scene back.
        mTracker.ReleaseSounding(&mOutputQueue);
        if (running) {
            mReanchorPending = true;
        } else {
            StopOnStartScene();
        }
    } else {
        mTracker.ReleasePending();
        mTracker.EmitDue(nFrames, &mOutputQueue);
    }
    SendOutputQueue();
}

void Tarvo::ProcessBlock(double** /*inputs*/, double** /*outputs*/, int nFrames, const TransportInfo& info)
{
    // A call with no frames is no time passing (some hosts make one to hand
    // over parameter or event changes): it fires no step, makes no start or
    // stop, sends nothing and leaves the clock exactly as it was. A block
    // with frames that stands at the previous position still stops it.
    if (nFrames <= 0) return;
    RecalculateTimingIfNeeded(info);
    int64_t pos = BlockPosition(info);
    // Without musical time the host counts as playing; a host that reports
    // musical time and no playing transport has stopped.
    bool hostStopped = info.mMusical && !info.mTransportIsRunning;

    if (mResyncPending) {
        // A stopped host's position was not played: the first playing block
        // there must not look like a position that stands still.
        mLastPosition = hostStopped ? -2 : pos;
        mResyncPending = false;
        // The countdown of the state before the load means nothing on the
        // host's timeline: the next block re-anchors.
        mExpectedValid = false;
        return;
    }

    // Continuity. A block that starts where the last running block ended
    // carries on the countdown. Hosts that round their musical position make
    // the block position wobble by a few samples, and a tempo change moves
    // the musical part of it while the timeline runs on: when the host's
    // sample position continues exactly, or the block position lies within
    // the rounding tolerance, the block counts as continuous and the clock
    // carries on from the exact expected position.
    if (mExpectedValid && pos != mExpectedPosition) {
        int64_t drift = pos - mExpectedPosition;
        int64_t tolerance = PositionTolerance();
        bool sampleContinues = info.mSamplePos >= 0.0 && std::fabs(info.mSamplePos - mExpectedSamplePos) < 0.5;
        // A host that stands still at the end of the last block is not
        // rounding; only drifts smaller than that block count.
        bool withinTolerance =
            drift >= -tolerance && drift <= tolerance && (drift > 0 ? drift : -drift) < mLastBlockFrames;
        if (sampleContinues || withinTolerance) pos = mExpectedPosition;
    }

    // With no time information at all the clock never starts. A host that
    // says it stopped stops the clock at once, so the note-offs of sounding
    // notes go out now rather than when it plays again.
    bool hasTime = info.mSamplePos >= 0.0 || info.mPPQPos >= 0.0;
    bool running = hasTime && !hostStopped && pos != mLastPosition && mEnabled;
    if (running != mWasRunning) ChangeRunningState(running, nFrames);
    if (!running) return;

    mOutputQueue.clear();

    const bool jump = !mExpectedValid || pos != mExpectedPosition;
    mLastPosition = pos;
    mExpectedPosition = pos + nFrames;
    mExpectedValid = true;
    mExpectedSamplePos = info.mSamplePos + nFrames;
    mLastBlockFrames = nFrames;
    if (mTimelineLocked) {
        PlayLockedBlock(nFrames, info, pos, jump);
        return;
    }
    if (jump) {
        mTracker.ReleasePending();
        ReanchorOnTimeline(pos);
    }

    int remaining = nFrames;
    int offset = 0;
    while (mSamplesToNextStep < remaining) {
        remaining -= mSamplesToNextStep;
        offset += mSamplesToNextStep;
        RunStep(offset);
    }
    mSamplesToNextStep -= remaining;

    mTracker.EmitDue(nFrames, &mOutputQueue);
    SendOutputQueue();
}

void Tarvo::RunStep(int offset)
{
    int interval = mSwingPhase ? mSwingFirst : mSwingSecond;
    mSwingPhase = !mSwingPhase;
    AdvanceWorld(offset, true);
    mFractionAccumulator += mStepFraction;
    mSamplesToNextStep = interval;
    if (mFractionAccumulator > 1.0) {
        mFractionAccumulator -= 1.0;
        mSamplesToNextStep += 1;
    }
}

void Tarvo::AdvanceWorld(int offset, bool show)
{
    int simple = mSimple < 1 ? 1 : mSimple;
    if (++mSimpleCount >= simple) {
        mSimpleCount = 0;
        mSimulation.mSilentStep = false;
    } else {
        mSimulation.mSilentStep = true;
    }

    mSimulation.ClearStep();
    mSimulation.AdvanceRovers();

    StepNoteInputs inputs;
    inputs.mSeqOn = mSeqOn;
    inputs.mStepMuted = mSequencer.IsCurrentStepMuted();
    inputs.mAccentLevel = mSequencer.CurrentLevel();
    inputs.mNoteLengthSamples = mNoteLengthSamples;
    inputs.mRepeatLengthSamples = mRepeatLengthSamples;
    inputs.mHumanSamples = mHumanSamples;
    inputs.mDurationJitter = mDurationJitter;
    mNotes.GenerateStepNotes(offset, mSimulation.mStrikes, inputs, &mRandom, &mTracker);

    if (show) {
        PublishStep();
    } else {
        mSimulation.ResolveCollisions();
    }
    if (mSeqOn) mSequencer.Advance();
}

void Tarvo::SendOutputQueue()
{
    for (const IMidiMessage& msg : mOutputQueue) SendMidiMessage(&msg);
}

// ---- Grid refresh -------------------------------------------------------

void Tarvo::PublishStep()
{
    mSimulation.ResolveCollisions();
    if (mpView) mpView->PublishStep(mGrid, mSimulation);
}

void Tarvo::ShowGrid()
{
    mSimulation.UpdateCellDisplay();
    if (mpView) mpView->PublishStep(mGrid, mSimulation);
}

void Tarvo::UpdateGridLayout()
{
    mSimulation.TouchAllCells();
    if (mpView) mpView->UpdateGridLayout(mGrid);
}

void Tarvo::UpdateWallDisplay(int slot)
{
    if (!mpView) return;
    for (int wall = 0; wall < Wall_NumWalls; ++wall) {
        if (!mNotes.IsWallBoundTo(wall, slot)) continue;
        int entries[WALL_POSITIONS];
        for (int position = 0; position < WALL_POSITIONS; ++position) {
            entries[position] = mNotes.WallEntryIndex(wall, position);
        }
        mpView->SetWallDisplay(wall, mNotes.mScales[slot].mRotate, mNotes.mScales[slot].mMutate, entries);
    }
}
