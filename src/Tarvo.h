// The Tarvo3 processor: the plug-in object the host creates. It owns the
// grid world, drives it from the host's transport with a musical step clock
// and turns every step's wall strikes into MIDI notes inside the same audio
// block. It makes no sound of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "CheckpointStore.h"
#include "Configurable.h"
#include "FileFolders.h"
#include "HomeDirectory.h"
#include "LockedStepGrid.h"
#include "Matrix.h"
#include "MidiMapReader.h"
#include "NoteGenerator.h"
#include "NoteTracker.h"
#include "PseudoRandom.h"
#include "ScaleFile.h"
#include "SequencerState.h"
#include "StateImage.h"
#include "StepSimulation.h"
#include "TarvoParams.h"
#include "TarvoView.h"
#include "framework/plugin/IPlugVST.h"

struct ParamChangeDesc;

class Tarvo : public IPlugVST {
public:
    // configFolder: where "Tarvo3.ini" and a relative MIDI map are looked
    // for (the module's folder; empty: nowhere, the defaults hold).
    Tarvo(audioMasterCallback hostCallback, const char* configFolder);
    ~Tarvo() override;

    void OnReset() override;
    void OnParamChanged(int paramIdx) override;
    void ProcessBlock(double** inputs, double** outputs, int nFrames, const TransportInfo& transport) override;
    void OnMidiMessage(const IMidiMessage* pMsg) override;
    bool SaveState(StateChunk* pChunk) override;
    int LoadState(StateChunk* pChunk, int startPos) override;

    // Tarvo3's vendor-specific call: effVendorSpecific with this index and
    // value 1 switches the timeline lock on, 0 off (the answer is 1); value
    // -1 asks for its state (1 + the flag).
    static constexpr int32_t VENDOR_TIMELINE_LOCK = 0x6B636C54;  // "Tlck"
    VstIntPtr OnVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    // ---- The timeline lock. With it on, the notes at every position of the
    // song depend only on the start scene (a whole state, as a project chunk
    // holds it, applying at song position 0) and on the position: every
    // start, locate, loop or load replays the start scene silently up to
    // the position. Switching it on makes the current state the start
    // scene; switching it off lets the world play on from where it stands.
    void SetTimelineLock(bool on);
    bool TimelineLocked() const { return mTimelineLocked; }
    // Diagnostics and tests.
    const StateImage& StartScene() const { return mStartScene; }
    const CheckpointStore& Checkpoints() const { return mCheckpoints; }
    // The silent replay to the position is still under way: nothing sounds.
    bool CatchingUp() const { return mCatchingUp; }
    static constexpr int CHECKPOINT_SPACING = 16;                  // steps
    static constexpr size_t CHECKPOINT_MEMORY = size_t(16) << 20;  // bytes per instance

    // A mapped MIDI controller or note moves a parameter.
    void SetParameterFromMidi(int paramIdx, double normalized);
    // The notes and name of a scale file (read by the editor) into all
    // four scale slots.
    void LoadScaleFile(const ScaleFile& file);
    // A scene's state chunk (read from its file by the editor) loaded
    // exactly as the host loads a program's chunk with effSetChunk: all or
    // nothing, under the lock. Then the host is asked to read every
    // parameter again (audioMasterUpdateDisplay), which records no
    // automation. False, with nothing changed, when the chunk is refused.
    // Unlike a host's load, which brings the lock flag the project was saved
    // with, it keeps the timeline lock as it is: with the lock on, the scene
    // becomes the start scene and the song replays from it.
    bool LoadScene(const uint8_t* chunk, int size);
    // The state chunk of a scene file, as effGetChunk gives it; taken
    // under the lock. False when there is none.
    bool SaveScene(std::vector<uint8_t>* pChunk);
    // Where the editor's file dialogs open.
    const FileFolders& Folders() const { return mFolders; }

    // The view that shows the processor's state (its editor): the processor
    // owns it from here on and tells it everything it shows at once; null
    // detaches and deletes the view there was.
    void AttachView(std::unique_ptr<ITarvoView> pView);
    // The editor's palettes choose what cell commands 19, 23 and 24 place.
    void SetRoverChoice(int choice) { mRoverChoice = choice & 15; }
    void SetObstacleChoice(int choice) { mObstacleChoice = choice >= 0 && choice < EObstacle_NumKinds ? choice : 0; }
    void SetRoverPaletteActive(bool active) { mRoverPaletteActive = active; }
    int RoverChoice() const { return mRoverChoice; }
    int ObstacleChoice() const { return mObstacleChoice; }
    bool RoverPaletteActive() const { return mRoverPaletteActive; }

    // Read access for the editor, diagnostics and tests.
    const Matrix& Grid() const { return mGrid; }
    const StepSimulation& Simulation() const { return mSimulation; }
    const SequencerState& Sequencer() const { return mSequencer; }
    // A step's accent level, as the step canvas draws it (0..255; 128
    // leaves the velocity as it is).
    void SetStepLevel(int step, int level);
    bool SequencerOn() const { return mSeqOn; }
    const NoteGenerator& Notes() const { return mNotes; }
    const NoteTracker& Tracker() const { return mTracker; }
    const PseudoRandom& Random() const { return mRandom; }
    const Matrix& Pattern(int slot) const { return mPatterns[slot]; }
    bool PatternOccupied(int slot) const { return mPatternOccupied[slot]; }
    const char* ScaleName() const { return mScaleName; }
    bool PatternPanelShown() const { return mPatternPanelShown; }
    const Configuration& GetConfiguration() const { return mConfiguration; }
    const MidiMapEntry& ControlMapEntry(int controller) const { return mControlMap[controller & 127]; }
    const MidiMapEntry& NoteMapEntry(int note) const { return mNoteMap[note & 127]; }
    double StepLength() const { return mStepLength; }
    int SamplesToNextStep() const { return mSamplesToNextStep; }
    bool ClockRunning() const { return mWasRunning; }
    int NoteLengthSamples() const { return mNoteLengthSamples; }

    // The continuity tolerance of the block position, in samples, for the
    // current timing (see ProcessBlock).
    int64_t PositionTolerance() const;

private:
    friend struct TarvoHandlers;

    // Who changed a parameter: the timeline lock keeps what the editor sets
    // while playing, but not what the host or the MIDI map set.
    enum EChangeSource {
        EChangeSource_Host,
        EChangeSource_Midi,
        // The processor itself (a load, a replay): nothing for the lock.
        EChangeSource_Internal
    };
    class ChangeSourceScope {
    public:
        ChangeSourceScope(Tarvo* pPlug, EChangeSource source) : mpPlug(pPlug), mPrevious(pPlug->mChangeSource)
        {
            pPlug->mChangeSource = source;
        }
        ~ChangeSourceScope() { mpPlug->mChangeSource = mPrevious; }

    private:
        Tarvo* mpPlug;
        EChangeSource mPrevious;
    };
    // What a change is to the timeline lock.
    enum ELockedChange {
        ELockedChange_None,      // the editor's own switches
        ELockedChange_Setting,   // a value of the scene
        ELockedChange_Octave,    // an octave button: a value of its Transp
        ELockedChange_StepFlag,  // a step's lock or mute flag
        ELockedChange_Pattern,   // a pattern slot saved or cleared
        ELockedChange_Recall,    // a pattern slot brought into the grid
        ELockedChange_Gesture    // an edit of the moving world
    };

    // Construction.
    void RegisterParameters();
    void InitInternalParameters();
    void LoadMidiMap(HomeDirectory& home);

    // Clock.
    void RecalculateTimingIfNeeded(const TransportInfo& transport);
    void RecalculateTiming();
    double SamplesPerBeat() const;
    int64_t BlockPosition(const TransportInfo& info) const;
    // Places the next step and the swing phase for a block at pos.
    void ReanchorOnTimeline(int64_t pos);
    // A step of the unlocked clock: the world's step, then the next interval.
    void RunStep(int offset);
    // The world's part of a step at a sample offset of the block; show: the
    // editor hears of it (not in a silent replay).
    void AdvanceWorld(int offset, bool show);
    void ChangeRunningState(bool running, int nFrames);
    void SendOutputQueue();
    void RecomputeHumanSamples();

    // Grid refresh after steps and edits: collisions resolved, then shown.
    void PublishStep();
    // The grid shown as it stands, with nothing resolved (after a load).
    void ShowGrid();
    // Everything a newly attached view shows.
    void ShowEverything();
    void UpdateGridLayout();
    void UpdateWallDisplay(int slot);

    // Parameter dispatch.
    void RunCellCommand(int cellId, double value);
    void PlaceOrTurnRover(int cellId, int heading, int pace);
    void ResetButton(int paramIdx);
    void ShowPanel(bool pattern, double value);

    // The timeline lock (TarvoTimeline.cpp).
    void PlayLockedBlock(int nFrames, const TransportInfo& info, int64_t pos, bool jump);
    void BeginReanchor(const TransportInfo& info, int64_t pos);
    bool LockedGridOutdated() const;
    void RemapLockedGrid(int64_t position);
    int LockedInterval(int64_t step) const;
    // Runs the silent replay toward the block at position; true when it got
    // there (the block then plays), false when the slice ran out.
    bool CatchUp(int64_t position, double sliceStart);
    void ReplayStep();
    bool HostProcessesOffline();
    bool HostTransportPlaying();
    void StopOnStartScene();
    // The moving world (random generator, grid, sequencer, Simple count,
    // pattern slots the host changed) as the start scene holds it.
    void ResetWorldToStartScene();
    void ReapplyGridSettings();
    // The scene values given to the parameters, dispatched where they
    // differ, as restored state; true when any differed.
    bool ApplySettings(const double* values);
    void ApplyStartSettings();
    bool RestoreLiveSettings();
    void ShowWorld();
    void StoreCheckpoint(int64_t step, int offset);
    bool RestoreCheckpoint(int64_t step);
    void CaptureState(StateImage* pImage) const;
    // A load's state into the instance; with locked, it becomes the start
    // scene of a locked timeline. keepLock: the lock stays as it is, the
    // chunk's own flag is not looked at.
    int LoadWholeState(StateChunk* pChunk, int startPos, bool keepLock);
    int ReadState(StateChunk* pChunk, int startPos, bool* pLocked);
    void ApplyLoadedState();
    void AfterLoad(bool locked);
    // A change of the parameter, made with the lock on (OnParamChanged).
    void OnLockedParamChange(int paramIdx, double value);
    static ELockedChange ClassifyLockedChange(int paramIdx);
    void TakeSettingIntoStartScene(int paramIdx);
    void TakeGridIntoStartScene(bool withWindow);
    // The start scene changed: its checkpoints are stale, and a playing run
    // no longer is the start scene's.
    void StartSceneEdited();
    // The playing run is no longer the start scene's; worldChanged: the
    // world itself was edited (a replay under way starts again).
    void TaintRun(bool worldChanged);
    // The editor's settings that are no parameters (step levels, scale
    // files): into the start scene too.
    void EditorSettingChanged();
    void DispatchParam(int paramIdx, double value);

    // Patterns.
    void SavePattern(int slot);
    void RestorePattern(int slot);
    void ClearPattern(int slot);

    // Scales.

    // The grid world.
    PseudoRandom mRandom;
    Matrix mGrid;
    NoteGenerator mNotes;
    StepSimulation mSimulation;
    NoteTracker mTracker;
    Matrix mPatterns[NUM_PATTERN_SLOTS];
    bool mPatternOccupied[NUM_PATTERN_SLOTS];
    SequencerState mSequencer;
    bool mSeqOn;
    std::vector<IMidiMessage> mOutputQueue;

    // Step timing.
    double mTimingSampleRate;
    double mLastTempo;
    int mLastTimeSigNum;
    int mLastTimeSigDen;
    bool mRecalcTiming;
    double mStepLength;
    double mStepFraction;
    double mFractionAccumulator;
    int mSwingFirst;
    int mSwingSecond;
    bool mSwingPhase;
    int mSamplesToNextStep;
    int64_t mLastPosition;
    int64_t mExpectedPosition;
    bool mExpectedValid;        // a running block has set mExpectedPosition (and no load came since)
    double mExpectedSamplePos;  // host sample position at which the next block is expected
    int mLastBlockFrames;       // length of the last running block
    bool mWasRunning;
    bool mResyncPending;
    int mNoteLengthSamples;
    int mRepeatLengthSamples;
    int mSimple;
    int mSimpleCount;
    double mTimeUnitBeats;
    double mLengthUnitBeats;
    double mRepeatUnitBeats;
    double mSlow;
    double mSwingRatio;
    bool mTimeDouble;
    bool mTimeHalf;
    bool mEnabled;
    double mHuman;
    double mHumanSamples;
    double mDurationJitter;

    // Parameters.
    const ParamChangeDesc* mpParamChangeDesc[EParam_NumParams];
    bool mGridChanged;
    int mDispatchDepth;
    EChangeSource mChangeSource;

    // Timeline lock.
    bool mTimelineLocked;
    bool mLoadingScene = false;  // the load under way is the editor's scene load
    StateImage mStartScene;
    CheckpointStore mCheckpoints;
    double mCheckpointSpb;  // samples per beat the checkpoints were taken at
    LockedStepGrid mStepGrid;
    double mStepGridSpb;         // samples per beat of mStepGrid
    int64_t mLockOffset;         // host sample position minus block position, from the re-anchor
    int64_t mLockNext;           // index of the next step
    bool mReanchorPending;       // the next running block re-anchors (a load, the lock switched on)
    bool mCatchingUp;            // the silent replay has not reached the position yet
    int64_t mReplayNext;         // next step of the replay
    int64_t mReplayOrigin;       // sample the tracker's times count from during the replay
    bool mStartSettingsApplied;  // the replay's slice runs with the start scene's values
    bool mRunPure;               // the playing world is the start scene's, step for step
    bool mPatternsDiverged;      // the host changed pattern slots while playing
    double mLiveValues[EParam_NumVisible];

    // Files: configuration, MIDI map, the scale's name.
    Configuration mConfiguration;
    FileFolders mFolders;
    MidiMapEntry mControlMap[128];
    MidiMapEntry mNoteMap[128];
    char mScaleName[StateImage::SCALE_NAME_SIZE];
    // Scratch of LoadState and SaveState, allocated with the instance so
    // that they allocate nothing (apart from the instance, whose size stays
    // within what allocators serve from their pools).
    std::unique_ptr<StateImage> mpScratchState;

    // Editor-side model state, kept here so that it works with no editor.
    std::unique_ptr<ITarvoView> mpView;
    int mRoverChoice;
    int mObstacleChoice;
    bool mRoverPaletteActive;
    bool mPatternPanelShown;
};
