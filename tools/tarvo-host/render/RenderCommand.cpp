#include "RenderCommand.h"

#include "session/HostSession.h"
#include "session/JsonWriter.h"
#include "play/PlayCommand.h"
#include "RenderOptions.h"
#include "SynthRenderer.h"
#include "session/WavFileWriter.h"

namespace {
const char* const USAGE = "render PLUGIN --synth SYNTH --wav OUT.wav [render options] [play options]";

int Failure(const std::string& error)
{
    ReportError(error);
    return EExitCode_Failure;
}

// The blocks of the run: PLUGIN's block, then the synthesiser's with the
// events PLUGIN sent for it (also those sent while the block's script
// actions and MIDI were applied).
bool RunBlocks(HostSession* plugin, PlayRun* run, SynthRenderer* synth, int64_t blocks, WavFileWriter* wav,
               size_t* nextEvent, std::string* error)
{
    for (int64_t block = 0; block < blocks; ++block) {
        if (!run->BeginBlock()) {
            *error = run->Error();
            return false;
        }
        HostTransport transport = plugin->Transport();
        run->ProcessBlock();
        const std::vector<ReceivedMidiEvent>& events = plugin->MidiEvents();
        if (!synth->RenderBlock(events.data() + *nextEvent, events.size() - *nextEvent, transport, run->BlockFrames(),
                                wav, error))
            return false;
        *nextEvent = events.size();
    }
    return true;
}
}  // namespace

int RunRender(HostSession* plugin, HostSession* synth, const RenderOptions& options, std::string* report)
{
    PlayRun run(plugin, options.play);
    SynthRenderer synthRun(synth, options);
    std::string error;
    if (!synthRun.Prepare(&error)) return Failure(error);
    if (!run.Prepare(true)) return Failure(run.Error());
    WavFileWriter wav;
    if (!wav.Open(options.wavPath, options.play.transport.sampleRate, options.wavFormat, &error))
        return Failure("--wav: " + error);

    bool ok = run.Open();
    if (!ok) error = run.Error();
    synthRun.Open();
    size_t nextEvent = 0;
    if (ok) ok = RunBlocks(plugin, &run, &synthRun, options.play.BlockCount(), &wav, &nextEvent, &error);
    if (ok) run.WarnUnappliedActions();
    // As play does: a failed run is still deactivated and closed, but no
    // state is saved from it.
    if (!run.Close(ok) && ok) {
        error = run.Error();
        ok = false;
    }
    // What PLUGIN sent while it was closed starts the tail.
    const std::vector<ReceivedMidiEvent>& events = plugin->MidiEvents();
    int tailBlock = run.BlockFrames() > 0 ? run.BlockFrames() : options.play.blockSize;
    if (ok)
        ok = synthRun.RenderTail(events.data() + nextEvent, events.size() - nextEvent, plugin->Transport(),
                                 options.TailFrames(), tailBlock, &wav, &error);
    synthRun.Close();
    if (!ok) return Failure(error);
    if (!run.WriteResults()) return Failure(run.Error());
    if (!wav.Commit(&error)) return Failure("--wav: " + error);

    JsonWriter json;
    json.BeginObject();
    run.WriteSummaryMembers(&json);
    json.Key("tailFrames");
    json.Integer(options.TailFrames());
    json.Key("wavFrames");
    json.Integer(wav.Frames());
    json.Key("synthPeak");
    json.Number(synthRun.OutputPeak());
    json.EndObject();
    *report = json.Text();
    return EExitCode_Success;
}

int RenderCommand::Run(const std::vector<std::string>& args)
{
    RenderOptions options;
    std::string error;
    if (!ParseRenderOptions(args, &options, &error)) return ReportUsageError(error, USAGE);
    HostSession plugin;
    if (!LoadPlugin(&plugin, options.play.pluginPath)) return EExitCode_Failure;
    HostSession synth;
    if (!synth.LoadFile(options.synthPath, &error)) return Failure("--synth: " + error);
    std::string report;
    int result = RunRender(&plugin, &synth, options, &report);
    if (result != EExitCode_Success) return result;
    PrintReport(report);
    return EExitCode_Success;
}
