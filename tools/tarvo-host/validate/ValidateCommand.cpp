#include "ValidateCommand.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "AllocationProbe.h"
#include "editor/EditorWindow.h"
#include "framework/plugin/ProgramFile.h"
#include "session/HostText.h"
#include "ValidateContext.h"

namespace {
const char* const USAGE =
    "validate PLUGIN [--level 1..10] [--seed N] [--threads] [--editor] [--json FILE] [--chunk FILE]";
const int MAX_LEVEL = 10;
// The fixed work of MeasureSlowness takes about this long on a native build
// of an ordinary machine.
const double NATIVE_CALIBRATION_SECONDS = 0.012;

bool ParseOptions(const std::vector<std::string>& args, ValidateOptions* options, std::string* error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool hasValue = i + 1 < args.size();
        if (arg == "--threads") {
            options->threads = true;
        } else if (arg == "--editor") {
            options->editor = true;
        } else if (arg == "--level" || arg == "--seed" || arg == "--json" || arg == "--chunk") {
            if (!hasValue) return Fail(error, arg + " needs a value");
            const std::string& value = args[++i];
            int64_t number = 0;
            if (arg == "--level") {
                if (!ParseInt64(value, &number) || number < 1 || number > MAX_LEVEL)
                    return Fail(error, "--level must be a whole number from 1 to " + std::to_string(MAX_LEVEL));
                options->level = int(number);
            } else if (arg == "--seed") {
                if (!ParseInt64(value, &number) || number < 0 || number > 0xFFFFFFFFll)
                    return Fail(error, "--seed must be a whole number from 0 to 4294967295");
                options->seed = uint32_t(number);
            } else if (arg == "--json") {
                options->jsonPath = value;
            } else {
                options->chunkPath = value;
            }
        } else if (!arg.empty() && arg[0] == '-') {
            return Fail(error, "unknown option '" + arg + "'");
        } else if (options->plugin.empty()) {
            options->plugin = arg;
        } else {
            return Fail(error, "more than one plug-in given ('" + arg + "')");
        }
    }
    if (options->plugin.empty()) return Fail(error, "no plug-in given");
    if (options->editor && !options->threads) return Fail(error, "--editor needs --threads");
    return true;
}

// --chunk: a state chunk as a plug-in gave it, or a program file (.fxp,
// told by its magic) holding one.
// *programId: the plug-in a program file names, else 0.
bool ReadState(const std::string& path, std::vector<uint8_t>* state, int32_t* programId, std::string* error)
{
    *programId = 0;
    if (path.empty()) return true;
    if (!ReadWholeFile(path, state, error)) return Fail(error, "--chunk: " + *error);
    const char MAGIC[] = {'C', 'c', 'n', 'K'};
    if (state->size() < sizeof(MAGIC) || std::memcmp(state->data(), MAGIC, sizeof(MAGIC)) != 0) return true;
    ProgramFile program;
    ProgramFile::EError why = program.Parse(state->data(), state->size(), 0);
    if (why != ProgramFile::EError_None)
        return Fail(
            error, "--chunk: '" + path + "' is no program file of a state chunk (" + ProgramFile::ErrorText(why) + ")");
    *programId = program.PluginId();
    *state = std::vector<uint8_t>(program.Chunk(), program.Chunk() + program.ChunkSize());
    return true;
}

// Loads the plug-in once to tell whether it can be used at all, and what
// it is: an instrument, a MIDI generator or an effect.
bool DescribePlugin(const ValidateOptions& options, int32_t programId, RunDescription* description, std::string* error)
{
    HostSession session;
    if (!session.LoadFile(options.plugin, error)) return false;
    session.Open();
    AEffect* effect = session.Effect();
    description->plugin = options.plugin;
    description->level = options.level;
    description->seed = options.seed;
    description->effectName = session.QueryString(effGetEffectName);
    description->vendor = session.QueryString(effGetVendorString);
    description->uniqueId = effect->uniqueID;
    description->version = effect->version;
    description->flags = effect->flags;
    description->parameters = effect->numParams;
    description->programs = effect->numPrograms;
    description->inputs = effect->numInputs;
    description->outputs = effect->numOutputs;
    char sends[] = "sendVstMidiEvent";
    bool generator = session.Dispatch(effCanDo, 0, 0, sends) > 0;
    bool instrument = (effect->flags & effFlagsIsSynth) || session.Dispatch(effGetPlugCategory) == kPlugCategSynth ||
                      effect->numInputs <= 0;
    description->role = generator ? "generator" : instrument ? "instrument" : "effect";
    session.Close();
    if (programId != 0 && programId != description->uniqueId)
        return Fail(error, "--chunk: '" + options.chunkPath + "' is a program of another plug-in (unique id " +
                               std::to_string(programId) + ", not " + std::to_string(description->uniqueId) + ")");
    return true;
}

double MeasureSlowness()
{
    double best = 1e9;
    for (int attempt = 0; attempt < 3; ++attempt) {
        double start = NowSeconds();
        volatile uint32_t sink = 0;
        uint32_t x = 1;
        double accumulator = 0.0;
        for (int i = 0; i < 4000000; ++i) {
            x ^= x << 13, x ^= x >> 17, x ^= x << 5;
            accumulator = accumulator * 0.999 + double(x & 0xFF);
        }
        sink = x + uint32_t(accumulator);
        (void)sink;
        best = std::min(best, NowSeconds() - start);
    }
    double slowness = best / NATIVE_CALIBRATION_SECONDS;
    return slowness < 1.0 ? 1.0 : slowness;
}
}  // namespace

const char* ValidateCommand::Synopsis() const { return USAGE; }

const char* ValidateOptionsHelp()
{
    return "  --level N       1..10 (5): 1 instances, 2 parameters and programs, 3 state,\n"
           "                  4 processing, 5 transport and real time; higher levels run longer\n"
           "  --seed N        the seed of every random choice (1)\n"
           "  --threads       the audio thread against other threads, and its waits per entry\n"
           "  --editor        with --threads: the editor opened and closed meanwhile, a control held\n"
           "  --json FILE     the results as JSON\n"
           "  --chunk FILE    a state loaded into every instance before it processes: a chunk\n"
           "                  as the plug-in saves it, or a program file (.fxp) holding one\n";
}

int ValidateCommand::Run(const std::vector<std::string>& args)
{
    ValidateOptions options;
    std::string error;
    if (!ParseOptions(SplitOptionAssignments(args), &options, &error)) return ReportUsageError(error, USAGE);
    if (options.level >= 5) {
        std::vector<std::string> again = {"validate"};
        again.insert(again.end(), args.begin(), args.end());
        RestartWithAllocationProbe(again);
    }
    // Plug-ins may talk to the window system as they load.
    if (options.editor) PrepareWindowSystem();

    // What cannot be used at all is told once, before any check runs.
    ValidateContext context(options);
    RunDescription description;
    std::vector<uint8_t> state;
    int32_t programId = 0;
    if (!CheckOutputFiles({{"--json", options.jsonPath}})) return EExitCode_Unusable;
    if (!ReadState(options.chunkPath, &state, &programId, &error) ||
        !DescribePlugin(options, programId, &description, &error)) {
        ReportError(error);
        return EExitCode_Unusable;
    }
    description.commandLine = {"tarvo-host", "validate"};
    description.commandLine.insert(description.commandLine.end(), args.begin(), args.end());
    context.Report().SetJsonPath(options.jsonPath);
    context.Report().SetDescription(description);
    context.SetState(state);
    context.SetStimulus(description.role == "generator"    ? EStimulus_None
                        : description.role == "instrument" ? EStimulus_Notes
                                                           : EStimulus_Signal);
    if (options.editor) {
        // Without a display every check that needs the editor is skipped,
        // all for the same reason.
        EditorWindow probe;
        if (!probe.Create(64, 64, "tarvo-host validate", &error)) context.SetEditorUnusable(error);
        probe.Destroy();
    }
    context.SetSlowness(MeasureSlowness());
    std::printf("validate %s (%s) at level %d, seed %u, slowness %.2f\n", options.plugin.c_str(),
                description.role.c_str(), options.level, unsigned(options.seed), context.Slowness());
    std::fflush(stdout);

    RunInstanceChecks(context);
    // A plug-in that cannot even be loaded is not checked further.
    bool loaded = !context.Report().Results().empty() && context.Report().Results()[0].status == ECheckStatus_Pass;
    if (loaded) {
        if (options.level >= 2) RunParameterChecks(context);
        if (options.level >= 3) RunStateChecks(context);
        if (options.level >= 4) RunProcessingChecks(context);
        if (options.level >= 5) {
            RunTransportChecks(context);
            RunRealtimeChecks(context);
        }
        if (options.threads) RunThreadChecks(context);
    }
    context.Report().PrintSummary();
    if (!context.Report().WriteJson(&error)) {
        ReportError(error);
        return EExitCode_Unusable;
    }
    if (context.Report().AnyFailed()) return EExitCode_Failure;
    if (!context.Report().AnyRan()) {
        ReportError("every check was skipped: nothing was validated");
        return EExitCode_Failure;
    }
    return EExitCode_Success;
}
