// The play script: what the host does to the transport and the plug-in
// between blocks. One action per line, "BLOCK ACTION ARGS", applied before
// block number BLOCK (counted from 0) is processed:
//   play | stop | locate SAMPLE | tempo BPM | sig N/D | param INDEX VALUE |
//   midi OFFSET STATUS DATA1 DATA2 (bytes in hex) | save FILE | load FILE |
//   blocksize N | lock on|off | loop START END | loop off
// Blank lines are allowed; a word starting with '#' starts a comment that
// runs to the end of the line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum EScriptAction {
    EScriptAction_Play,
    EScriptAction_Stop,
    EScriptAction_Locate,
    EScriptAction_Tempo,
    EScriptAction_TimeSignature,
    EScriptAction_Param,
    EScriptAction_Midi,
    EScriptAction_Save,
    EScriptAction_Load,
    EScriptAction_BlockSize,
    // Tarvo3's timeline lock, through its vendor-specific call.
    EScriptAction_Lock,
    // From then on a playing block that would pass END ends there and the
    // next one starts at START, as a host loops a region.
    EScriptAction_Loop
};

// Largest block the host will allocate buffers for.
const int64_t MAX_BLOCK_FRAMES = 1 << 20;
const int MAX_SIG_NUMERATOR = 255;
const int MAX_SIG_DENOMINATOR = 128;

struct ScriptAction {
    int64_t block = 0;
    EScriptAction kind = EScriptAction_Play;
    int64_t sample = 0;     // locate; loop start
    int64_t sampleEnd = 0;  // loop end
    double number = 0.0;    // tempo in BPM, param value
    int32_t index = 0;      // param index; blocksize frames; lock and loop: 1 on, 0 off
    int sigNumerator = 4;   // sig
    int sigDenominator = 4;
    int32_t midiOffset = 0;  // midi: delta frames inside the block
    uint8_t midi[3] = {0, 0, 0};
    std::string path;  // save, load
};

// Parses one line. A blank or comment-only line succeeds with *isAction
// false. On failure *error says why (without a location).
bool ParseScriptLine(const std::string& line, ScriptAction* action, bool* isAction, std::string* error);

// Parses a whole script; errors are reported as "SOURCE:LINE: why".
// Accepts "\n" and "\r\n" line ends.
bool ParseScript(const std::string& text, const std::string& sourceName, std::vector<ScriptAction>* actions,
                 std::string* error);

// Time signature "N/D": N 1..255, D a power of two 1..128.
bool ParseTimeSignature(const std::string& text, int* numerator, int* denominator);
