// The Tarvo3 processor: the plug-in object the host creates. It owns the
// grid world, drives it from the host's transport with a musical step clock
// and turns every step's wall strikes into MIDI notes inside the same audio
// block. It makes no sound of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Configurable.h"
#include "FileFolders.h"
#include "HomeDirectory.h"
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

    // Construction.
    void RegisterParameters();
    void InitInternalParameters();
    void LoadMidiMap(HomeDirectory& home);

    // Clock.
    void RecalculateTimingIfNeeded(const TransportInfo& transport);
    int64_t BlockPosition(const TransportInfo& info) const;
    // Places the next step and the swing phase for a block at pos.
    void ReanchorOnTimeline(int64_t pos);
    void RunStep(int offset);
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

    // Files: configuration, MIDI map, the scale's name.
    Configuration mConfiguration;
    FileFolders mFolders;
    MidiMapEntry mControlMap[128];
    MidiMapEntry mNoteMap[128];
    char mScaleName[StateImage::SCALE_NAME_SIZE];
    // Scratch of LoadState, kept here so that a load allocates nothing.
    StateImage mLoadedState;

    // Editor-side model state, kept here so that it works with no editor.
    std::unique_ptr<ITarvoView> mpView;
    int mRoverChoice;
    int mObstacleChoice;
    bool mRoverPaletteActive;
    bool mPatternPanelShown;
};
