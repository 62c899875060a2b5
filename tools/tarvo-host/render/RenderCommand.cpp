#include "RenderCommand.h"

#include <cmath>
#include <cstdio>

#include "session/HostSession.h"
#include "session/HostText.h"
#include "session/JsonWriter.h"
#include "session/MidiFileReader.h"
#include "play/PlayCommand.h"
#include "RenderOptions.h"
#include "SynthRenderer.h"
#include "session/WavFileWriter.h"

namespace {
const char* const USAGE =
    "render PLUGIN|--midi-in FILE.mid --synth SYNTH --wav OUT.wav [render options] [play options]";

int Failure(const std::string& error, int code = EExitCode_Failure)
{
    ReportError(error);
    return code;
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

// The level of the file: its peak in the summary, and a warning when it
// goes over full scale.
// What both renders report of their output: the tail, the file's length
// and level, and a warning when it goes over full scale.
void WriteOutput(const WavFileWriter& wav, const SynthRenderer& synthRun, const RenderOptions& options,
                 JsonWriter* json)
{
    json->Key("tailFrames");
    json->Integer(options.TailFrames());
    json->Key("wavFrames");
    json->Integer(wav.Frames());
    json->Key("synthPeak");
    json->Number(synthRun.OutputPeak());
    const double peakDb = wav.Peak() > 0.0 ? 20.0 * std::log10(wav.Peak()) : -INFINITY;
    json->Key("wavPeakDbfs");
    json->Number(peakDb);
    json->Key("samplesOverFullScale");
    json->Integer(wav.OverSamples());
    if (wav.OverSamples() == 0) return;
    const std::string peak = "+" + FormatFixed(peakDb, 1) + " dBFS";
    const std::string fix = "lower the level with --gain " +
                            FormatFixed(options.gainDb - std::ceil(peakDb * 10.0) / 10.0 - 0.1, 1) +
                            " (dB) or the synthesiser's volume";
    const bool kept = options.wavFormat == EWavFormat_Float32;
    ReportWarning("the WAV peaks at " + peak + ": " + std::to_string(wav.OverSamples()) +
                  (kept ? " samples over full scale, kept unclipped in the float32 file; " + fix +
                              " before it is converted to fixed point"
                        : " samples clipped at full scale; " + fix + " (or keep the overs with --wav-format float32)"));
}
}  // namespace

int RunRender(HostSession* plugin, HostSession* synth, const RenderOptions& options, std::string* report)
{
    PlayRun run(plugin, options.play);
    SynthRenderer synthRun(synth, options);
    std::string error;
    if (!synthRun.Prepare(&error)) return Failure(error, EExitCode_Unusable);
    if (!run.Prepare(true)) return Failure(run.Error(), run.ErrorCode());
    WavFileWriter wav;
    if (!wav.Open(options.wavPath, options.play.transport.sampleRate, options.wavFormat, &error))
        return Failure("--wav: " + error, EExitCode_Unusable);

    bool ok = run.Open();
    int failure = EExitCode_Failure;
    if (!ok) {
        error = run.Error();
        failure = run.ErrorCode();
    }
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
    if (!ok) return Failure(error, failure);
    if (!run.WriteResults()) return Failure(run.Error());
    if (!wav.Commit(&error)) return Failure("--wav: " + error);

    JsonWriter json;
    json.BeginObject();
    run.WriteSummaryMembers(&json);
    WriteOutput(wav, synthRun, options, &json);
    json.EndObject();
    *report = json.Text();
    return EExitCode_Success;
}

// A file whose events lie further out than a WAV file reaches (a damaged or
// hostile delta time) is refused before any work.
bool MidiFileFitsWav(const MidiFileReader& file, const RenderOptions& options, std::string* error)
{
    const double rate = options.play.transport.sampleRate;
    const int64_t maxFrames = WavFileWriter::MaxFrames(options.wavFormat);
    if (options.play.blocks >= 0 || file.LengthSeconds() * rate < double(maxFrames - options.TailFrames())) return true;
    char text[160];
    std::snprintf(text, sizeof text, "its last event lies at %.0f s, longer than a WAV file can hold (%.0f s)",
                  file.LengthSeconds(), double(maxFrames) / rate);
    *error = text;
    return false;
}

int RunMidiFileRender(const MidiFileReader& file, HostSession* synth, const RenderOptions& given, std::string* report)
{
    // The instrument starts at the file's first tempo; the transport
    // follows the tempo map block by block.
    RenderOptions options = given;
    options.play.transport.tempo = file.TempoAt(0.0);
    const double rate = options.play.transport.sampleRate;
    const int frames = options.play.blockSize;
    // By default every event of the file, also one at its very end.
    const int64_t lengthFrames = int64_t(std::floor(file.LengthSeconds() * rate + 0.5));
    const int64_t blocks = options.play.blocks >= 0 ? options.play.blocks : lengthFrames / frames + 1;

    SynthRenderer synthRun(synth, options);
    std::string error;
    if (!synthRun.Prepare(&error)) return Failure(error, EExitCode_Unusable);
    WavFileWriter wav;
    if (!wav.Open(options.wavPath, rate, options.wavFormat, &error))
        return Failure("--wav: " + error, EExitCode_Unusable);

    std::vector<ReceivedMidiEvent> events;
    for (const MidiFileEvent& event : file.Events()) {
        const int64_t sample = int64_t(std::floor(event.seconds * rate + 0.5));
        events.push_back(ReceivedMidiEvent{sample, 0, 0.0, event.status, event.data1, event.data2});
    }

    synthRun.Open();
    HostTransport transport(options.play.transport);
    size_t next = 0;
    int64_t delivered = 0, noteOns = 0;
    bool ok = true;
    for (int64_t block = 0; ok && block < blocks; ++block) {
        const int64_t start = block * frames;
        transport.SetTempo(file.TempoAt(double(start) / rate));
        size_t first = next;
        for (; next < events.size() && events[next].samplePosition < start + frames; ++next) {
            events[next].deltaFrames = int32_t(events[next].samplePosition - start);
            if ((events[next].status & 0xF0) == 0x90 && events[next].data2 > 0) ++noteOns;
        }
        delivered += int64_t(next - first);
        ok = synthRun.RenderBlock(events.data() + first, next - first, transport, frames, &wav, &error);
        transport.EndBlock(frames);
    }
    // Events past the last block are not played; the tail ends every note
    // still on at its first sample.
    if (ok) ok = synthRun.RenderTail(nullptr, 0, transport, options.TailFrames(), frames, &wav, &error);
    synthRun.Close();
    if (!ok) return Failure(error);
    if (!wav.Commit(&error)) return Failure("--wav: " + error);

    JsonWriter json;
    json.BeginObject();
    json.Key("blocks");
    json.Integer(blocks);
    json.Key("samples");
    json.Integer(blocks * frames);
    json.Key("events");
    json.Integer(delivered);
    json.Key("noteOns");
    json.Integer(noteOns);
    WriteOutput(wav, synthRun, options, &json);
    json.EndObject();
    *report = json.Text();
    return EExitCode_Success;
}

std::string RenderCommand::OptionsHelp() const
{
    return std::string(RenderOptionsHelp()) + "play options:\n" + PlayOptionsHelp();
}

int RenderCommand::Run(const std::vector<std::string>& args)
{
    RenderOptions options;
    std::string error;
    if (!ParseRenderOptions(args, &options, &error)) {
        if (options.play.unusableInput) return ReportUnusable(error);
        return ReportUsageError(error, USAGE);
    }
    if (!CheckOutputFiles(options.OutputFiles())) return EExitCode_Unusable;
    MidiFileReader midiFile;
    if (!options.midiInPath.empty()) {
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile(options.midiInPath, &bytes, &error)) return ReportUnusable("--midi-in: " + error);
        if (!midiFile.Parse(bytes.data(), bytes.size(), &error) || !MidiFileFitsWav(midiFile, options, &error))
            return ReportUnusable("--midi-in: '" + options.midiInPath + "': " + error);
    }
    HostSession plugin;
    if (options.midiInPath.empty() && !LoadPlugin(&plugin, options.play.pluginPath)) return EExitCode_Unusable;
    HostSession synth;
    if (!synth.LoadFile(options.synthPath, &error)) return ReportUnusable("--synth: " + error);
    std::string report;
    int result = options.midiInPath.empty() ? RunRender(&plugin, &synth, options, &report)
                                            : RunMidiFileRender(midiFile, &synth, options, &report);
    if (result != EExitCode_Success) return result;
    PrintReport(report);
    return EExitCode_Success;
}
