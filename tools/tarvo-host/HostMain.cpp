// tarvo-host: a command-line VST 2.4 host for testing plug-ins.
//   tarvo-host info PLUGIN
//   tarvo-host play PLUGIN [options]
//   tarvo-host editor PLUGIN [options]
//   tarvo-host render PLUGIN --synth SYNTH --wav OUT.wav [options]
//   tarvo-host validate PLUGIN [options]
// A new subcommand is one more HostCommand in the table below.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/EditorCommand.h"
#include "editor/EditorOptions.h"
#include "info/InfoCommand.h"
#include "play/PlayCommand.h"
#include "play/PlayOptions.h"
#include "session/PluginModule.h"
#include "render/RenderCommand.h"
#include "render/RenderOptions.h"
#include "validate/ValidateCommand.h"

namespace {
void PrintUsage(FILE* out, const std::vector<HostCommand*>& commands)
{
    std::fprintf(out, "usage:\n");
    for (HostCommand* command : commands) std::fprintf(out, "  tarvo-host %s\n", command->Synopsis());
    std::fprintf(out, "play options:\n%s", PlayOptionsHelp());
    std::fprintf(out, "editor options:\n%s", EditorOptionsHelp());
    std::fprintf(out, "render options:\n%s", RenderOptionsHelp());
    std::fprintf(out, "validate options:\n%s", ValidateOptionsHelp());
    std::fprintf(out, "Exit status: 0 success, 1 the plug-in or a file could not be used, 2 bad command line.\n");
}
}  // namespace

int main(int argc, char** argv)
{
    PrepareStandardStreams();
    InfoCommand info;
    PlayCommand play;
    EditorCommand editor;
    RenderCommand render;
    ValidateCommand validate;
    std::vector<HostCommand*> commands = {&info, &play, &editor, &render, &validate};

    if (argc < 2) {
        PrintUsage(stderr, commands);
        return EExitCode_Usage;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "help") == 0) {
        PrintUsage(stdout, commands);
        return EExitCode_Success;
    }
    for (HostCommand* command : commands) {
        if (std::strcmp(argv[1], command->Name()) == 0)
            return command->Run(std::vector<std::string>(argv + 2, argv + argc));
    }
    ReportError(std::string("unknown command '") + argv[1] + "'");
    PrintUsage(stderr, commands);
    return EExitCode_Usage;
}
