#include "PlayCommand.h"

#include <algorithm>
#include <cstdio>

#include "HostSession.h"
#include "HostText.h"
#include "JsonWriter.h"
#include "MidiFileWriter.h"
#include "PlayOptions.h"

namespace {
std::string HexByte(int value)
{
    const char* DIGITS = "0123456789abcdef";
    return std::string(1, DIGITS[(value >> 4) & 0xF]) + DIGITS[value & 0xF];
}

// What the play loop keeps beside the session.
struct PlayRun {
    HostSession* session;
    const PlayOptions* options;
    MidiFileWriter midiFile;
    int frames;
    std::vector<VstMidiEvent> pendingMidi;
    std::string error;
};

bool SaveChunk(HostSession* session, const std::string& path, std::string* error)
{
    std::vector<uint8_t> chunk;
    if (!session->GetChunk(&chunk, error)) return false;
    return WriteWholeFile(path, chunk.data(), chunk.size(), error);
}

bool ApplyAction(PlayRun* run, const ScriptAction& action)
{
    HostTransport& transport = run->session->Transport();
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
        run->midiFile.AddTempo(transport.ElapsedQuarters(), action.number);
        break;
    case EScriptAction_TimeSignature:
        transport.SetTimeSignature(action.sigNumerator, action.sigDenominator);
        run->midiFile.AddTimeSignature(transport.ElapsedQuarters(), action.sigNumerator, action.sigDenominator);
        break;
    case EScriptAction_Param:
        run->session->SetParameter(action.index, float(action.number));
        break;
    case EScriptAction_Midi: {
        VstMidiEvent event = {};
        event.type = kVstMidiType;
        event.byteSize = sizeof(VstMidiEvent);
        event.deltaFrames = action.midiOffset;
        for (int i = 0; i < 3; ++i) event.midiData[i] = char(action.midi[i]);
        run->pendingMidi.push_back(event);
        break;
    }
    case EScriptAction_Save:
        if (!SaveChunk(run->session, action.path, &run->error)) {
            run->error = "save before block " + std::to_string(action.block) + ": " + run->error;
            return false;
        }
        break;
    case EScriptAction_Load: {
        std::vector<uint8_t> chunk;
        if (!ReadWholeFile(action.path, &chunk, &run->error)) {
            run->error = "load before block " + std::to_string(action.block) + ": " + run->error;
            return false;
        }
        run->session->SetChunk(chunk);
        break;
    }
    case EScriptAction_BlockSize:
        run->frames = action.index;
        break;
    }
    return true;
}

bool RunBlocks(PlayRun* run)
{
    std::vector<ScriptAction> actions = run->options->actions;
    std::stable_sort(actions.begin(), actions.end(),
                     [](const ScriptAction& a, const ScriptAction& b) { return a.block < b.block; });
    int64_t blocks = run->options->BlockCount();
    size_t next = 0;
    for (int64_t block = 0; block < blocks; ++block) {
        run->pendingMidi.clear();
        for (; next < actions.size() && actions[next].block == block; ++next) {
            if (!ApplyAction(run, actions[next])) return false;
        }
        if (!run->pendingMidi.empty()) run->session->DeliverMidi(run->pendingMidi);
        run->session->ProcessBlock(run->frames, run->options->precision);
    }
    if (next < actions.size())
        ReportWarning(std::to_string(actions.size() - next) + " action(s) after the last block (" +
                      std::to_string(blocks - 1) + ") were not applied");
    return true;
}

bool WriteOutputFiles(HostSession* session, const PlayOptions& options, const MidiFileWriter& midiFile,
                      std::string* error)
{
    if (!options.eventsPath.empty()) {
        std::string text;
        for (const ReceivedMidiEvent& event : session->MidiEvents())
            text += FormatEventLine(event.samplePosition, event.status, event.data1, event.data2);
        if (!WriteWholeFile(options.eventsPath, text, error)) return false;
    }
    if (!options.automationPath.empty()) {
        std::string text;
        for (const ReceivedAutomation& call : session->Automation())
            text += FormatAutomationLine(call.block, call.index, call.value);
        if (!WriteWholeFile(options.automationPath, text, error)) return false;
    }
    if (!options.midPath.empty()) {
        std::vector<uint8_t> bytes = midiFile.Build();
        if (!WriteWholeFile(options.midPath, bytes.data(), bytes.size(), error)) return false;
    }
    return true;
}

std::string Summary(HostSession* session)
{
    int64_t noteOns = 0;
    for (const ReceivedMidiEvent& event : session->MidiEvents()) {
        if ((event.status & 0xF0) == 0x90 && event.data2 > 0) ++noteOns;
    }
    JsonWriter json;
    json.BeginObject();
    json.Key("blocks");
    json.Integer(session->BlocksProcessed());
    json.Key("samples");
    json.Integer(session->FramesProcessed());
    json.Key("events");
    json.Integer(int64_t(session->MidiEvents().size()));
    json.Key("noteOns");
    json.Integer(noteOns);
    json.Key("automation");
    json.Integer(int64_t(session->Automation().size()));
    json.Key("outputPeak");
    json.Number(session->OutputPeak());
    json.EndObject();
    return json.Text();
}
}  // namespace

std::string FormatEventLine(int64_t samplePosition, int status, int data1, int data2)
{
    return std::to_string(samplePosition) + " " + HexByte(status) + " " + HexByte(data1) + " " + HexByte(data2) +
           "\n";
}

std::string FormatAutomationLine(int64_t block, int32_t index, float value)
{
    return std::to_string(block) + " " + std::to_string(index) + " " + FormatFixed(value, 6) + "\n";
}

int RunPlay(HostSession* session, const PlayOptions& options, std::string* report)
{
    std::string error;
    std::vector<uint8_t> chunkIn;
    if (!options.chunkInPath.empty() && !ReadWholeFile(options.chunkInPath, &chunkIn, &error)) {
        ReportError("--chunk-in: " + error);
        return EExitCode_Failure;
    }
    if (!session->CanProcess(options.precision, &error)) {
        ReportError(error);
        return EExitCode_Failure;
    }
    session->SetTransport(options.transport);
    session->SetTimeProvided(options.timeProvided);

    PlayRun run{session, &options, MidiFileWriter(), options.blockSize, {}, std::string()};
    run.midiFile.AddTempo(0.0, options.transport.tempo);
    run.midiFile.AddTimeSignature(0.0, options.transport.sigNumerator, options.transport.sigDenominator);

    session->Open();
    session->SetSampleRate(options.transport.sampleRate);
    session->SetBlockSize(options.blockSize);
    session->SetActive(true);
    if (!options.chunkInPath.empty()) session->SetChunk(chunkIn);

    bool ok = true;
    for (const ParamSetting& setting : options.params) {
        int32_t index = setting.byName ? session->FindParameter(setting.name) : setting.index;
        if (index < 0) {
            error = "--set: the plug-in declares no parameter named '" + setting.name + "'";
            ok = false;
            break;
        }
        session->SetParameter(index, float(setting.value));
    }
    if (ok && !RunBlocks(&run)) {
        error = run.error;
        ok = false;
    }
    if (ok && !options.chunkOutPath.empty() && !SaveChunk(session, options.chunkOutPath, &error)) {
        error = "--chunk-out: " + error;
        ok = false;
    }
    session->SetActive(false);
    session->Close();
    if (!ok) {
        ReportError(error);
        return EExitCode_Failure;
    }

    if (session->InvalidEvents() > 0)
        ReportWarning("the plug-in sent " + std::to_string(session->InvalidEvents()) +
                      " invalid event list entries (null events or bad counts); they were skipped");
    if (session->IgnoredEvents() > 0)
        ReportWarning("the plug-in sent " + std::to_string(session->IgnoredEvents()) +
                      " events that are not MIDI events; they were ignored");

    for (const ReceivedMidiEvent& event : session->MidiEvents())
        run.midiFile.AddMessage(event.quarter, event.status, event.data1, event.data2);
    run.midiFile.SetEnd(session->Transport().ElapsedQuarters());
    if (!WriteOutputFiles(session, options, run.midiFile, &error)) {
        ReportError(error);
        return EExitCode_Failure;
    }
    *report = Summary(session);
    return EExitCode_Success;
}

int PlayCommand::Run(const std::vector<std::string>& args)
{
    PlayOptions options;
    std::string error;
    if (!ParsePlayOptions(args, &options, &error)) {
        ReportError(error);
        ReportError("usage: tarvo-host play PLUGIN [options]; see tarvo-host --help");
        return EExitCode_Usage;
    }
    HostSession session;
    if (!session.LoadFile(options.pluginPath, &error)) {
        ReportError(error);
        return EExitCode_Failure;
    }
    std::string report;
    int result = RunPlay(&session, options, &report);
    if (result != EExitCode_Success) return result;
    std::fwrite(report.data(), 1, report.size(), stdout);
    std::fflush(stdout);
    return EExitCode_Success;
}
