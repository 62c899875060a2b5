// The timeline lock. With it on, the notes at any position of the song are
// a function of the start scene and the position alone: every start, locate,
// loop jump, load or switching on re-anchors, and the world becomes the
// start scene run silently through every step before the position, with
// every draw, strike and note exactly as when playing. Notes that began
// before the position stay in the tracker without sounding, so that they
// take their samples and cut later notes as in an uninterrupted run.
//
// Checkpoints of the world, taken as steps are computed, keep a locate short;
// a replay longer than a slice of the audio thread's time spreads over
// blocks, which stay silent until it reaches the position. Settings made in
// the editor go into the start scene; what the host or the MIDI map sets
// while playing is heard but not kept, and edits of the moving world last
// until the next stop.
#include <chrono>
#include <cmath>
#include <cstring>

#include "Tarvo.h"
#include "TarvoView.h"

namespace {

// A catch-up holds the audio thread for at most 0.5 ms in one block: it
// looks at the time every few steps (a step takes a few microseconds) and
// stops with a margin...
const double CATCH_UP_SLICE_SECONDS = 0.00045;
const int STEPS_BETWEEN_CLOCK_READS = 4;
// ... though it always runs this many steps: a locate that a checkpoint
// serves needs fewer, and never waits for a second block.
const int MIN_CATCH_UP_STEPS = Tarvo::CHECKPOINT_SPACING;
const VstIntPtr PROCESS_LEVEL_OFFLINE = 4;
const int64_t MAX_COUNTDOWN = int64_t(1) << 30;

double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

int Countdown(int64_t samples)
{
    if (samples < 0) return 0;
    return static_cast<int>(samples > MAX_COUNTDOWN ? MAX_COUNTDOWN : samples);
}

double ClampedSwingRatio(double ratio) { return ratio < 1.0 ? 1.0 : (ratio > 2.0 ? 2.0 : ratio); }

bool SameObstacle(const Obstacle& a, const Obstacle& b) { return a.mKind == b.mKind && a.mState == b.mState; }

}  // namespace

// ---- Switching and the host's call ----------------------------------------

void Tarvo::SetTimelineLock(bool on)
{
    ScopedLock lock(mLock);
    if (on == mTimelineLocked) return;
    if (on) {
        mCheckpoints.Reserve(CHECKPOINT_MEMORY);
        // The current state, as it stands, is the song's start. Stopped, the
        // world is the start scene; playing, the next block replays it to
        // the position.
        if (!mWasRunning) {
            mSequencer.mCurrentStep = 0;
            mSimpleCount = 0;
        }
        CaptureState(&mStartScene);
        mStartScene.mSequencer.mCurrentStep = 0;
        mCheckpoints.Clear();
        mTimelineLocked = true;
        mPatternsDiverged = false;
        mRunPure = false;
        mCatchingUp = false;
        mReanchorPending = true;
        mResyncPending = false;
    } else {
        mTimelineLocked = false;
        if (mCatchingUp) {
            // Half way to the position: the unlocked clock re-anchors on its
            // own grid and the world plays on from here.
            mCatchingUp = false;
            mExpectedValid = false;
        } else {
            // The countdown runs on; the swing pair follows the next step.
            mSwingPhase = mLockNext % 2 == 0;
            mFractionAccumulator = 0.0;
        }
    }
    if (mpView) mpView->ShowTimelineLock(on);
}

VstIntPtr Tarvo::OnVendorSpecific(VstInt32 index, VstIntPtr value, void* /*ptr*/, float /*opt*/)
{
    if (index != VENDOR_TIMELINE_LOCK) return 0;
    if (value == 0 || value == 1) {
        SetTimelineLock(value == 1);
        return 1;
    }
    return value == -1 ? 1 + (mTimelineLocked ? 1 : 0) : 0;
}

// ---- Block processing -----------------------------------------------------

void Tarvo::PlayLockedBlock(int nFrames, const TransportInfo& info, int64_t pos, bool jump)
{
    const double sliceStart = Now();
    if (jump || mReanchorPending) {
        BeginReanchor(info, pos);
    } else if (LockedGridOutdated()) {
        // A new tempo or step length while playing on. During a replay the
        // steps still to run would move: it starts again.
        if (mCatchingUp) {
            BeginReanchor(info, pos);
        } else {
            RemapLockedGrid(pos + mLockOffset);
        }
    }
    const int64_t position = pos + mLockOffset;
    if (mCatchingUp && !CatchUp(position, sliceStart)) {
        // Nothing sounds until the replay reaches the position.
        SendOutputQueue();
        return;
    }

    int remaining = nFrames;
    int offset = 0;
    while (mSamplesToNextStep < remaining) {
        remaining -= mSamplesToNextStep;
        offset += mSamplesToNextStep;
        if (mRunPure && mLockNext == mCheckpoints.NextIndex()) StoreCheckpoint(mLockNext, offset);
        AdvanceWorld(offset, true);
        mSamplesToNextStep = LockedInterval(mLockNext);
        ++mLockNext;
    }
    mSamplesToNextStep -= remaining;

    mTracker.EmitDue(nFrames, &mOutputQueue);
    SendOutputQueue();
}

int Tarvo::LockedInterval(int64_t step) const
{
    return Countdown(mStepGrid.StepSample(step + 1) - mStepGrid.StepSample(step));
}

void Tarvo::BeginReanchor(const TransportInfo& info, int64_t pos)
{
    mReanchorPending = false;
    if (mStartSettingsApplied) RestoreLiveSettings();
    // The notes that sounded end on the block's first sample, ahead of all
    // that follows; the replay builds what is pending anew.
    mTracker.ReleaseSounding(&mOutputQueue);

    // Where the block stands. A host whose musical position agrees with its
    // sample position has kept one tempo since sample 0: steps are counted
    // from sample 0, exactly. Otherwise the tempo changed somewhere before:
    // the steps are counted from the musical position (which hosts round),
    // and the block start is placed on it.
    const double spb = SamplesPerBeat();
    const bool hasSample = info.mSamplePos >= 0.0 && info.mSamplePos < 4.0e18;
    const int64_t sample = hasSample ? static_cast<int64_t>(std::floor(info.mSamplePos + 0.5)) : pos;
    const double tolerance = spb / 960.0 + 2.0;
    const double ratio = ClampedSwingRatio(mSwingRatio);
    if (info.mPPQPos < 0.0 || !hasSample || std::fabs(info.mPPQPos * spb - info.mSamplePos) <= tolerance) {
        mLockOffset = sample - pos;
        mStepGrid.Set(mStepLength, ratio, 0, 0.0);
    } else {
        mLockOffset = 0;
        mStepGrid.Set(mStepLength, ratio, pos, info.mPPQPos * spb);
    }
    mStepGridSpb = spb;
    if (mCheckpointSpb != spb) {
        // Checkpoints hold note times in samples: another tempo or sample
        // rate makes them wrong.
        mCheckpoints.Clear();
        mCheckpointSpb = spb;
    }

    // The start scene with its own settings, then the latest checkpoint on
    // the way to the position.
    const int64_t target = mStepGrid.FirstStepAtOrAfter(pos + mLockOffset);
    ResetWorldToStartScene();
    ApplyStartSettings();
    int64_t from = mCheckpoints.Find(target);
    if (from > 0 && !RestoreCheckpoint(from)) {
        ResetWorldToStartScene();
        from = 0;
    }
    mReplayNext = from;
    mReplayOrigin = mStepGrid.StepSample(from);
    mCatchingUp = true;
    mRunPure = false;
}

bool Tarvo::LockedGridOutdated() const
{
    return mStepGrid.StepLength() != mStepLength || mStepGrid.SwingRatio() != ClampedSwingRatio(mSwingRatio) ||
           mStepGridSpb != SamplesPerBeat();
}

void Tarvo::RemapLockedGrid(int64_t position)
{
    // The musical position of the block start stays where it is; the steps
    // after it follow the new lengths. A new tempo keeps the step the clock
    // counts down to; a new step length counts the steps from the position.
    const double spb = SamplesPerBeat();
    const double beats = mStepGrid.PositionAt(position) / mStepGridSpb;
    const double oldStepBeats = mStepGrid.StepLength() / mStepGridSpb;
    const double oldRatio = mStepGrid.SwingRatio();
    const double ratio = ClampedSwingRatio(mSwingRatio);
    mStepGrid.Set(mStepLength, ratio, position, beats * spb);
    mStepGridSpb = spb;
    if (std::fabs(mStepLength / spb - oldStepBeats) > 1e-9 * oldStepBeats || ratio != oldRatio) {
        mLockNext = mStepGrid.FirstStepAtOrAfter(position);
    }
    mSamplesToNextStep = Countdown(mStepGrid.StepSample(mLockNext) - position);
}

bool Tarvo::HostTransportPlaying()
{
    TransportInfo transport;
    GetTransportInfo(&transport);
    return transport.mMusical && transport.mTransportIsRunning;
}

bool Tarvo::HostProcessesOffline()
{
    return HostCallback(audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f) == PROCESS_LEVEL_OFFLINE;
}

bool Tarvo::CatchUp(int64_t position, double sliceStart)
{
    const int64_t target = mStepGrid.FirstStepAtOrAfter(position);
    if (!mStartSettingsApplied) ApplyStartSettings();
    // A host rendering offline waits for it; a real-time one gets slices.
    const bool whole = mReplayNext < target && HostProcessesOffline();
    int steps = 0;
    while (mReplayNext < target) {
        ReplayStep();
        ++steps;
        if (!whole && steps >= MIN_CATCH_UP_STEPS && steps % STEPS_BETWEEN_CLOCK_READS == 0 &&
            Now() - sliceStart > CATCH_UP_SLICE_SECONDS) {
            break;
        }
    }
    if (mReplayNext < target) {
        RestoreLiveSettings();
        return false;
    }
    // The block starts at the position: what the replay left pending is
    // counted from there.
    if (position >= mReplayOrigin) {
        mTracker.EmitSilently(Countdown(position - mReplayOrigin));
    } else {
        mTracker.Postpone(Countdown(mReplayOrigin - position));
    }
    mRunPure = !RestoreLiveSettings();
    mLockNext = target;
    mSamplesToNextStep = Countdown(mStepGrid.StepSample(target) - position);
    mCatchingUp = false;
    ShowWorld();
    return true;
}

void Tarvo::ReplayStep()
{
    const int64_t sample = mStepGrid.StepSample(mReplayNext);
    mTracker.EmitSilently(Countdown(sample - mReplayOrigin));
    mReplayOrigin = sample;
    if (mReplayNext == mCheckpoints.NextIndex()) StoreCheckpoint(mReplayNext, 0);
    AdvanceWorld(0, false);
    ++mReplayNext;
}

void Tarvo::ShowWorld()
{
    if (!mpView) return;
    UpdateGridLayout();
    ShowGrid();
    mpView->MarkSequencerPanelChanged();
}

void Tarvo::StopOnStartScene()
{
    if (mStartSettingsApplied) RestoreLiveSettings();
    mCatchingUp = false;
    mRunPure = false;
    mExpectedValid = false;
    // The grid, the strips and the sequencer show the start scene; the
    // settings stay as the host and the editor left them.
    ResetWorldToStartScene();
    ReapplyGridSettings();
    UpdateGridLayout();
    ShowGrid();
    if (mpView) mpView->MarkSequencerPanelChanged();
}

void Tarvo::ResetWorldToStartScene()
{
    const StateImage& start = mStartScene;
    mRandom = start.mRandom;
    mGrid = start.mGrid;
    mSequencer = start.mSequencer;
    mSequencer.mCurrentStep = 0;
    for (int step = 0; step < NUM_SEQ_STEPS; ++step) {
        for (int paramIdx : {EParam_FirstLock + step, EParam_FirstMute + step}) {
            IPlugParam* pFlag = GetParam(paramIdx);
            const double flag = paramIdx < EParam_FirstMute ? mSequencer.mLockFlags[step] : mSequencer.mMuteFlags[step];
            if (pFlag->Value() == flag) continue;
            pFlag->SetClamped(flag);
            if (mpView) mpView->ShowParamValue(paramIdx, pFlag->ToNormalized());
        }
    }
    mSimpleCount = 0;
    if (mPatternsDiverged) {
        mPatternsDiverged = false;
        for (int slot = 0; slot < NUM_PATTERN_SLOTS; ++slot) {
            mPatterns[slot] = start.mPatterns[slot];
            mPatternOccupied[slot] = start.mPatternFlags[slot];
            if (mpView) mpView->ShowPatternSlot(slot, mPatternOccupied[slot], &mPatterns[slot]);
        }
    }
    mSimulation.ClearStep();
}

void Tarvo::ReapplyGridSettings()
{
    // The grid's window and the sequence's length are settings kept in the
    // world's records: they follow the parameters again.
    ChangeSourceScope source(this, EChangeSource_Internal);
    bool wasRestoring = mRestoringParams;
    mRestoringParams = true;
    for (int paramIdx : {EParam_NumRows, EParam_NumColums, EParam_SeqNStep}) OnParamChanged(paramIdx);
    mRestoringParams = wasRestoring;
}

bool Tarvo::ApplySettings(const double* values)
{
    ChangeSourceScope source(this, EChangeSource_Internal);
    bool wasRestoring = mRestoringParams;
    mRestoringParams = true;
    bool changed = false;
    for (int paramIdx = 0; paramIdx < EParam_NumVisible; ++paramIdx) {
        IPlugParam* pParam = GetParam(paramIdx);
        if (pParam->Value() == values[paramIdx]) continue;
        pParam->SetClamped(values[paramIdx]);
        OnParamChanged(paramIdx);
        changed = true;
    }
    mRestoringParams = wasRestoring;
    if (mRecalcTiming) RecalculateTiming();
    return changed;
}

void Tarvo::ApplyStartSettings()
{
    // The skipped steps run with the start scene's values; the values the
    // host or the editor set come back after each slice.
    for (int paramIdx = 0; paramIdx < EParam_NumVisible; ++paramIdx) {
        mLiveValues[paramIdx] = GetParam(paramIdx)->Value();
    }
    ApplySettings(mStartScene.mParamValues);
    mStartSettingsApplied = true;
}

bool Tarvo::RestoreLiveSettings()
{
    mStartSettingsApplied = false;
    return ApplySettings(mLiveValues);
}

// ---- Checkpoints ----------------------------------------------------------

void Tarvo::StoreCheckpoint(int64_t step, int offset)
{
    if (!mCheckpoints.HasMemory()) return;
    if (mCheckpointSpb != SamplesPerBeat()) {
        mCheckpoints.Clear();
        mCheckpointSpb = SamplesPerBeat();
        if (step != mCheckpoints.NextIndex()) return;
    }
    // The moving parts of the world only: what steps change. Everything else
    // is the start scene's.
    SnapshotWriter writer(mCheckpoints.Scratch(), CheckpointStore::MAX_RECORD_BYTES);
    writer.U32(mRandom.mHalfW);
    writer.U32(mRandom.mHalfZ);
    writer.U8(mSequencer.mCurrentStep);
    writer.U8(mSimpleCount);
    const RoverList& rovers = mGrid.mRovers;
    writer.U8(rovers.mCount);
    for (int i = 0; i < rovers.mCount; ++i) {
        const Rover& rover = rovers.mRovers[i];
        writer.U8(rover.mRow);
        writer.U8(rover.mCol);
        writer.U16(rover.mCellid);
        writer.U8(rover.mHeading);
        writer.U8(rover.mPace);
        writer.U8(rover.mResting);
        writer.U8(rover.mCollisionCount);
    }
    int changedCells = 0;
    for (int cell = 0; cell < MAX_CELLS; ++cell) {
        if (!SameObstacle(mGrid.mCells[cell], mStartScene.mGrid.mCells[cell])) ++changedCells;
    }
    writer.U16(changedCells);
    for (int cell = 0; cell < MAX_CELLS; ++cell) {
        const Obstacle& obstacle = mGrid.mCells[cell];
        if (SameObstacle(obstacle, mStartScene.mGrid.mCells[cell])) continue;
        writer.U16(cell);
        writer.U8(obstacle.mKind);
        writer.U8(obstacle.mState);
    }
    mTracker.WriteSnapshot(offset, &writer);
    mCheckpoints.Store(step, mCheckpoints.Scratch(), writer.Ok() ? writer.Size() : 0);
}

bool Tarvo::RestoreCheckpoint(int64_t step)
{
    const int size = mCheckpoints.Read(step);
    if (size < 0) return false;
    SnapshotReader reader(mCheckpoints.Scratch(), size);
    mRandom.mHalfW = reader.U32();
    mRandom.mHalfZ = reader.U32();
    mSequencer.mCurrentStep = reader.U8() % SequencerState::MAX_STEPS;
    mSimpleCount = reader.U8();
    RoverList& rovers = mGrid.mRovers;
    const int count = reader.U8();
    if (count > MAX_ROVERS) return false;
    rovers.mCount = count;
    for (int i = 0; i < count; ++i) {
        Rover& rover = rovers.mRovers[i];
        rover.mRow = reader.U8() % MAX_ROWS;
        rover.mCol = reader.U8() % MAX_COLS;
        rover.mCellid = reader.U16() % MAX_CELLS;
        rover.mHeading = reader.U8() % EHeading_NumHeadings;
        rover.mPace = reader.U8() & 1;
        rover.mResting = reader.U8() & 1;
        rover.mCollisionCount = reader.U8();
    }
    const int changedCells = reader.U16();
    for (int i = 0; i < changedCells && reader.Ok(); ++i) {
        Obstacle& obstacle = mGrid.mCells[reader.U16() % MAX_CELLS];
        obstacle.mKind = static_cast<int8_t>(reader.U8());
        obstacle.mState = static_cast<int8_t>(reader.U8());
    }
    return mTracker.ReadSnapshot(&reader) && reader.Ok();
}

// ---- Changes made with the lock on --------------------------------------

Tarvo::ELockedChange Tarvo::ClassifyLockedChange(int paramIdx)
{
    if (paramIdx >= EParam_FirstCell && paramIdx < EParam_FirstCell + MAX_CELLS) return ELockedChange_Gesture;
    if (paramIdx >= EParam_FirstLock && paramIdx < EParam_FirstMute + NUM_SEQ_STEPS) return ELockedChange_StepFlag;
    if (paramIdx >= EParam_NumVisible) return ELockedChange_None;
    if (paramIdx >= EParam_RvDelOld && paramIdx <= EParam_ClrAll) return ELockedChange_Gesture;
    if (paramIdx >= EParam_MFlipH && paramIdx <= EParam_MStagrD) return ELockedChange_Gesture;
    if (paramIdx >= EParam_NudgeNew && paramIdx <= EParam_DragOld) return ELockedChange_Gesture;
    if (paramIdx >= EParam_Trans1up && paramIdx < EParam_Trans1dn + NUM_SCALE_SLOTS) return ELockedChange_Octave;
    if (paramIdx >= EParam_Save1 && paramIdx < EParam_Save1 + NUM_PATTERN_SLOTS) return ELockedChange_Pattern;
    if (paramIdx >= EParam_Clear1 && paramIdx < EParam_Clear1 + NUM_PATTERN_SLOTS) return ELockedChange_Pattern;
    if (paramIdx >= EParam_Restore1 && paramIdx < EParam_Restore1 + NUM_PATTERN_SLOTS) return ELockedChange_Recall;
    return ELockedChange_Setting;
}

void Tarvo::OnLockedParamChange(int paramIdx, double value)
{
    if (mChangeSource == EChangeSource_Internal) return;
    const ELockedChange kind = ClassifyLockedChange(paramIdx);
    if (kind == ELockedChange_None) return;
    const bool fired = value > 0.5 && !IsRestoringParams();
    // A host sends the automation of the position it starts from before the
    // first block of the play: that is not an edit of the stopped song.
    const bool stopped = !mWasRunning && !(mEnabled && HostTransportPlaying());
    // Stopped, every change edits the start scene; playing, the editor's
    // settings do too.
    const bool keep = stopped || (IsChangeFromGui() && mChangeSource == EChangeSource_Host);

    switch (kind) {
    case ELockedChange_Gesture:
    case ELockedChange_Recall: {
        const bool cell = paramIdx >= EParam_FirstCell;
        if (cell ? IsRestoringParams() : !fired) return;
        if (stopped) {
            // A button's own value too (nudge and drag keep their 1).
            if (!cell) mStartScene.mParamValues[paramIdx] = GetParam(paramIdx)->Value();
            TakeGridIntoStartScene(kind == ELockedChange_Recall);
        } else {
            // Heard now; gone at the next stop, because it happened at a
            // moment the start scene cannot hold.
            TaintRun(true);
        }
        return;
    }
    case ELockedChange_Pattern: {
        if (!fired) return;
        const int slot = paramIdx >= EParam_Clear1 ? paramIdx - EParam_Clear1 : paramIdx - EParam_Save1;
        if (keep) {
            mStartScene.mPatterns[slot] = mPatterns[slot];
            mStartScene.mPatternFlags[slot] = mPatternOccupied[slot];
        } else {
            mPatternsDiverged = true;
        }
        return;
    }
    case ELockedChange_Octave:
    case ELockedChange_Setting:
    case ELockedChange_StepFlag: {
        if (kind == ELockedChange_Octave && !fired) return;
        const int target =
            kind == ELockedChange_Octave ? EParam_Transp1 + (paramIdx - EParam_Trans1up) % NUM_SCALE_SLOTS : paramIdx;
        // A value sent again changes nothing (hosts resend theirs).
        bool differs;
        if (kind == ELockedChange_StepFlag) {
            const int step = (paramIdx - EParam_FirstLock) % NUM_SEQ_STEPS;
            differs = mSequencer.mLockFlags[step] != mStartScene.mSequencer.mLockFlags[step] ||
                      mSequencer.mMuteFlags[step] != mStartScene.mSequencer.mMuteFlags[step];
        } else {
            differs = GetParam(target)->Value() != mStartScene.mParamValues[target];
        }
        if (!differs) return;
        if (keep) {
            TakeSettingIntoStartScene(target);
            StartSceneEdited();
        } else {
            // Heard, not kept: the host plays it back from its own timeline.
            TaintRun(false);
        }
        return;
    }
    case ELockedChange_None:
        return;
    }
}

void Tarvo::TakeSettingIntoStartScene(int paramIdx)
{
    StateImage& start = mStartScene;
    if (paramIdx >= EParam_FirstLock && paramIdx < EParam_FirstMute + NUM_SEQ_STEPS) {
        const int step = (paramIdx - EParam_FirstLock) % NUM_SEQ_STEPS;
        start.mSequencer.mLockFlags[step] = mSequencer.mLockFlags[step];
        start.mSequencer.mMuteFlags[step] = mSequencer.mMuteFlags[step];
        return;
    }
    start.mParamValues[paramIdx] = GetParam(paramIdx)->Value();
    // The records that mirror a setting take it as the handler left it.
    if (paramIdx == EParam_NumColums) start.mGrid.SetLastCol(mGrid.mLastCol);
    if (paramIdx == EParam_NumRows) start.mGrid.SetLastRow(mGrid.mLastRow);
    if (paramIdx == EParam_SeqNStep) start.mSequencer.SetStepCount(mSequencer.mStepCount);
    for (int slot = 0; slot < NUM_SCALE_SLOTS; ++slot) {
        if (paramIdx == EParam_Transp1 + slot) start.mScales[slot].mTranspose = mNotes.mScales[slot].mTranspose;
        if (paramIdx == EParam_Rotate1 + slot) start.mScales[slot].mRotate = mNotes.mScales[slot].mRotate;
        if (paramIdx == EParam_Mutate1 + slot) start.mScales[slot].mMutate = mNotes.mScales[slot].mMutate;
    }
}

void Tarvo::TakeGridIntoStartScene(bool withWindow)
{
    // An edit of the stopped world: its rovers and obstacles. A pattern
    // brought back also brings its window, which the size settings follow.
    Matrix& grid = mStartScene.mGrid;
    if (withWindow) {
        grid = mGrid;
        mStartScene.mParamValues[EParam_NumRows] = GetParam(EParam_NumRows)->Value();
        mStartScene.mParamValues[EParam_NumColums] = GetParam(EParam_NumColums)->Value();
    } else {
        grid.mRovers = mGrid.mRovers;
        for (int cell = 0; cell < MAX_CELLS; ++cell) grid.mCells[cell] = mGrid.mCells[cell];
    }
    StartSceneEdited();
}

void Tarvo::EditorSettingChanged()
{
    StateImage& start = mStartScene;
    for (int step = 0; step < SequencerState::MAX_STEPS; ++step)
        start.mSequencer.mLevels[step] = mSequencer.mLevels[step];
    for (int slot = 0; slot < NUM_SCALE_SLOTS; ++slot) {
        std::memcpy(start.mScales[slot].mScaleNotes, mNotes.mScales[slot].mScaleNotes,
                    sizeof start.mScales[slot].mScaleNotes);
    }
    std::memcpy(start.mScaleName, mScaleName, sizeof start.mScaleName);
    StartSceneEdited();
}

void Tarvo::StartSceneEdited()
{
    mCheckpoints.Clear();
    if (mWasRunning) TaintRun(true);
}

void Tarvo::TaintRun(bool worldChanged)
{
    mRunPure = false;
    // A replay under way would go on from a world that is no longer the
    // start scene's: it starts again.
    if (worldChanged && mCatchingUp) mReanchorPending = true;
}
