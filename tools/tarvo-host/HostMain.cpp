// tarvo-host: a command-line VST 2.4 host for testing plug-ins.
//   tarvo-host info PLUGIN
//   tarvo-host play PLUGIN [options]
//   tarvo-host editor PLUGIN [options]
//   tarvo-host render PLUGIN --synth SYNTH --wav OUT.wav [options]
//   tarvo-host validate PLUGIN [options]
//   tarvo-host --version | --help | COMMAND --help
// A new subcommand is one more HostCommand in the table below.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/EditorCommand.h"
#include "info/InfoCommand.h"
#include "play/PlayCommand.h"
#include "session/PluginModule.h"
#include "render/RenderCommand.h"
#include "validate/ValidateCommand.h"

#ifndef TARVO_HOST_VERSION
#error "TARVO_HOST_VERSION is set by the build (the project's version)"
#endif

namespace {
bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

void PrintUsage(FILE* out, const std::vector<HostCommand*>& commands)
{
    std::fprintf(out, "usage:\n");
    for (HostCommand* command : commands) std::fprintf(out, "  tarvo-host %s\n", command->Synopsis());
    std::fprintf(out,
                 "  tarvo-host --version\n"
                 "Options may be given as --option VALUE or --option=VALUE.\n"
                 "tarvo-host COMMAND --help lists the options of that command.\n%s",
                 ExitStatusHelp());
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
    if (IsHelp(argv[1]) || std::strcmp(argv[1], "help") == 0) {
        PrintUsage(stdout, commands);
        return EExitCode_Success;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("tarvo-host %s\n", TARVO_HOST_VERSION);
        return EExitCode_Success;
    }
    for (HostCommand* command : commands) {
        if (std::strcmp(argv[1], command->Name()) != 0) continue;
        std::vector<std::string> args(argv + 2, argv + argc);
        if (std::find_if(args.begin(), args.end(), IsHelp) != args.end()) {
            PrintCommandHelp(*command);
            return EExitCode_Success;
        }
        return command->Run(args);
    }
    ReportError(std::string("unknown command '") + argv[1] + "'");
    PrintUsage(stderr, commands);
    return EExitCode_Usage;
}
