#include "PlayCommand.h"

#include <algorithm>

#include "framework/plugin/ProgramFile.h"
#include "session/HostSession.h"
#include "session/HostText.h"
#include "session/JsonWriter.h"
#include "session/MidiFileWriter.h"
#include "PlayOptions.h"

namespace {
// Tarvo3's timeline lock: effVendorSpecific with the index "Tlck" (four
// characters, little-endian) and the value 1 (on) or 0 (off); the plug-in
// answers 1.
const VstInt32 TIMELINE_LOCK_CALL = 0x6B636C54;

std::string HexByte(int value)
{
    const char* DIGITS = "0123456789abcdef";
    return std::string(1, DIGITS[(value >> 4) & 0xF]) + DIGITS[value & 0xF];
}

bool SaveChunk(HostSession* session, const std::string& path, std::string* error)
{
    std::vector<uint8_t> chunk;
    if (!session->GetChunk(&chunk, error)) return false;
    return WriteWholeFile(path, chunk.data(), chunk.size(), error);
}

// The program name of a saved program file: the file's name without its
// folder and ".fxp".
std::string ProgramNameFromPath(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() > 4) {
        std::string tail = name.substr(name.size() - 4);
        for (char& c : tail) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (tail == ".fxp") name.resize(name.size() - 4);
    }
    return name;
}

bool SaveProgramFile(HostSession* session, const std::string& path, const std::string& name, std::string* error)
{
    std::vector<uint8_t> chunk;
    if (!session->GetChunk(&chunk, error)) return false;
    const AEffect* effect = session->Effect();
    std::vector<uint8_t> file;
    ProgramFile::Build(effect->uniqueID, effect->version,
                       name.empty() ? ProgramNameFromPath(path).c_str() : name.c_str(), chunk.data(), chunk.size(),
                       &file);
    return WriteWholeFileReplacing(path, file.data(), file.size(), error);
}
}  // namespace

std::string FormatEventLine(int64_t samplePosition, int status, int data1, int data2)
{
    return std::to_string(samplePosition) + " " + HexByte(status) + " " + HexByte(data1) + " " + HexByte(data2) + "\n";
}

std::string FormatAutomationLine(int64_t block, int32_t index, float value)
{
    return std::to_string(block) + " " + std::to_string(index) + " " + FormatFixed(value, 6) + "\n";
}

PlayRun::PlayRun(HostSession* session, const PlayOptions& options)
    : mpSession(session), mOptions(options), mActions(options.actions), mFrames(options.blockSize),
      mBlockFrames(options.blockSize)
{
    std::stable_sort(mActions.begin(), mActions.end(),
                     [](const ScriptAction& a, const ScriptAction& b) { return a.block < b.block; });
}

bool PlayRun::Prepare(bool processing)
{
    mErrorCode = EExitCode_Unusable;
    if (!mOptions.chunkInPath.empty() && !ReadWholeFile(mOptions.chunkInPath, &mChunkIn, &mError)) {
        mError = "--chunk-in: " + mError;
        return false;
    }
    if (!mOptions.fxpInPath.empty()) {
        ProgramFile program;
        ProgramFile::EError why = ProgramFile::EError_TooShort;
        if (!ReadWholeFile(mOptions.fxpInPath, &mFxpIn, &mError)) {
            mError = "--fxp-in: " + mError;
            return false;
        }
        if ((why = program.Parse(mFxpIn.data(), mFxpIn.size(), 0)) != ProgramFile::EError_None) {
            mError = "--fxp-in: '" + mOptions.fxpInPath + "' is " + ProgramFile::ErrorText(why);
            return false;
        }
    }
    if (processing && !mpSession->CanProcess(mOptions.precision, &mError)) return false;
    mErrorCode = EExitCode_Failure;
    mpSession->SetTransport(mOptions.transport);
    mpSession->SetTimeProvided(mOptions.timeProvided);
    mpSession->SetOfflineProcessing(mOptions.offline);
    mMidiFile.AddTempo(0.0, mOptions.transport.tempo);
    mMidiFile.AddTimeSignature(0.0, mOptions.transport.sigNumerator, mOptions.transport.sigDenominator);
    return true;
}

bool PlayRun::Open()
{
    mpSession->Open();
    mpSession->SetSampleRate(mOptions.transport.sampleRate);
    mpSession->SetBlockSize(mOptions.blockSize);
    mpSession->SetActive(true);
    if (!mOptions.chunkInPath.empty()) LoadChunk(mChunkIn, "--chunk-in " + mOptions.chunkInPath);
    if (!mOptions.fxpInPath.empty()) {
        ProgramFile program;
        if (program.Parse(mFxpIn.data(), mFxpIn.size(), mpSession->Effect()->uniqueID) != ProgramFile::EError_None) {
            mError =
                "--fxp-in: '" + mOptions.fxpInPath + "' is " + ProgramFile::ErrorText(ProgramFile::EError_OtherPlugin);
            mErrorCode = EExitCode_Unusable;
            return false;
        }
        LoadChunk(std::vector<uint8_t>(program.Chunk(), program.Chunk() + program.ChunkSize()),
                  "--fxp-in " + mOptions.fxpInPath);
    }
    for (const ParamSetting& setting : mOptions.params) {
        int32_t index = setting.byName ? mpSession->FindParameter(setting.name) : setting.index;
        if (index < 0) {
            mError = "--set: the plug-in declares no parameter named '" + setting.name + "'";
            mErrorCode = EExitCode_Usage;
            return false;
        }
        mpSession->SetParameter(index, float(setting.value));
    }
    return true;
}

bool PlayRun::ApplyAction(const ScriptAction& action)
{
    HostTransport& transport = mpSession->Transport();
    switch (action.kind) {
    case EScriptAction_Play:
        transport.Play();
        break;
    case EScriptAction_Stop:
        transport.Stop();
        break;
    case EScriptAction_Locate:
        transport.Locate(action.sample);
        break;
    case EScriptAction_Tempo:
        transport.SetTempo(action.number);
        mMidiFile.AddTempo(transport.ElapsedQuarters(), action.number);
        break;
    case EScriptAction_TimeSignature:
        transport.SetTimeSignature(action.sigNumerator, action.sigDenominator);
        mMidiFile.AddTimeSignature(transport.ElapsedQuarters(), action.sigNumerator, action.sigDenominator);
        break;
    case EScriptAction_Param:
        mpSession->SetParameter(action.index, float(action.number));
        break;
    case EScriptAction_Midi: {
        mPendingMidi.push_back(MakeMidiEvent(action.midiOffset, action.midi[0], action.midi[1], action.midi[2]));
        break;
    }
    case EScriptAction_Save:
        if (!SaveChunk(mpSession, action.path, &mError)) {
            mError = "save before block " + std::to_string(action.block) + ": " + mError;
            return false;
        }
        break;
    case EScriptAction_Load: {
        std::vector<uint8_t> chunk;
        if (!ReadWholeFile(action.path, &chunk, &mError)) {
            mError = "load before block " + std::to_string(action.block) + ": " + mError;
            return false;
        }
        LoadChunk(chunk, "load " + action.path + " before block " + std::to_string(action.block));
        break;
    }
    case EScriptAction_BlockSize:
        mFrames = action.index;
        break;
    case EScriptAction_Lock:
        if (mpSession->Dispatch(effVendorSpecific, TIMELINE_LOCK_CALL, action.index) != 1)
            ReportWarning("lock before block " + std::to_string(action.block) +
                          ": the plug-in has no timeline lock (its vendor-specific call was not understood)");
        break;
    case EScriptAction_Loop:
        mLooping = action.index != 0;
        mLoopStart = action.sample;
        mLoopEnd = action.sampleEnd;
        transport.SetCycle(mLooping, mLoopStart, mLoopEnd);
        break;
    }
    return true;
}

void PlayRun::LoadChunk(const std::vector<uint8_t>& chunk, const std::string& what)
{
    if (mpSession->SetChunk(chunk)) return;
    ++mLoadsRefused;
    ReportWarning(what + ": the plug-in refused the state chunk (" + std::to_string(chunk.size()) + " bytes)");
}

bool PlayRun::RunBlock()
{
    if (!BeginBlock()) return false;
    ProcessBlock();
    return true;
}

bool PlayRun::BeginBlock()
{
    mPendingMidi.clear();
    for (; mNextAction < mActions.size() && mActions[mNextAction].block == mNextBlock; ++mNextAction) {
        if (!ApplyAction(mActions[mNextAction])) return false;
    }
    if (!mPendingMidi.empty()) mpSession->DeliverMidi(mPendingMidi);
    // A loop's end cuts the block that would pass it, as hosts do.
    mBlockFrames = mFrames;
    const HostTransport& transport = mpSession->Transport();
    const int64_t position = transport.SamplePosition();
    if (mLooping && transport.IsPlaying() && position < mLoopEnd && position + mBlockFrames > mLoopEnd)
        mBlockFrames = int(mLoopEnd - position);
    return true;
}

void PlayRun::ProcessBlock()
{
    mpSession->ProcessBlock(mBlockFrames, mOptions.precision);
    ++mNextBlock;
    HostTransport& transport = mpSession->Transport();
    if (mLooping && transport.IsPlaying() && transport.SamplePosition() == mLoopEnd) transport.Locate(mLoopStart);
}

void PlayRun::WarnUnappliedActions() const
{
    if (mNextAction < mActions.size())
        ReportWarning(std::to_string(mActions.size() - mNextAction) + " action(s) after the last block (" +
                      std::to_string(mNextBlock - 1) + ") were not applied");
}

bool PlayRun::Close(bool saveChunk)
{
    bool ok = true;
    if (saveChunk && !mOptions.chunkOutPath.empty() && !SaveChunk(mpSession, mOptions.chunkOutPath, &mError)) {
        mError = "--chunk-out: " + mError;
        ok = false;
    }
    if (saveChunk && ok && !mOptions.fxpOutPath.empty() &&
        !SaveProgramFile(mpSession, mOptions.fxpOutPath, mOptions.fxpName, &mError)) {
        mError = "--fxp-out: " + mError;
        ok = false;
    }
    mpSession->SetActive(false);
    mpSession->Close();
    return ok;
}

bool PlayRun::WriteResults()
{
    if (mpSession->InvalidEvents() > 0)
        ReportWarning("the plug-in sent " + std::to_string(mpSession->InvalidEvents()) +
                      " invalid event list entries (null events or bad counts); they were skipped");
    if (mpSession->IgnoredEvents() > 0)
        ReportWarning("the plug-in sent " + std::to_string(mpSession->IgnoredEvents()) +
                      " events that are not MIDI events; they were ignored");

    for (const ReceivedMidiEvent& event : mpSession->MidiEvents())
        mMidiFile.AddMessage(event.quarter, event.status, event.data1, event.data2);
    mMidiFile.SetEnd(mpSession->Transport().ElapsedQuarters());

    if (!mOptions.eventsPath.empty()) {
        std::string text;
        for (const ReceivedMidiEvent& event : mpSession->MidiEvents())
            text += FormatEventLine(event.samplePosition, event.status, event.data1, event.data2);
        if (!WriteWholeFile(mOptions.eventsPath, text, &mError)) return false;
    }
    if (!mOptions.automationPath.empty()) {
        std::string text;
        for (const ReceivedAutomation& call : mpSession->Automation())
            text += FormatAutomationLine(call.block, call.index, call.value);
        if (!WriteWholeFile(mOptions.automationPath, text, &mError)) return false;
    }
    if (!mOptions.midPath.empty()) {
        std::vector<uint8_t> bytes = mMidiFile.Build();
        if (!WriteWholeFile(mOptions.midPath, bytes.data(), bytes.size(), &mError)) return false;
    }
    return true;
}

void PlayRun::WriteSummaryMembers(JsonWriter* json) const
{
    int64_t noteOns = 0;
    for (const ReceivedMidiEvent& event : mpSession->MidiEvents()) {
        if ((event.status & 0xF0) == 0x90 && event.data2 > 0) ++noteOns;
    }
    json->Key("blocks");
    json->Integer(mpSession->BlocksProcessed());
    json->Key("samples");
    json->Integer(mpSession->FramesProcessed());
    json->Key("events");
    json->Integer(int64_t(mpSession->MidiEvents().size()));
    json->Key("noteOns");
    json->Integer(noteOns);
    json->Key("automation");
    json->Integer(int64_t(mpSession->Automation().size()));
    json->Key("loadsRefused");
    json->Integer(mLoadsRefused);
    json->Key("outputPeak");
    json->Number(mpSession->OutputPeak());
}

int RunPlay(HostSession* session, const PlayOptions& options, std::string* report)
{
    PlayRun run(session, options);
    if (!run.Prepare(true)) {
        ReportError(run.Error());
        return run.ErrorCode();
    }
    bool ok = run.Open();
    const int failureCode = ok ? EExitCode_Failure : run.ErrorCode();
    int64_t blocks = options.BlockCount();
    for (int64_t block = 0; ok && block < blocks; ++block) ok = run.RunBlock();
    if (ok) run.WarnUnappliedActions();
    // On a failure the plug-in is still deactivated and closed, but no
    // state is saved from it.
    std::string error = run.Error();
    if (!run.Close(ok)) ok = false;
    if (!ok) {
        ReportError(error.empty() ? run.Error() : error);
        return failureCode;
    }
    if (!run.WriteResults()) {
        ReportError(run.Error());
        return EExitCode_Failure;
    }
    JsonWriter json;
    json.BeginObject();
    run.WriteSummaryMembers(&json);
    json.EndObject();
    *report = json.Text();
    return EExitCode_Success;
}

std::string PlayCommand::OptionsHelp() const { return PlayOptionsHelp(); }

int PlayCommand::Run(const std::vector<std::string>& args)
{
    PlayOptions options;
    std::string error;
    if (!ParsePlayOptions(args, &options, &error)) {
        if (options.unusableInput) return ReportUnusable(error);
        return ReportUsageError(error, "play PLUGIN [options]");
    }
    if (!CheckOutputFiles(options.OutputFiles())) return EExitCode_Unusable;
    HostSession session;
    if (!LoadPlugin(&session, options.pluginPath)) return EExitCode_Unusable;
    std::string report;
    int result = RunPlay(&session, options, &report);
    if (result != EExitCode_Success) return result;
    PrintReport(report);
    return EExitCode_Success;
}
