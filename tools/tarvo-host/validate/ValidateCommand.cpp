#include "ValidateCommand.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "AllocationProbe.h"
#include "editor/EditorWindow.h"
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

// How much slower than native this process computes: 1 on an ordinary
// machine, more under emulation or on a loaded one.
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
           "  --chunk FILE    a state loaded into every instance before it processes\n";
}

int ValidateCommand::Run(const std::vector<std::string>& args)
{
    ValidateOptions options;
    std::string error;
    if (!ParseOptions(args, &options, &error)) return ReportUsageError(error, USAGE);
    if (options.level >= 5) {
        std::vector<std::string> again = {"validate"};
        again.insert(again.end(), args.begin(), args.end());
        RestartWithAllocationProbe(again);
    }
    if (options.editor) PrepareWindowSystem();
    ValidateContext context(options);
    context.Report().SetJsonPath(options.jsonPath, options.plugin);
    if (!options.chunkPath.empty()) {
        std::ifstream in(options.chunkPath, std::ios::binary);
        if (!in) {
            ReportError("cannot read '" + options.chunkPath + "'");
            return EExitCode_Failure;
        }
        context.SetState(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }
    context.SetSlowness(MeasureSlowness());
    std::printf("validate %s at level %d, seed %u, slowness %.2f\n", options.plugin.c_str(), options.level,
                unsigned(options.seed), context.Slowness());
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
    if (!context.Report().WriteJson()) {
        ReportError("cannot write '" + options.jsonPath + "'");
        return EExitCode_Failure;
    }
    return context.Report().AnyFailed() ? EExitCode_Failure : EExitCode_Success;
}
