// "tarvo-host play PLUGIN [options]": runs the plug-in through a scripted
// timeline and reports what it did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "session/HostCommand.h"
#include "session/HostScript.h"
#include "session/MidiFileWriter.h"
#include "framework/plugin/VstInterface.h"

class HostSession;
class JsonWriter;
struct PlayOptions;

class PlayCommand : public HostCommand {
public:
    const char* Name() const override { return "play"; }
    const char* Synopsis() const override { return "play PLUGIN [options]"; }
    std::string OptionsHelp() const override;
    int Run(const std::vector<std::string>& args) override;
};

// Runs a loaded, not yet opened plug-in as "play" does, from effOpen to
// effClose and the unloading of its module, then writes the files the
// options name. Returns an EExitCode; *report is the JSON summary on
// success.
int RunPlay(HostSession* session, const PlayOptions& options, std::string* report);

// A play run taken apart, for a caller that runs the blocks itself (the
// editor command runs them on an audio thread while the editor is open).
// The phases in order: Prepare, Open, RunBlock as often as wanted, Close,
// then WriteResults and the summary. A phase that fails sets Error().
class PlayRun {
public:
    PlayRun(HostSession* session, const PlayOptions& options);
    virtual ~PlayRun() {}

    // Reads --chunk-in and --fxp-in and, when blocks will be processed, checks that the
    // plug-in can process in the chosen precision; sets up the transport.
    bool Prepare(bool processing);
    // effOpen, the sample rate and block size, effMainsChanged 1, the
    // --chunk-in and --fxp-in states and the --param/--set values. A
    // program file of another plug-in fails the run.
    bool Open();
    // The next block: its script actions, its MIDI in one effProcessEvents
    // call, then processing.
    bool RunBlock();
    // RunBlock in two halves, for a caller that looks at the transport and
    // the block's size between them: the actions and the MIDI, then the
    // processing.
    bool BeginBlock();
    void ProcessBlock();
    // Frames of the block begun last (of the next one before any); a block
    // that reaches the end of a loop is cut there.
    int BlockFrames() const { return mBlockFrames; }
    int64_t BlocksRun() const { return mNextBlock; }
    // Warns about script actions scheduled after the last block run.
    void WarnUnappliedActions() const;
    // --chunk-out and --fxp-out when saveChunk, then effMainsChanged 0 and
    // effClose.
    bool Close(bool saveChunk);
    // Warnings about the plug-in's events and the --events, --mid and
    // --automation files; after Close.
    bool WriteResults();
    // The summary's members ("blocks", "samples", ...), into an open object.
    void WriteSummaryMembers(JsonWriter* json) const;
    const std::string& Error() const { return mError; }
    // The exit status of the failure: EExitCode_Unusable when an input or
    // the plug-in cannot be used (Prepare, a program file of another
    // plug-in), EExitCode_Usage for a --set name the plug-in does not
    // declare, else EExitCode_Failure.
    int ErrorCode() const { return mErrorCode; }

private:
    bool ApplyAction(const ScriptAction& action);
    // effSetChunk; a refused chunk is reported and counted, and the run goes
    // on with the state the plug-in kept.
    void LoadChunk(const std::vector<uint8_t>& chunk, const std::string& what);

    HostSession* mpSession;
    const PlayOptions& mOptions;
    std::vector<ScriptAction> mActions;  // sorted by block
    size_t mNextAction = 0;
    int64_t mNextBlock = 0;
    int mFrames;
    int mBlockFrames;
    bool mLooping = false;
    int64_t mLoopStart = 0;
    int64_t mLoopEnd = 0;
    MidiFileWriter mMidiFile;
    std::vector<uint8_t> mChunkIn;
    std::vector<uint8_t> mFxpIn;  // the whole file; its chunk is loaded
    std::vector<VstMidiEvent> mPendingMidi;
    int64_t mLoadsRefused = 0;
    std::string mError;
    int mErrorCode = EExitCode_Failure;
};

// Lines of the --events and --automation files.
std::string FormatEventLine(int64_t samplePosition, int status, int data1, int data2);
std::string FormatAutomationLine(int64_t block, int32_t index, float value);
