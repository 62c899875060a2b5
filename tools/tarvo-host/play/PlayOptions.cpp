#include "PlayOptions.h"

#include <climits>

#include "session/HostText.h"

namespace {
bool ParseWholeNumber(const std::string& option, const std::string& text, int64_t minimum, int64_t maximum,
                      int64_t* out, std::string* error)
{
    if (!ParseInt64(text, out) || *out < minimum || *out > maximum)
        return Fail(error, option + " takes a whole number from " + std::to_string(minimum) + " to " +
                               std::to_string(maximum) + ", not '" + text + "'");
    return true;
}

bool ParsePositive(const std::string& option, const std::string& text, double* out, std::string* error)
{
    if (!ParseDouble(text, out) || *out <= 0.0)
        return Fail(error, option + " takes a number above 0, not '" + text + "'");
    return true;
}

// "KEY=VALUE" split at the last '=' (a parameter name may hold one).
bool SplitAssignment(const std::string& text, std::string* key, double* value)
{
    size_t equals = text.rfind('=');
    if (equals == std::string::npos || equals == 0) return false;
    *key = text.substr(0, equals);
    return ParseDouble(text.substr(equals + 1), value);
}

const char* const OPTIONS_WITH_VALUE[] = {
    "--sr",        "--block",          "--tempo",  "--sig", "--start",      "--blocks",  "--bars",
    "--precision", "--ppq-resolution", "--events", "--mid", "--automation", "--script",  "--at",
    "--chunk-in",  "--chunk-out",      "--param",  "--set", "--fxp-in",     "--fxp-out", "--fxp-name"};

bool ApplyOption(const std::string& option, const std::string& value, PlayOptions* options, std::string* error)
{
    int64_t number = 0;
    if (option == "--sr") return ParsePositive(option, value, &options->transport.sampleRate, error);
    if (option == "--block") {
        if (!ParseWholeNumber(option, value, 1, MAX_BLOCK_FRAMES, &number, error)) return false;
        options->blockSize = int(number);
        return true;
    }
    if (option == "--tempo") return ParsePositive(option, value, &options->transport.tempo, error);
    if (option == "--sig") {
        if (!ParseTimeSignature(value, &options->transport.sigNumerator, &options->transport.sigDenominator))
            return Fail(error, "--sig takes N/D (N 1..255, D a power of two up to 128), not '" + value + "'");
        return true;
    }
    if (option == "--start")
        return ParseWholeNumber(option, value, INT64_MIN / 2, INT64_MAX / 2, &options->transport.startSample, error);
    if (option == "--blocks") {
        if (!ParseWholeNumber(option, value, 0, INT64_MAX / 2, &options->blocks, error)) return false;
        if (options->bars >= 0.0) return Fail(error, "give --blocks or --bars, not both");
        return true;
    }
    if (option == "--bars") {
        if (!ParseDouble(value, &options->bars) || options->bars < 0.0)
            return Fail(error, "--bars takes a number >= 0, not '" + value + "'");
        if (options->blocks >= 0) return Fail(error, "give --blocks or --bars, not both");
        return true;
    }
    if (option == "--precision") {
        if (value == "single")
            options->precision = EPrecision_Single;
        else if (value == "double")
            options->precision = EPrecision_Double;
        else
            return Fail(error, "--precision takes single or double, not '" + value + "'");
        return true;
    }
    if (option == "--ppq-resolution") {
        if (!ParseWholeNumber(option, value, 1, 1 << 24, &number, error)) return false;
        options->transport.ppqResolution = int(number);
        return true;
    }
    if (option == "--events")
        options->eventsPath = value;
    else if (option == "--mid")
        options->midPath = value;
    else if (option == "--automation")
        options->automationPath = value;
    else if (option == "--chunk-in")
        options->chunkInPath = value;
    else if (option == "--chunk-out")
        options->chunkOutPath = value;
    else if (option == "--fxp-in")
        options->fxpInPath = value;
    else if (option == "--fxp-out")
        options->fxpOutPath = value;
    else if (option == "--fxp-name")
        options->fxpName = value;
    else if (option == "--script") {
        std::vector<uint8_t> bytes;
        std::string why;
        options->unusableInput = true;
        if (!ReadWholeFile(value, &bytes, &why)) return Fail(error, "--script: " + why);
        if (!ParseScript(std::string(bytes.begin(), bytes.end()), value, &options->actions, error)) return false;
        options->unusableInput = false;
    } else if (option == "--at") {
        ScriptAction action;
        bool isAction = false;
        std::string why;
        if (!ParseScriptLine(value, &action, &isAction, &why)) return Fail(error, "--at '" + value + "': " + why);
        if (!isAction) return Fail(error, "--at '" + value + "': no action");
        options->actions.push_back(action);
    } else if (option == "--param") {
        ParamSetting setting;
        std::string key;
        if (!SplitAssignment(value, &key, &setting.value) ||
            !ParseWholeNumber(option, key, 0, INT32_MAX, &number, error))
            return Fail(error, "--param takes INDEX=VALUE (index >= 0, value a number), not '" + value + "'");
        setting.index = int32_t(number);
        options->params.push_back(setting);
    } else if (option == "--set") {
        ParamSetting setting;
        setting.byName = true;
        if (!SplitAssignment(value, &setting.name, &setting.value))
            return Fail(error, "--set takes NAME=VALUE (value a number), not '" + value + "'");
        options->params.push_back(setting);
    } else {
        return Fail(error, "unknown option '" + option + "'");
    }
    return true;
}
}  // namespace

bool PlayOptionTakesValue(const std::string& option)
{
    for (const char* name : OPTIONS_WITH_VALUE) {
        if (option == name) return true;
    }
    return false;
}

int64_t PlayOptions::BlockCount() const
{
    if (blocks >= 0) return blocks;
    double count = bars >= 0.0 ? bars : 1.0;
    return BlocksForBars(count, transport.sigNumerator, transport.sigDenominator, transport.tempo, transport.sampleRate,
                         blockSize);
}

std::vector<OutputFile> PlayOptions::OutputFiles() const
{
    return {{"--events", eventsPath},
            {"--mid", midPath},
            {"--automation", automationPath},
            {"--chunk-out", chunkOutPath},
            {"--fxp-out", fxpOutPath}};
}

bool ParsePlayOptions(const std::vector<std::string>& args, PlayOptions* options, std::string* error,
                      bool pluginRequired)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-' || arg[1] != '-') {
            if (arg.size() >= 2 && arg[0] == '-') return Fail(error, "unknown option '" + arg + "'");
            if (!options->pluginPath.empty()) return Fail(error, "unexpected argument '" + arg + "'");
            options->pluginPath = arg;
            continue;
        }
        std::string option = arg;
        std::string value;
        bool hasValue = false;
        size_t equals = arg.find('=');
        if (equals != std::string::npos) {
            option = arg.substr(0, equals);
            value = arg.substr(equals + 1);
            hasValue = true;
        }
        if (option == "--no-time" || option == "--no-ppq" || option == "--offline") {
            if (hasValue) return Fail(error, option + " takes no value");
            if (option == "--no-time")
                options->timeProvided = false;
            else if (option == "--no-ppq")
                options->transport.musicalPosition = false;
            else
                options->offline = true;
            continue;
        }
        if (!PlayOptionTakesValue(option)) return Fail(error, "unknown option '" + option + "'");
        if (!hasValue) {
            if (i + 1 >= args.size()) return Fail(error, option + " needs a value");
            value = args[++i];
        }
        if (!ApplyOption(option, value, options, error)) return false;
    }
    if (pluginRequired && options->pluginPath.empty()) return Fail(error, "no plug-in named");
    return true;
}

bool ParseOptionsAroundPlay(const std::vector<std::string>& args, IOwnOptions* pOwn, PlayOptions* play,
                            std::string* error, bool pluginRequired)
{
    std::vector<std::string> playArgs;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool isOption = arg.size() >= 3 && arg[0] == '-' && arg[1] == '-';
        const size_t equals = isOption ? arg.find('=') : std::string::npos;
        const std::string option = arg.substr(0, equals);
        const IOwnOptions::EKind kind = isOption ? pOwn->Kind(option) : IOwnOptions::EKind_NotOwn;
        if (kind == IOwnOptions::EKind_NotOwn) {
            playArgs.push_back(arg);
            // A play option's value is passed on with it, whatever it looks
            // like ("--at '0 stop'", a file named like an option).
            if (isOption && equals == std::string::npos && PlayOptionTakesValue(option) && i + 1 < args.size())
                playArgs.push_back(args[++i]);
            continue;
        }
        std::string value;
        if (kind == IOwnOptions::EKind_Flag) {
            if (equals != std::string::npos) return Fail(error, option + " takes no value");
        } else if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else {
            if (i + 1 >= args.size()) return Fail(error, option + " needs a value");
            value = args[++i];
        }
        if (!pOwn->Apply(option, value, error)) return false;
    }
    return ParsePlayOptions(playArgs, play, error, pluginRequired);
}

const char* PlayOptionsHelp()
{
    return "  --sr RATE             sample rate (44100)\n"
           "  --block N             block size announced and used (512)\n"
           "  --tempo BPM           start tempo (120)\n"
           "  --sig N/D             start time signature (4/4)\n"
           "  --start SAMPLE        start position on the timeline (0)\n"
           "  --blocks N | --bars N how long to run (1 bar; bars round up to whole blocks)\n"
           "  --precision single|double  processReplacing or processDoubleReplacing\n"
           "  --no-time             answer audioMasterGetTime with null\n"
           "  --no-ppq              report only the sample position\n"
           "  --ppq-resolution N    round ppqPos to the nearest 1/N quarter\n"
           "  --offline             report offline processing (a bounce) while processing\n"
           "  --param INDEX=VALUE   set a parameter (normalised) before the first block\n"
           "  --set NAME=VALUE      the same, by a declared parameter's name\n"
           "  --chunk-in FILE       state chunk to load before the parameters\n"
           "  --chunk-out FILE      state chunk saved after the last block\n"
           "  --fxp-in FILE         program file (.fxp) to load before the parameters,\n"
           "                        after --chunk-in\n"
           "  --fxp-out FILE        program file (.fxp) saved after the last block\n"
           "  --fxp-name NAME       its program name (default: the file's name)\n"
           "  --events FILE         MIDI the plug-in sent: SAMPLE STATUS DATA1 DATA2\n"
           "  --mid FILE            the same as a Standard MIDI File\n"
           "  --automation FILE     audioMasterAutomate calls: BLOCK INDEX VALUE\n"
           "  --script FILE         actions, one per line: BLOCK ACTION ARGS\n"
           "  --at \"BLOCK ACTION ARGS\"  one action (repeatable)\n"
           "Actions, applied before block BLOCK (from 0): play, stop, locate SAMPLE,\n"
           "tempo BPM, sig N/D, param INDEX VALUE, midi OFFSET STATUS DATA1 DATA2 (hex),\n"
           "save FILE, load FILE, blocksize N, lock on|off (Tarvo3's timeline lock),\n"
           "loop START END (a playing block that would pass END ends there, the next\n"
           "starts at START), loop off. The transport plays from block 0 on;\n"
           "\"0 stop\" keeps it stopped from the start.\n";
}
