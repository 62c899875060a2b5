#include "EditorOptions.h"

#include <algorithm>

#include "session/HostText.h"

namespace {
// Seconds the run may take beyond what it is expected to take: starting a
// plug-in and its editor, and a slow machine.
const double TIME_LIMIT_MARGIN_SECONDS = 30.0;
const double MIN_SPEED = 0.01;
const double MAX_SPEED = 1000.0;

bool ApplyEditorOption(const std::string& option, const std::string& value, EditorOptions* options, std::string* error)
{
    if (option == "--png") {
        if (value.empty()) return Fail(error, "--png needs a file name");
        options->pngPath = value;
    } else if (option == "--ticks") {
        if (!ParseInt64(value, &options->ticks) || options->ticks < 0 || options->ticks > MAX_EDITOR_TICKS)
            return Fail(error, "--ticks takes a whole number from 0 to " + std::to_string(MAX_EDITOR_TICKS) +
                                   ", not '" + value + "'");
    } else if (option == "--reopen") {
        if (!ParseInt64(value, &options->reopen) || options->reopen < 0 || options->reopen > MAX_EDITOR_REOPEN)
            return Fail(error, "--reopen takes a whole number from 0 to " + std::to_string(MAX_EDITOR_REOPEN) +
                                   ", not '" + value + "'");
    } else if (option == "--speed") {
        if (!ParseDouble(value, &options->speed) || options->speed < MIN_SPEED || options->speed > MAX_SPEED)
            return Fail(error, "--speed takes a number from 0.01 to 1000, not '" + value + "'");
    } else if (option == "--timeout") {
        if (!ParseDouble(value, &options->timeoutSeconds) || options->timeoutSeconds <= 0.0 ||
            options->timeoutSeconds > 86400.0)
            return Fail(error, "--timeout takes seconds above 0 (at most a day), not '" + value + "'");
    } else if (option == "--capture-at") {
        size_t equals = value.find('=');
        int64_t block = 0;
        if (equals == std::string::npos || !ParseInt64(value.substr(0, equals), &block) || block < 0 ||
            equals + 1 >= value.size())
            return Fail(error, "--capture-at takes BLOCK=FILE (a block count from 0), not '" + value + "'");
        options->captures.emplace_back(block, value.substr(equals + 1));
    } else {  // --input
        options->inputPath = value;
        std::vector<uint8_t> bytes;
        std::string why;
        options->play.unusableInput = true;
        if (!ReadWholeFile(value, &bytes, &why)) return Fail(error, "--input: " + why);
        options->inputs.clear();
        if (!ParseEditorInput(std::string(bytes.begin(), bytes.end()), value, &options->inputs, error)) return false;
        options->play.unusableInput = false;
    }
    return true;
}

bool IsEditorOptionWithValue(const std::string& option)
{
    return option == "--png" || option == "--ticks" || option == "--input" || option == "--speed" ||
           option == "--timeout" || option == "--reopen" || option == "--capture-at";
}

class EditorOwnOptions : public IOwnOptions {
public:
    explicit EditorOwnOptions(EditorOptions* pOptions) : mpOptions(pOptions) {}
    EKind Kind(const std::string& option) const override
    {
        if (option == "--play") return EKind_Flag;
        return IsEditorOptionWithValue(option) ? EKind_WithValue : EKind_NotOwn;
    }
    bool Apply(const std::string& option, const std::string& value, std::string* error) override
    {
        if (option == "--play") {
            mpOptions->playing = true;
            return true;
        }
        return ApplyEditorOption(option, value, mpOptions, error);
    }

private:
    EditorOptions* mpOptions;
};
}  // namespace

std::vector<OutputFile> EditorOptions::OutputFiles() const
{
    std::vector<OutputFile> files = play.OutputFiles();
    files.emplace_back("--png", pngPath);
    for (const auto& capture : captures) files.emplace_back("--capture-at", capture.second);
    return files;
}

bool EditorOptions::BoundedPlay() const { return playing && (play.blocks >= 0 || play.bars >= 0.0); }

double EditorOptions::TimeLimitSeconds() const
{
    if (timeoutSeconds > 0.0) return timeoutSeconds;
    // The editor's ticks and input, and a bounded play at its pace, twice
    // over: the plug-in's timer and drawing may run slower than real time.
    double expected = double(ticks * int64_t(1 + captures.size()) + EditorInputTicks(inputs) + 2 + 2 * reopen) *
                      EDITOR_TICK_MS / 1000.0;
    if (BoundedPlay()) expected += double(play.BlockCount()) * play.blockSize / (play.transport.sampleRate * speed);
    return TIME_LIMIT_MARGIN_SECONDS + 2.0 * expected;
}

bool ParseEditorOptions(const std::vector<std::string>& args, EditorOptions* options, std::string* error)
{
    EditorOwnOptions own(options);
    if (!ParseOptionsAroundPlay(args, &own, &options->play, error)) return false;
    if (!options->playing && (options->play.blocks >= 0 || options->play.bars >= 0.0 || !options->play.actions.empty()))
        return Fail(error, "--blocks, --bars, --script and --at schedule blocks: they need --play");
    std::stable_sort(options->captures.begin(), options->captures.end(),
                     [](const std::pair<int64_t, std::string>& a, const std::pair<int64_t, std::string>& b) {
                         return a.first < b.first;
                     });
    for (const auto& capture : options->captures) {
        if (!options->BoundedPlay() || capture.first > options->play.BlockCount())
            return Fail(error, "--capture-at needs --play bounded by --blocks or --bars, and a block within them");
    }
    return true;
}

const char* EditorOptionsHelp()
{
    return "  --png FILE            the editor window's pixels after the last tick\n"
           "  --ticks N             41 ms timer ticks before the capture and closing (12)\n"
           "  --input FILE          mouse and key actions, one per line, a tick apart:\n"
           "                        click X Y [left|right] [shift] [ctrl] [alt], dblclick X Y,\n"
           "                        drag X1 Y1 X2 Y2 [mods], hold X1 Y1 X2 Y2 (the button stays\n"
           "                        down), release, wheel X Y NOTCHES, key NAME,\n"
           "                        wait TICKS (editor pixels from its top-left corner),\n"
           "                        answer FILE|cancel (Windows: the next file dialog)\n"
           "  --play                process on an audio thread while the editor is open, paced\n"
           "                        in real time; --blocks/--bars end it, else the editor does\n"
           "  --reopen N            after the capture, close and open the editor N more times\n"
           "  --capture-at B=FILE   with a bounded --play: after B blocks the audio thread waits\n"
           "                        while the editor ticks --ticks times, then the window's\n"
           "                        pixels go to FILE (repeatable)\n"
           "  --speed X             process X times faster than real time (1)\n"
           "  --timeout SECONDS     give up (exit 1) when the run takes longer (derived)\n";
}
