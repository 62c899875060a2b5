#include "RenderOptions.h"

#include <climits>
#include <cmath>

#include "session/HostText.h"

namespace {
bool IsRenderOptionWithValue(const std::string& option)
{
    return option == "--synth" || option == "--synth-param" || option == "--synth-chunk" || option == "--wav" ||
           option == "--wav-format" || option == "--tail" || option == "--gain" || option == "--midi-in";
}

bool ParseSynthParam(const std::string& text, ParamSetting* setting)
{
    size_t equals = text.find('=');
    if (equals == std::string::npos) return false;
    int64_t index = 0;
    if (!ParseInt64(text.substr(0, equals), &index) || index < 0 || index > INT32_MAX) return false;
    setting->index = int32_t(index);
    return ParseDouble(text.substr(equals + 1), &setting->value);
}

bool ApplyRenderOption(const std::string& option, const std::string& value, RenderOptions* options, std::string* error)
{
    if (option == "--synth") {
        if (value.empty()) return Fail(error, "--synth needs a plug-in file");
        options->synthPath = value;
    } else if (option == "--synth-param") {
        ParamSetting setting;
        if (!ParseSynthParam(value, &setting))
            return Fail(error, "--synth-param takes INDEX=VALUE (index >= 0, value a number), not '" + value + "'");
        options->synthParams.push_back(setting);
    } else if (option == "--synth-chunk") {
        if (value.empty()) return Fail(error, "--synth-chunk needs a file name");
        options->synthChunkPath = value;
    } else if (option == "--wav") {
        if (value.empty()) return Fail(error, "--wav needs a file name");
        options->wavPath = value;
    } else if (option == "--wav-format") {
        if (value == "pcm24")
            options->wavFormat = EWavFormat_Pcm24;
        else if (value == "float32")
            options->wavFormat = EWavFormat_Float32;
        else
            return Fail(error, "--wav-format takes pcm24 or float32, not '" + value + "'");
    } else if (option == "--gain") {
        if (!ParseDouble(value, &options->gainDb) || options->gainDb < MIN_GAIN_DB || options->gainDb > MAX_GAIN_DB)
            return Fail(error, "--gain takes decibels from -120 to 60, not '" + value + "'");
    } else if (option == "--midi-in") {
        if (value.empty()) return Fail(error, "--midi-in needs a MIDI file");
        options->midiInPath = value;
    } else {  // --tail
        if (!ParseDouble(value, &options->tailSeconds) || options->tailSeconds < 0.0 ||
            options->tailSeconds > MAX_TAIL_SECONDS)
            return Fail(error, "--tail takes seconds from 0 to 3600, not '" + value + "'");
    }
    return true;
}

class RenderOwnOptions : public IOwnOptions {
public:
    explicit RenderOwnOptions(RenderOptions* pOptions) : mpOptions(pOptions) {}
    EKind Kind(const std::string& option) const override
    {
        return IsRenderOptionWithValue(option) ? EKind_WithValue : EKind_NotOwn;
    }
    bool Apply(const std::string& option, const std::string& value, std::string* error) override
    {
        return ApplyRenderOption(option, value, mpOptions, error);
    }

private:
    RenderOptions* mpOptions;
};
}  // namespace

int64_t RenderOptions::TailFrames() const { return int64_t(std::floor(tailSeconds * play.transport.sampleRate + 0.5)); }

double RenderOptions::LinearGain() const { return std::pow(10.0, gainDb / 20.0); }

std::vector<OutputFile> RenderOptions::OutputFiles() const
{
    std::vector<OutputFile> files = play.OutputFiles();
    files.emplace_back("--wav", wavPath);
    return files;
}

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions* options, std::string* error)
{
    RenderOwnOptions own(options);
    if (!ParseOptionsAroundPlay(args, &own, &options->play, error, false)) return false;
    if (options->midiInPath.empty() && options->play.pluginPath.empty())
        return Fail(error, "no plug-in named (PLUGIN, or --midi-in FILE.mid to render a MIDI file)");
    if (!options->midiInPath.empty()) {
        if (!options->play.pluginPath.empty()) return Fail(error, "give PLUGIN or --midi-in FILE.mid, not both");
        // Only what sets up the synthesiser's blocks applies to a MIDI file.
        PlayOptions plain;
        plain.transport.sampleRate = options->play.transport.sampleRate;
        plain.blockSize = options->play.blockSize;
        plain.blocks = options->play.blocks;
        const PlayOptions& given = options->play;
        const TransportSettings& a = given.transport;
        const TransportSettings& b = plain.transport;
        if (a.tempo != b.tempo || a.sigNumerator != b.sigNumerator || a.sigDenominator != b.sigDenominator ||
            a.startSample != b.startSample || a.musicalPosition != b.musicalPosition ||
            a.ppqResolution != b.ppqResolution || given.bars != plain.bars || given.precision != plain.precision ||
            given.timeProvided != plain.timeProvided || given.offline != plain.offline || !given.chunkInPath.empty() ||
            !given.fxpInPath.empty() || !given.params.empty() || !given.actions.empty() || !given.fxpName.empty())
            return Fail(error,
                        "--midi-in plays the file through SYNTH alone: of the play options only --sr, --block "
                        "and --blocks apply, and the output options --events, --mid, --automation, "
                        "--chunk-out and --fxp-out do not");
        for (const OutputFile& file : given.OutputFiles()) {
            if (!file.second.empty())
                return Fail(error,
                            "--midi-in plays the file through SYNTH alone: " + file.first + " has nothing to save");
        }
    }
    if (options->synthPath.empty()) return Fail(error, "no synthesiser named (--synth SYNTH)");
    if (options->wavPath.empty()) return Fail(error, "no audio file named (--wav OUT.wav)");
    return true;
}

const char* RenderOptionsHelp()
{
    return "  --synth FILE          the VST 2 instrument that plays PLUGIN's MIDI (required)\n"
           "  --midi-in FILE.mid    instead of PLUGIN: a Standard MIDI File (format 0 or 1, its\n"
           "                        tempo map) played through SYNTH alone; of the play options\n"
           "                        only --sr, --block and --blocks (default: the whole file)\n"
           "  --gain DB             level change of SYNTH's output before it is written (0)\n"
           "  --synth-param INDEX=VALUE  a synthesiser parameter (normalised), set before the first block\n"
           "  --synth-chunk FILE    state chunk loaded into the synthesiser first (as play's --chunk-in)\n"
           "  --wav FILE            the synthesiser's output: RIFF/WAVE, stereo, the run's rate (required)\n"
           "  --wav-format pcm24|float32  24-bit PCM (overs clipped) or 32-bit float samples\n"
           "                        (overs kept) (pcm24)\n"
           "  --tail SECONDS        keep rendering after the last block so notes ring out (2)\n"
           "PLUGIN runs exactly as by play (every play option, same files and summary). Each\n"
           "block, the MIDI it sent goes to SYNTH with its deltaFrames, SYNTH processes the\n"
           "same block, and its output is appended to the WAV (one output: both channels;\n"
           "more than two: even outputs mixed to the left, odd ones to the right). Notes\n"
           "still on when the tail starts get a note-off. The WAV has the frames of all\n"
           "blocks plus the tail, and is written only when the run succeeds. Its peak is\n"
           "reported in dBFS; above 0 dBFS a warning counts the samples over full scale.\n";
}
