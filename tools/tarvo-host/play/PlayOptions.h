// The command line of "tarvo-host play PLUGIN [options]".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "session/HostCommand.h"
#include "session/HostScript.h"
#include "session/HostSession.h"
#include "session/HostTransport.h"

// A --param INDEX=VALUE or --set NAME=VALUE, applied in command-line order.
struct ParamSetting {
    bool byName = false;
    int32_t index = 0;
    std::string name;
    double value = 0.0;
};

struct PlayOptions {
    std::string pluginPath;
    TransportSettings transport;
    int blockSize = 512;
    // Exactly one of them is used: blocks when >= 0, else bars (1 bar when
    // neither was given).
    int64_t blocks = -1;
    double bars = -1.0;
    EPrecision precision = EPrecision_Single;
    bool timeProvided = true;
    // The host reports offline processing (a bounce).
    bool offline = false;
    std::string chunkInPath;
    std::string chunkOutPath;
    // VST 2 program files (".fxp" with an opaque chunk), the preset files
    // of hosts: loaded like --chunk-in, saved like --chunk-out. The program
    // name saved is --fxp-name, else the file's name without ".fxp".
    std::string fxpInPath;
    std::string fxpOutPath;
    std::string fxpName;
    std::string eventsPath;
    std::string midPath;
    std::string automationPath;
    std::vector<ParamSetting> params;
    // From --script files and --at, in command-line order; the play loop
    // applies them by block, keeping that order within a block.
    std::vector<ScriptAction> actions;
    // Set when parsing failed on a file the command line names (a --script
    // that cannot be read or parsed) rather than on the command line itself.
    bool unusableInput = false;

    // The output options given and the files they name, for the check
    // before the run.
    std::vector<OutputFile> OutputFiles() const;
    // Number of blocks to run, from --blocks or --bars (at the start tempo
    // and signature, in blocks of --block frames).
    int64_t BlockCount() const;
};

// Parses the arguments after "play". A --script file is read here.
// False with *error set on a bad command line or an unreadable script (then
// options->unusableInput is set). Without pluginRequired, no PLUGIN is
// fine.
bool ParsePlayOptions(const std::vector<std::string>& args, PlayOptions* options, std::string* error,
                      bool pluginRequired = true);

// Whether a play option (without its "=VALUE") takes a value.
bool PlayOptionTakesValue(const std::string& option);

// A command that runs play with options of its own (editor, render): what
// one of its own options is, and what it does.
class IOwnOptions {
public:
    enum EKind {
        EKind_NotOwn,
        EKind_Flag,
        EKind_WithValue
    };
    virtual ~IOwnOptions() {}
    virtual EKind Kind(const std::string& option) const = 0;
    // The value is empty for a flag. False with *error set on a bad value.
    virtual bool Apply(const std::string& option, const std::string& value, std::string* error) = 0;
};

// Applies the command's own options ("--opt=V" or "--opt V") and parses
// everything else, a play option's value kept with it, as play's options.
bool ParseOptionsAroundPlay(const std::vector<std::string>& args, IOwnOptions* pOwn, PlayOptions* play,
                            std::string* error, bool pluginRequired = true);

// The options part of the usage text.
const char* PlayOptionsHelp();
