// The command line of "tarvo-host editor PLUGIN [options]": the editor's own
// options and every option of "play".
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "EditorInput.h"
#include "play/PlayOptions.h"

// The editor's timer period (24 frames per second) that ticks count in.
const int EDITOR_TICK_MS = 41;
const int64_t DEFAULT_EDITOR_TICKS = 12;
const int64_t MAX_EDITOR_TICKS = 100000;
const int64_t MAX_EDITOR_REOPEN = 10000;

struct EditorOptions {
    PlayOptions play;
    std::string pngPath;
    // Ticks between the end of the input (and of a bounded --play) and the
    // capture and closing of the editor.
    int64_t ticks = DEFAULT_EDITOR_TICKS;
    bool playing = false;
    // Processing pace as a multiple of real time.
    double speed = 1.0;
    // 0: derived from the run's expected length.
    double timeoutSeconds = 0.0;
    std::string inputPath;
    std::vector<EditorInputAction> inputs;
    // After the capture: close and open the editor again this many times.
    int64_t reopen = 0;
    // --capture-at BLOCK=FILE: with a bounded --play, the audio thread waits
    // after that many blocks while the editor ticks --ticks times and its
    // pixels are saved; by block.
    std::vector<std::pair<int64_t, std::string>> captures;

    // play's output files, --png and the --capture-at files.
    std::vector<OutputFile> OutputFiles() const;
    // With --play: whether --blocks or --bars bound the processing; else it
    // runs until the editor closes.
    bool BoundedPlay() const;
    // How long the whole run may take before the host gives up on it.
    double TimeLimitSeconds() const;
};

// Parses the arguments after "editor"; an --input file is read and parsed
// here. False with *error set on a bad command line or input file.
bool ParseEditorOptions(const std::vector<std::string>& args, EditorOptions* options, std::string* error);

// The editor's own options for the usage text.
const char* EditorOptionsHelp();
